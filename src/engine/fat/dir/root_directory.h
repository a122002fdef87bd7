// Walking the root directory within the bounds of its geometry and of the
// image: no scan looks at more than rootEntries entries, and none reads an
// entry that would reach past the end of the file-system area.
#pragma once

#include <cstdint>

#include "engine/core/layout.h"
#include "engine/fat/table/volume.h"
#include "engine/fat/dir/dir_entry.h"

namespace vk {

// Offset of root entry `index` from the boot sector, or 0 when that entry
// lies outside the directory or the area.
inline uint32_t RootEntryOffset(const Layout& layout, uint32_t areaLength, uint32_t index) {
    if (index >= layout.rootEntries) {
        return 0;
    }
    const uint64_t offset = layout.rootStart + uint64_t{index} * kDirEntrySize;
    if (offset + kDirEntrySize > areaLength) {
        return 0;
    }
    return static_cast<uint32_t>(offset);
}

// Where a walk of the root directory stopped.
struct RootWalkEnd {
    uint32_t index = 0;      // index of the entry it stopped at; the entries looked at when it ran out
    uint32_t offset = 0;     // that entry's offset, 0 when the directory or the area ran out
    bool neverUsed = false;  // it stopped at the first never-used entry, which ends every directory
};

// Hands the offset of each used root entry (live or deleted), in directory
// order, to `visit`, which returns false to stop at that entry.
template <class Visit>
RootWalkEnd WalkRootEntries(const ConstVolume& vol, Visit visit) {
    RootWalkEnd end;
    for (;; ++end.index) {
        end.offset = RootEntryOffset(vol.layout, vol.length, end.index);
        if (end.offset == 0) {
            return end;
        }
        if (vol.area[end.offset + kDirName] == kEntryNeverUsed) {
            end.neverUsed = true;
            return end;
        }
        if (!visit(end.offset)) {
            return end;
        }
    }
}

}  // namespace vk
