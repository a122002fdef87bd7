#include "engine/fat/cluster_guard.h"

#include <algorithm>
#include <string>

#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "engine/fat/dir_entry.h"
#include "engine/fat/dir_ops.h"
#include "engine/fat/dir_path.h"
#include "engine/fat/list_texts.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

bool Contains(const std::vector<uint32_t>& sorted, uint32_t entry) {
    return std::binary_search(sorted.begin(), sorted.end(), entry);
}

}  // namespace

ClusterGuard::ClusterGuard(const Layout& layout, const uint8_t* area, uint32_t length)
    : layout_(layout), area_(area), length_(length), map_(ClusterMap::Build(layout, area, length)) {}

ClusterGuard::ClusterGuard(const ImageDocument& doc) : ClusterGuard(doc.GetLayout(), doc.Area(), doc.AreaLength()) {}

std::vector<uint32_t> ClusterGuard::Chain(uint32_t entryOffset) const {
    std::vector<uint32_t> chain;
    const uint32_t first = Load16(area_ + entryOffset + kDirFirstCluster);
    for (ChainWalker walk(layout_, area_, length_, first); walk.State() == ChainState::kCluster; walk.Advance()) {
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
            const DirRef dir = DirectoryOfEntry(layout_, area_, length_, entry);
            return JoinPath(DirectoryPath(layout_, area_, length_, dir), EntryDisplayName(area_ + entry));
        };
        return TextNotice(kMsgClustersShared, Tone::kError, {path(mine), path(*stays)});
    }
    return std::nullopt;
}

std::optional<Notice> ClusterGuard::CheckRelease(uint32_t entryOffset) const {
    return CheckRelease(Chain(entryOffset), {entryOffset});
}

void ClusterGuard::Released(const std::vector<uint32_t>& clusters, const std::vector<uint32_t>& leaving) {
    map_.Release(layout_, area_, length_, clusters, [&](uint32_t entry) { return Contains(leaving, entry); });
    // Only these clusters can have come free; the search starts again at the lowest.
    for (uint32_t cluster : clusters) freeFrom_ = std::min(freeFrom_, std::max(cluster, kFirstDataCluster));
}

void ClusterGuard::Claimed(uint32_t entryOffset) { map_.Claim(entryOffset, Chain(entryOffset)); }

}  // namespace vk
