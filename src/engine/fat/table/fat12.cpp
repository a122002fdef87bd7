#include "engine/fat/table/fat12.h"

#include <algorithm>

#include "engine/common/bytes.h"

namespace vk {
namespace {

// A FAT16 entry is a plain little-endian word at 2n.
uint32_t ReadFat16Entry(const ConstVolume& vol, uint32_t cluster) {
    const uint64_t p = vol.layout.FatEntryOffset(cluster);
    if (p + 1 >= vol.length || p + 2 > vol.layout.fatStart + vol.layout.fatBytes) {
        return 0xFFFF;
    }
    return Load16(vol.area + p);
}

}  // namespace

// Two FAT12 entries share three bytes:
//
//   byte p      byte p+1      byte p+2
//   [ n lo 8 ]  [ n+1 lo4 | n hi4 ]  [ n+1 hi 8 ]      (n even, p = 3n/2)
//
// An even entry takes byte p and the low nibble of p+1; the odd one after it
// takes the high nibble of p+1 and byte p+2.
uint32_t ReadFatEntry(const ConstVolume& vol, uint32_t cluster) {
    if (vol.layout.fatBits == 16) {
        return ReadFat16Entry(vol, cluster);
    }
    const uint64_t p = vol.layout.FatEntryOffset(cluster);
    if (p + 1 >= vol.length) {
        return kFatEnd;
    }
    const uint32_t pair = Load16(vol.area + p);
    return (cluster & 1) ? pair >> 4 : pair & 0x0FFF;
}

bool WriteFatEntry(const Volume& vol, uint32_t cluster, uint32_t value) {
    const uint64_t p = vol.layout.FatEntryOffset(cluster);
    if (!vol.layout.IsWritableWidth() || p + 1 >= vol.length ||
        p + 2 > vol.layout.fatStart + vol.layout.fatBytes) {
        return false;
    }
    if (vol.layout.fatBits == 16) {
        Store16(vol.area + p, value & 0xFFFF);
        return true;
    }
    uint32_t pair = Load16(vol.area + p);
    if (cluster & 1) {
        pair = (pair & 0x000F) | ((value & 0x0FFF) << 4);
    } else {
        pair = (pair & 0xF000) | (value & 0x0FFF);
    }
    Store16(vol.area + p, pair);
    return true;
}

uint32_t FindFreeCluster(const ConstVolume& vol, const ClusterSet* keep) {
    return FindFreeClusterFrom(vol, kFirstDataCluster, keep);
}

uint32_t FindFreeClusterFrom(const ConstVolume& vol, uint32_t first, const ClusterSet* keep) {
    for (uint32_t n = std::max(first, kFirstDataCluster); n <= vol.layout.lastCluster; ++n) {
        if (vol.FatEntry(n) == kFatFree && (keep == nullptr || !keep->test(n))) {
            return n;
        }
    }
    return 0;
}

ClusterCounts CountClusters(const ConstVolume& vol) {
    ClusterCounts counts;
    for (uint32_t n = kFirstDataCluster; n <= vol.layout.lastCluster; ++n) {
        if (vol.FatEntry(n) == kFatFree) {
            ++counts.free;
        } else {
            ++counts.used;
        }
    }
    return counts;
}

ChainWalker::ChainWalker(const ConstVolume& vol, uint32_t firstCluster) : vol_(vol) {
    Enter(firstCluster);
}

void ChainWalker::Advance() {
    if (state_ == ChainState::kCluster) {
        Enter(ReadFatEntry(vol_, cluster_));
    }
}

void ChainWalker::Enter(uint32_t link) {
    link_ = link;
    if (vol_.layout.IsEndMark(link)) {
        state_ = ChainState::kEnd;
    } else if (!vol_.layout.IsDataCluster(link) || visited_.test(link)) {
        state_ = ChainState::kBroken;
    } else {
        visited_.set(link);
        cluster_ = link;
        state_ = ChainState::kCluster;
    }
}

}  // namespace vk
