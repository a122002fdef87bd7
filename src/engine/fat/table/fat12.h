// The FAT allocation layer: 12- and 16-bit entries, first-fit allocation,
// walking, freeing and counting chains. Every operation takes a volume (the layout in
// force and a file-system area from the boot sector on, with its length), so
// that it serves the document and a work copy alike.
#pragma once

#include <bitset>
#include <cstdint>

#include "engine/core/layout.h"
#include "engine/fat/table/volume.h"

namespace vk {

// FAT12 entry values; a FAT16 volume has its own marks (Layout::EndMark,
// Layout::BadMark), which writers take from the layout.
constexpr uint32_t kFatFree = 0x000;
constexpr uint32_t kFatBadCluster = 0xFF7;
constexpr uint32_t kFatEndFirst = 0xFF8;  // 0xFF8 .. 0xFFF end a chain
constexpr uint32_t kFatEnd = 0xFFF;       // the only FAT12 end mark we write

// ReadFatEntry and WriteFatEntry, the entries themselves, are in volume.h.
// A set of clusters by number, of either FAT width.
using ClusterSet = std::bitset<kFat16MaxCluster + 1>;

// The lowest free data cluster, or 0 when the disk is full. A cluster in
// `keep` is passed over though the FAT marks it free: a damaged chain still
// reaches it (cluster_map.h).
uint32_t FindFreeCluster(const ConstVolume& vol, const ClusterSet* keep = nullptr);
// The same, looking from `first` on: once a writer has taken the lowest free
// cluster, the next lowest lies above it, so it need not scan from 2 again.
uint32_t FindFreeClusterFrom(const ConstVolume& vol, uint32_t first, const ClusterSet* keep = nullptr);

struct ClusterCounts {
    uint32_t used = 0;
    uint32_t free = 0;
};
ClusterCounts CountClusters(const ConstVolume& vol);

// The one way to follow a cluster chain. It hands out data clusters only,
// each at most once, so a reader never leaves the volume and never loops.
//
//   ChainWalker walk(ConstVolume(layout, area, length), firstCluster);
//   while (walk.State() == ChainState::kCluster) { use(walk.Cluster()); walk.Advance(); }
enum class ChainState {
    kCluster,  // Cluster() is the next data cluster of the chain
    kEnd,      // an end-of-chain mark was reached
    kBroken,   // a link to 0, 1, a bad or reserved mark, past the last cluster, or back into the chain
};

class ChainWalker {
public:
    ChainWalker(const ConstVolume& vol, uint32_t firstCluster);
    ChainState State() const { return state_; }
    uint32_t Cluster() const { return cluster_; }
    // The value that ended or broke the walk (the link read last).
    uint32_t LastLink() const { return link_; }
    // Follows the current cluster's FAT entry.
    void Advance();

private:
    void Enter(uint32_t link);

    ConstVolume vol_;
    ChainState state_ = ChainState::kEnd;
    uint32_t cluster_ = 0;
    uint32_t link_ = 0;
    std::bitset<kFat16MaxCluster + 1> visited_;
};

}  // namespace vk
