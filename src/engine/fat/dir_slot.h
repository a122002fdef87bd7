// Room for a new entry in any directory, and what writing it changes. A
// subdirectory with no free slot grows by one zeroed cluster; the root has a
// fixed size and never grows. Finding the room writes nothing, so a caller
// can save every byte the write will change before it makes it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/common/bytes.h"
#include "engine/common/result.h"
#include "engine/core/layout.h"
#include "engine/fat/dir_walk.h"
#include "engine/fat/fat12.h"

namespace vk {

// Bytes of the area a write changes (ByteRange, from the boot sector). Each
// change here is planned first and written after: a caller that must be able
// to undo it (one step of a longer operation) saves the bytes of the plan's
// Writes() before the write, and puts them back to undo it.
using WriteRanges = std::vector<ByteRange>;

// The two bytes of FAT copy 1 that hold the entry of `cluster` (FAT12).
inline ByteRange FatEntryBytes(const Layout& layout, uint32_t cluster) {
    return ByteRange{layout.fatStart + uint64_t{cluster} * 3 / 2, 2};
}
inline ByteRange ClusterBytes(const Layout& layout, uint32_t cluster) {
    return ByteRange{layout.ClusterOffset(cluster), layout.clusterBytes};
}

// Where a new entry of a directory goes.
struct NewSlot {
    uint32_t offset = 0;       // the slot, from the boot sector
    uint32_t growCluster = 0;  // not 0: the directory first gains this cluster, whose first slot `offset` is
    uint32_t tailCluster = 0;  // with growCluster: the directory's last cluster, which will link to it

    // What PrepareSlot changes, and the slot itself.
    WriteRanges Writes(const Layout& layout) const;
};

// Finds the slot for a new entry of `dir`, writing nothing: the first
// never-used slot, else the first deleted one, else (a subdirectory only)
// the first slot of the lowest free cluster. `entryName` and `dirPath` name
// the entry and the directory in a failure: message 75 (a full root), 73
// (no free cluster), 72 (the free cluster lies past the end of the image),
// 77 (the subdirectory's chain is broken), 223 (no FAT12: this engine
// writes no other FAT). A growth cluster is never one of `keep`.
Result PlanNewSlot(const Layout& layout, const uint8_t* area, uint32_t length, DirRef dir, std::string_view dirPath,
                   std::string_view entryName, NewSlot& slot, const ClusterSet* keep = nullptr);

// Makes the planned slot ready: when the directory must grow, zeroes the new
// cluster, marks it the end of the chain and links the old last cluster to
// it. Writes nothing else; it cannot fail once PlanNewSlot succeeded on the
// same bytes.
void PrepareSlot(const Layout& layout, uint8_t* area, uint32_t length, const NewSlot& slot);

// The slots of the long name in front of the short entry at `entryOffset` of
// `dir`, in directory order; they may span two clusters of a subdirectory.
// Empty when the entry has no long name.
std::vector<uint32_t> LongNameSlots(const Layout& layout, const uint8_t* area, uint32_t length, DirRef dir,
                                    uint32_t entryOffset);

}  // namespace vk
