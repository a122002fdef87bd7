#include "engine/fat/fat12.h"

#include <algorithm>

#include "engine/common/bytes.h"
#include "engine/fat/dir_entry.h"

namespace vk {
namespace {

// Two FAT12 entries share three bytes:
//
//   byte p      byte p+1      byte p+2
//   [ n lo 8 ]  [ n+1 lo4 | n hi4 ]  [ n+1 hi 8 ]      (n even, p = 3n/2)
//
// An even entry takes byte p and the low nibble of p+1; the odd one after it
// takes the high nibble of p+1 and byte p+2.
uint64_t EntryPosition(const Layout& layout, uint32_t cluster) {
    return layout.fatStart + uint64_t{cluster} * 3 / 2;
}

// A FAT16 entry is a plain little-endian word at 2n.
uint32_t ReadFat16Entry(const Layout& layout, const uint8_t* area, uint32_t length, uint32_t cluster) {
    const uint64_t p = layout.fatStart + uint64_t{cluster} * 2;
    if (p + 1 >= length || p + 2 > layout.fatStart + layout.fatBytes) {
        return 0xFFFF;
    }
    return Load16(area + p);
}

}  // namespace

uint32_t ReadFatEntry(const Layout& layout, const uint8_t* area, uint32_t length, uint32_t cluster) {
    if (layout.fatBits == 16) {
        return ReadFat16Entry(layout, area, length, cluster);
    }
    const uint64_t p = EntryPosition(layout, cluster);
    if (p + 1 >= length) {
        return kFatEnd;
    }
    const uint32_t pair = Load16(area + p);
    return (cluster & 1) ? pair >> 4 : pair & 0x0FFF;
}

bool WriteFatEntry(const Layout& layout, uint8_t* area, uint32_t length, uint32_t cluster, uint32_t value) {
    const uint64_t p = EntryPosition(layout, cluster);
    if (!layout.IsFat12() || p + 1 >= length || p + 2 > layout.fatStart + layout.fatBytes) {
        return false;
    }
    uint32_t pair = Load16(area + p);
    if (cluster & 1) {
        pair = (pair & 0x000F) | ((value & 0x0FFF) << 4);
    } else {
        pair = (pair & 0xF000) | (value & 0x0FFF);
    }
    Store16(area + p, pair);
    return true;
}

uint32_t FindFreeCluster(const Layout& layout, const uint8_t* area, uint32_t length, const ClusterSet* keep) {
    return FindFreeClusterFrom(layout, area, length, kFirstDataCluster, keep);
}

uint32_t FindFreeClusterFrom(const Layout& layout, const uint8_t* area, uint32_t length, uint32_t first,
                             const ClusterSet* keep) {
    for (uint32_t n = std::max(first, kFirstDataCluster); n <= layout.lastCluster; ++n) {
        if (ReadFatEntry(layout, area, length, n) == kFatFree && (keep == nullptr || !keep->test(n))) {
            return n;
        }
    }
    return 0;
}

void FreeChain(const Layout& layout, uint8_t* area, uint32_t length, uint32_t entryOffset) {
    uint8_t* entry = area + entryOffset;
    ChainWalker walk(layout, area, length, Load16(entry + kDirFirstCluster));
    while (walk.State() == ChainState::kCluster) {
        const uint32_t cluster = walk.Cluster();
        walk.Advance();  // reads the link before it is cleared
        WriteFatEntry(layout, area, length, cluster, kFatFree);
    }
    entry[kDirName] = kEntryDeleted;
}

ClusterCounts CountClusters(const Layout& layout, const uint8_t* area, uint32_t length) {
    ClusterCounts counts;
    for (uint32_t n = kFirstDataCluster; n <= layout.lastCluster; ++n) {
        if (ReadFatEntry(layout, area, length, n) == kFatFree) {
            ++counts.free;
        } else {
            ++counts.used;
        }
    }
    return counts;
}

ChainWalker::ChainWalker(const Layout& layout, const uint8_t* area, uint32_t length, uint32_t firstCluster)
    : layout_(layout), area_(area), length_(length) {
    Enter(firstCluster);
}

void ChainWalker::Advance() {
    if (state_ == ChainState::kCluster) {
        Enter(ReadFatEntry(layout_, area_, length_, cluster_));
    }
}

void ChainWalker::Enter(uint32_t link) {
    link_ = link;
    if (layout_.IsEndMark(link)) {
        state_ = ChainState::kEnd;
    } else if (!layout_.IsDataCluster(link) || visited_.test(link)) {
        state_ = ChainState::kBroken;
    } else {
        visited_.set(link);
        cluster_ = link;
        state_ = ChainState::kCluster;
    }
}

}  // namespace vk
