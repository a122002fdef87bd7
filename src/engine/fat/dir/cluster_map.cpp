#include "engine/fat/dir/cluster_map.h"

#include <algorithm>

#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/dir/dir_tree.h"

namespace vk {
namespace {

// FAT entry values beyond the clusters, in either width: 0xFF0 .. 0xFF6
// reserved, 0xFF7 bad (0xFFF0 .. 0xFFF7 in FAT16).
constexpr uint32_t kFat12ReservedFirst = 0xFF0;
constexpr uint32_t kFat16ReservedFirst = 0xFFF0;
constexpr uint32_t kFat16BadCluster = 0xFFF7;
constexpr uint32_t kReservedCluster = 1;

bool IsBadMark(const Layout& layout, uint32_t value) {
    return value == (layout.fatBits == 16 ? kFat16BadCluster : kFatBadCluster);
}

bool IsReservedMark(const Layout& layout, uint32_t value) {
    const uint32_t first = layout.fatBits == 16 ? kFat16ReservedFirst : kFat12ReservedFirst;
    return value == kReservedCluster || (value >= first && value < first + 7);
}

ClusterUse FatUse(const Layout& layout, uint32_t value) {
    if (value == kFatFree) return ClusterUse::kFree;
    if (IsBadMark(layout, value)) return ClusterUse::kBad;
    if (IsReservedMark(layout, value)) return ClusterUse::kReserved;
    return ClusterUse::kLost;  // used, until a chain is found through it
}

bool IsFolder(const uint8_t* e) { return (e[kDirAttr] & kAttrDirectory) != 0; }

// Why a chain that ChainWalker gave up on ended: the link read last.
DamageKind BreakKind(const Layout& layout, uint32_t link) {
    if (link == kFatFree) return DamageKind::kChainIntoFree;
    if (IsBadMark(layout, link)) return DamageKind::kChainIntoBad;
    if (IsReservedMark(layout, link)) return DamageKind::kChainIntoReserved;
    if (layout.IsDataCluster(link)) return DamageKind::kLoop;  // a data cluster it had handed out already
    return DamageKind::kChainOutOfRange;
}

}  // namespace

ClusterMap ClusterMap::Build(const ImageDocument& doc) { return Build(VolumeOf(doc)); }

ClusterMap ClusterMap::Build(const ConstVolume& vol) {
    ClusterMap map;
    if (vol.layout.fatBits == 32 || vol.layout.lastCluster < kFirstDataCluster) {
        return map;
    }
    map.lastCluster_ = vol.layout.lastCluster;
    map.fatUse_.assign(size_t{vol.layout.lastCluster} + 1, static_cast<uint8_t>(ClusterUse::kReserved));
    map.owner_.assign(size_t{vol.layout.lastCluster} + 1, 0);
    for (uint32_t c = kFirstDataCluster; c <= vol.layout.lastCluster; ++c) {
        map.fatUse_[c] = static_cast<uint8_t>(FatUse(vol.layout, vol.FatEntry(c)));
    }

    std::vector<uint32_t> reported;  // entries already named with the current one
    const TreeWalkEnd end = WalkTree(vol, kRootDir, "", [&](const TreeItem& item) {
        const uint32_t entry = item.entryOffset;
        const uint8_t* e = vol.area + entry;
        const uint32_t first = Load16(e + kDirFirstCluster);
        const uint32_t size = IsFolder(e) ? 0 : Load32(e + kDirSize);
        if (first == 0) {
            // An empty file has no chain; a folder must have one, or it would be the root.
            if (IsFolder(e)) {
                map.findings_.push_back(Damage{DamageKind::kDamagedFolder, entry, 0, 0, 0});
            } else if (size != 0) {
                map.findings_.push_back(Damage{DamageKind::kSizeMismatch, entry, 0, 0, 0});
            }
            return true;
        }
        reported.clear();
        uint32_t count = 0;
        uint32_t last = 0;
        ChainWalker walk(vol, first);
        for (; walk.State() == ChainState::kCluster; walk.Advance()) {
            const uint32_t c = walk.Cluster();
            const uint32_t other = map.owner_[c];
            map.AddOwner(c, entry);
            if (other != 0 && std::find(reported.begin(), reported.end(), other) == reported.end()) {
                reported.push_back(other);
                const bool sameFolder = IsFolder(e) && IsFolder(vol.area + other) &&
                                        Load16(vol.area + other + kDirFirstCluster) == first && c == first;
                map.findings_.push_back(Damage{sameFolder ? DamageKind::kSharedFolder : DamageKind::kCrossLink,
                                               entry, other, c, 0});
            }
            ++count;
            last = c;
        }
        if (walk.State() == ChainState::kBroken) {
            const DamageKind kind = BreakKind(vol.layout, walk.LastLink());
            // A chain into a free cluster shows at that cluster; the others at the link's source.
            map.findings_.push_back(Damage{kind, entry, 0, last == 0 ? first : last, 0});
        } else if (!IsFolder(e)) {
            const uint64_t need = (uint64_t{size} + vol.layout.clusterBytes - 1) / vol.layout.clusterBytes;
            if (count != need) map.findings_.push_back(Damage{DamageKind::kSizeMismatch, entry, 0, first, count});
        }
        return true;
    });
    for (const TreeProblem& problem : end.problems) {
        // A revisit is the cross-link or shared folder found above; a broken chain its chain fault.
        if (problem.fault == FolderFault::kNoDotEntry || problem.fault == FolderFault::kPastImage) {
            map.findings_.push_back(Damage{DamageKind::kDamagedFolder, problem.entryOffset, 0,
                                           Load16(vol.area + problem.entryOffset + kDirFirstCluster), 0});
        }
    }

    Damage lost{DamageKind::kLostClusters};
    for (uint32_t c = kFirstDataCluster; c <= vol.layout.lastCluster; ++c) {
        if (map.Use(c) != ClusterUse::kLost) continue;
        if (lost.count++ == 0) lost.cluster = c;
    }
    if (lost.count != 0) map.findings_.push_back(lost);
    return map;
}

ClusterUse ClusterMap::Use(uint32_t cluster) const {
    if (cluster < kFirstDataCluster || cluster > lastCluster_) return ClusterUse::kReserved;
    return owner_[cluster] != 0 ? ClusterUse::kOwned : static_cast<ClusterUse>(fatUse_[cluster]);
}

std::vector<uint32_t> ClusterMap::Owners(uint32_t cluster) const {
    std::vector<uint32_t> owners;
    if (Owner(cluster) == 0) return owners;
    owners.push_back(owner_[cluster]);
    const auto range = moreOwners_.equal_range(cluster);
    for (auto it = range.first; it != range.second; ++it) owners.push_back(it->second);
    // The multimap keeps no order among equal keys; the walk's order is the offsets' here.
    std::sort(owners.begin() + 1, owners.end());
    return owners;
}

void ClusterMap::Release(const ConstVolume& vol, const std::vector<uint32_t>& clusters,
                         const std::function<bool(uint32_t)>& leaving) {
    for (uint32_t cluster : clusters) {
        if (cluster < kFirstDataCluster || cluster > lastCluster_) continue;
        std::vector<uint32_t> kept = Owners(cluster);
        kept.erase(std::remove_if(kept.begin(), kept.end(), leaving), kept.end());
        fatUse_[cluster] = static_cast<uint8_t>(FatUse(vol.layout, vol.FatEntry(cluster)));
        SetOwners(cluster, kept);
    }
}

void ClusterMap::Claim(uint32_t entry, const std::vector<uint32_t>& clusters) {
    for (uint32_t cluster : clusters) {
        if (cluster < kFirstDataCluster || cluster > lastCluster_) continue;
        fatUse_[cluster] = static_cast<uint8_t>(ClusterUse::kLost);  // used: the chain that took it marks it
        AddOwner(cluster, entry);
    }
}

void ClusterMap::AddOwner(uint32_t cluster, uint32_t entry) {
    if (owner_[cluster] == 0) {
        owner_[cluster] = entry;
        if (fatUse_[cluster] == static_cast<uint8_t>(ClusterUse::kFree)) freeButOwned_.set(cluster);
    } else {
        moreOwners_.emplace(cluster, entry);
    }
}

void ClusterMap::SetOwners(uint32_t cluster, const std::vector<uint32_t>& owners) {
    moreOwners_.erase(cluster);
    owner_[cluster] = owners.empty() ? 0 : owners.front();
    for (size_t i = 1; i < owners.size(); ++i) moreOwners_.emplace(cluster, owners[i]);
    freeButOwned_.set(cluster, !owners.empty() && fatUse_[cluster] == static_cast<uint8_t>(ClusterUse::kFree));
}

}  // namespace vk
