// The check every change makes before it writes: no cluster another entry
// still owns is freed, overwritten or taken. A change builds one guard (one
// cluster map) for all the entries it works on, asks it before each step and
// tells it what it freed, so the map stays true to the image in between.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/common/notice.h"
#include "engine/core/layout.h"
#include "engine/fat/table/volume.h"
#include "engine/fat/dir/cluster_map.h"

namespace vk {

struct ImageDocument;

class ClusterGuard {
public:
    explicit ClusterGuard(const ConstVolume& vol);
    explicit ClusterGuard(const ImageDocument& doc);

    const ClusterMap& Map() const { return map_; }
    // What allocation passes over: free in the FAT, reached by a chain all the same.
    const ClusterSet* Keep() const { return &map_.FreeButOwned(); }

    // Before the entries `leaving` (sorted offsets) give up `clusters`: the
    // refusal naming a leaving entry and another one that owns one of them;
    // nothing when no entry outside `leaving` owns any.
    std::optional<Notice> CheckRelease(const std::vector<uint32_t>& clusters,
                                       const std::vector<uint32_t>& leaving) const;
    // The same for the chain of the one entry at `entryOffset`.
    std::optional<Notice> CheckRelease(uint32_t entryOffset) const;
    // The chain of `entryOffset`, as ChainWalker follows it now.
    std::vector<uint32_t> Chain(uint32_t entryOffset) const;

    // After the change freed `clusters` in the FAT and `leaving` are gone.
    void Released(const std::vector<uint32_t>& clusters, const std::vector<uint32_t>& leaving);
    // After the change gave the entry at `entryOffset` its chain.
    void Claimed(uint32_t entryOffset);

    // Where a first-fit search for a free cluster may start: below it every
    // cluster is taken or kept. Several adds of one command carry it from one
    // file to the next instead of scanning the FAT from cluster 2 each time;
    // what a change releases takes it back.
    uint32_t FreeFrom() const { return freeFrom_; }
    void SetFreeFrom(uint32_t cluster) { freeFrom_ = cluster; }

private:
    ConstVolume vol_;
    ClusterMap map_;
    uint32_t freeFrom_ = kFirstDataCluster;
};

}  // namespace vk
