#include "engine/fat/ops/cluster_guard.h"

#include <algorithm>
#include <string>

#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/dir_ops.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

bool Contains(const std::vector<uint32_t>& sorted, uint32_t entry) {
    return std::binary_search(sorted.begin(), sorted.end(), entry);
}

}  // namespace

ClusterGuard::ClusterGuard(const ConstVolume& vol) : vol_(vol), map_(ClusterMap::Build(vol)) {}

ClusterGuard::ClusterGuard(const ImageDocument& doc) : ClusterGuard(VolumeOf(doc)) {}

std::vector<uint32_t> ClusterGuard::Chain(uint32_t entryOffset) const {
    std::vector<uint32_t> chain;
    const uint32_t first = Load16(vol_.area + entryOffset + kDirFirstCluster);
    for (ChainWalker walk(vol_, first); walk.State() == ChainState::kCluster; walk.Advance()) {
        chain.push_back(walk.Cluster());
    }
    return chain;
}

std::optional<Notice> ClusterGuard::CheckRelease(const std::vector<uint32_t>& clusters,
                                                 const std::vector<uint32_t>& leaving) const {
    for (uint32_t cluster : clusters) {
        const std::vector<uint32_t> owners = map_.Owners(cluster);
        const auto stays = std::find_if(owners.begin(), owners.end(),
                                        [&](uint32_t entry) { return !Contains(leaving, entry); });
        if (stays == owners.end()) continue;
        const auto goes = std::find_if(owners.begin(), owners.end(),
                                       [&](uint32_t entry) { return Contains(leaving, entry); });
        // A cluster no leaving entry was found to own still is another's.
        const uint32_t mine = goes != owners.end() ? *goes : leaving.front();
        auto path = [&](uint32_t entry) {
            const DirRef dir = DirectoryOfEntry(vol_, entry);
            return JoinPath(DirectoryPath(vol_, dir), EntryDisplayName(vol_.area + entry));
        };
        return TextNotice(kMsgClustersShared, Tone::kError, {path(mine), path(*stays)});
    }
    return std::nullopt;
}

std::optional<Notice> ClusterGuard::CheckRelease(uint32_t entryOffset) const {
    return CheckRelease(Chain(entryOffset), {entryOffset});
}

void ClusterGuard::Released(const std::vector<uint32_t>& clusters, const std::vector<uint32_t>& leaving) {
    map_.Release(vol_, clusters, [&](uint32_t entry) { return Contains(leaving, entry); });
    // Only these clusters can have come free; the search starts again at the lowest.
    for (uint32_t cluster : clusters) freeFrom_ = std::min(freeFrom_, std::max(cluster, kFirstDataCluster));
}

void ClusterGuard::Claimed(uint32_t entryOffset) { map_.Claim(entryOffset, Chain(entryOffset)); }

}  // namespace vk
