// Who owns each cluster: one pass over the FAT and one bounded walk of the
// root and every folder below it (dir_tree.h) give, for each data cluster,
// whether it is free, owned by which entries, lost, bad or reserved, and the
// damage met on the way. Changes consult it before they free or take a
// cluster (cluster_guard.h); a checker reports from it.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "engine/core/layout.h"
#include "engine/fat/table/fat12.h"

namespace vk {

struct ImageDocument;

enum class ClusterUse : uint8_t {
    kFree,      // the FAT marks it free and no chain reaches it
    kOwned,     // a chain reaches it, whatever its FAT entry says
    kLost,      // the FAT marks it used and no chain reaches it
    kBad,       // marked bad, and no chain reaches it
    kReserved,  // marked 1 or with a reserved value, and no chain reaches it
};

enum class DamageKind : uint8_t {
    kCrossLink,         // `cluster` is on the chains of `entry` and `other`
    kSharedFolder,      // folders `entry` and `other` begin at one cluster: one folder under two parents
    kChainIntoFree,     // the chain of `entry` reaches `cluster`, which the FAT marks free
    kChainIntoReserved, // the chain of `entry` links from `cluster` to 1 or a reserved value
    kChainIntoBad,      // the chain of `entry` links from `cluster` to a bad cluster mark
    kChainOutOfRange,   // the chain of `entry` links from `cluster` past the last cluster (or begins there)
    kLoop,              // the chain of `entry` links from `cluster` back into itself
    kSizeMismatch,      // the chain of file `entry` holds `count` clusters, not what its size needs
    kDamagedFolder,     // folder `entry` cannot be entered (dir_check.h): no chain, no "." entry, past the image
    kLostClusters,      // `count` clusters the FAT marks used that no chain reaches, the first `cluster`
};

struct Damage {
    DamageKind kind;
    uint32_t entry = 0;    // an entry's offset from the boot sector; 0 for none
    uint32_t other = 0;    // the second entry of a cross-link or shared folder
    uint32_t cluster = 0;  // where it shows
    uint32_t count = 0;    // clusters, for kSizeMismatch and kLostClusters
};

class ClusterMap {
public:
    // Linear in the clusters and the entries. A layout that is no FAT12 or
    // FAT16 has no clusters to map.
    static ClusterMap Build(const ConstVolume& vol);
    static ClusterMap Build(const ImageDocument& doc);

    uint32_t LastCluster() const { return lastCluster_; }
    ClusterUse Use(uint32_t cluster) const;
    // The first entry found owning `cluster`, or 0.
    uint32_t Owner(uint32_t cluster) const { return cluster < owner_.size() ? owner_[cluster] : 0; }
    // Every entry owning `cluster`, the first one found first.
    std::vector<uint32_t> Owners(uint32_t cluster) const;
    // Clusters the FAT marks free that a chain still reaches: no allocation takes them.
    const ClusterSet& FreeButOwned() const { return freeButOwned_; }
    // In the order met: chain faults and cross-links during the walk, lost clusters last.
    const std::vector<Damage>& Findings() const { return findings_; }

    // A change has freed or taken `clusters` (their FAT entries are read
    // again) and the entries for which `leaving` is true own none of them any more.
    void Release(const ConstVolume& vol, const std::vector<uint32_t>& clusters,
                 const std::function<bool(uint32_t)>& leaving);
    // A change has given the entry `entry` the chain `clusters`.
    void Claim(uint32_t entry, const std::vector<uint32_t>& clusters);

private:
    void AddOwner(uint32_t cluster, uint32_t entry);
    void SetOwners(uint32_t cluster, const std::vector<uint32_t>& owners);

    uint32_t lastCluster_ = 1;
    std::vector<uint8_t> fatUse_;   // ClusterUse as the FAT alone says it: free, lost (used), bad, reserved
    std::vector<uint32_t> owner_;   // first owner per cluster
    std::unordered_multimap<uint32_t, uint32_t> moreOwners_;  // further owners: only on damaged disks
    ClusterSet freeButOwned_;
    std::vector<Damage> findings_;
};

}  // namespace vk
