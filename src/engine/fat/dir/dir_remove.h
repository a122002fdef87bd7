// Removing a folder: an empty one, or a whole tree. Every check comes first
// and writes nothing: a damaged folder anywhere below refuses the removal.
// The removal then marks entries deleted and frees chains in FAT copy 1,
// which cannot fail.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/common/result.h"
#include "engine/core/layout.h"
#include "engine/fat/dir/dir_slot.h"
#include "engine/fat/dir/dir_walk.h"

namespace vk {

struct RemovalPlan {
    uint32_t entryOffset = 0;        // the folder's own entry
    std::vector<uint32_t> slots;     // every slot to mark deleted: the entry, its long name, all below it
    std::vector<uint32_t> clusters;  // every cluster to free: the folder's, and (a tree) all below it

    // Every byte ApplyRemoval changes.
    WriteRanges Writes(const Layout& layout) const;
};

// Checks the removal of the folder whose entry is at `entryOffset` of
// `parent`, writing nothing. Without `recursive` the folder must hold
// nothing but its dot entries and deleted ones (else it cannot be deleted,
// as an entry that is no folder cannot); with it, every live slot below it
// is marked deleted and every chain below it freed. A damaged folder, the
// folder itself or one below it, fails naming its path (`path` is the
// folder's own). A FAT32 layout is refused: this engine writes FAT12 and
// FAT16 only.
Result PlanRemoveFolder(const ConstVolume& vol, DirRef parent, uint32_t entryOffset, std::string_view path,
                        bool recursive, RemovalPlan& plan);

// Carries out a plan; the folder's entry is the one in `removed`.
EntryChanges ApplyRemoval(const Volume& vol, const RemovalPlan& plan);

// PlanRemoveFolder, then ApplyRemoval.
Result RemoveFolder(const Volume& vol, DirRef parent, uint32_t entryOffset, std::string_view path, bool recursive);

}  // namespace vk
