// The root directory: the slot for a new entry, and the volume label.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/core/layout.h"
#include "engine/fat/dir/dir_slot.h"
#include "engine/fat/dir/short_names.h"
#include "engine/fat/ops/item_question.h"
#include "engine/ports/prompts.h"

namespace vk {

struct SlotResult {
    bool hasSlot = false;     // a slot was chosen
    bool found = false;       // an entry of that name exists
    uint32_t slotOffset = 0;  // from the boot sector
    uint32_t scanned = 0;     // entries passed before the scan ended
    bool goOn = true;         // a multi-file caller goes on with its next file
    std::optional<Notice> failure;  // why there is no slot, for the caller to show
    FailureKind failureKind = FailureKind::kNone;  // what `failure` is about
    NewSlot newSlot;          // in a folder: the slot as planned, with the cluster the folder grows by
};

// Chooses the slot for `packed` in the directory of `slots`, root or
// subdirectory: an existing entry of that name (asking whether to replace
// it unless `quiet` or `force`, the /F switch: through `replace` when a
// command asks for several files, stopping it on Cancel), else the slot DirSlots::Plan gives,
// a full subdirectory's growth planned from `freeFrom` on and never one of
// `keep`. Writes nothing. Without a slot, `failure` says why unless `quiet`:
// the root is full, the image ends inside the root, the subdirectory's chain
// is broken, no cluster is free for its growth or the free one lies past
// the end of the image, or the FAT is neither FAT12 nor FAT16 (FAT32 is not
// written).
SlotResult FindEntrySlot(const ConstVolume& vol, DirSlots& slots, std::string_view displayName,
                         const PackedName& packed, bool quiet, bool force, uint32_t freeFrom = kFirstDataCluster,
                         const ClusterSet* keep = nullptr, ItemQuestion* replace = nullptr);
// The same in the root, from a walk of its own.
SlotResult FindEntrySlot(const ConstVolume& vol, std::string_view displayName, const PackedName& packed, bool quiet,
                         bool force);

// How many root entries lie inside the area, from entry 0 on.
uint32_t RootEntryCount(const Layout& layout, uint32_t length);
// Marks the long name of the root entry at `entryOffset` deleted, before the
// entry is deleted or takes another name that the long name would not fit.
void DeleteRootLongName(const Volume& vol, uint32_t entryOffset);

// Offset of the live volume-label entry, 0 when there is none.
uint32_t FindVolumeLabel(const ConstVolume& vol);
// Writes `newEntry` (32 bytes) as the label, or removes the label when it is
// null. False when the directory has no room; nothing is written then.
bool StoreVolumeLabel(const Volume& vol, const uint8_t* newEntry);

}  // namespace vk
