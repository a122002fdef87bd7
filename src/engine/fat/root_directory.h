// Walking the root directory within the bounds of its geometry and of the
// image: no scan looks at more than rootEntries entries, and none reads an
// entry that would reach past the end of the file-system area.
#pragma once

#include <cstdint>

#include "core/layout.h"

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

}  // namespace vk
