#include "engine/fat/dir/long_names.h"

#include "engine/core/layout.h"
#include "engine/fat/dir/dir_entry.h"

namespace vk {

uint8_t ShortNameChecksum(const uint8_t* name11) {
    uint8_t sum = 0;
    for (uint32_t i = 0; i < kDirFullNameLength; ++i) {
        sum = static_cast<uint8_t>(((sum & 1) << 7) + (sum >> 1) + name11[i]);
    }
    return sum;
}

uint32_t LongNameRunLength(const uint8_t* entries, uint32_t count, uint32_t shortIndex) {
    if (shortIndex >= count) {
        return 0;
    }
    const uint8_t checksum = ShortNameChecksum(entries + uint64_t{shortIndex} * kDirEntrySize + kDirName);
    uint32_t length = 0;
    while (length < shortIndex) {
        const uint8_t* e = entries + uint64_t{shortIndex - length - 1} * kDirEntrySize;
        const uint8_t order = e[kLongNameOrder];
        if (order == kEntryNeverUsed || order == kEntryDeleted || !IsLongNameEntry(e) ||
            e[kLongNameChecksum] != checksum || static_cast<uint32_t>(order & ~kLongNameLastFlag) != length + 1) {
            break;
        }
        ++length;
        if (order & kLongNameLastFlag) {
            break;
        }
    }
    return length;
}

void DeleteLongNameRun(uint8_t* entries, uint32_t count, uint32_t shortIndex) {
    const uint32_t length = LongNameRunLength(entries, count, shortIndex);
    for (uint32_t k = 1; k <= length; ++k) {
        entries[uint64_t{shortIndex - k} * kDirEntrySize + kLongNameOrder] = kEntryDeleted;
    }
}

}  // namespace vk
