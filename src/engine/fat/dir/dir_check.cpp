#include "engine/fat/dir/dir_check.h"

#include <cstring>

#include "engine/common/bytes.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/table/fat12.h"
#include "engine/fat/dir/folder.h"
#include "engine/strings/string_ids.h"

namespace vk {

FolderFault CheckFolder(const ConstVolume& vol, uint32_t firstCluster, const FolderClusters& entered,
                        std::vector<uint32_t>& chain) {
    chain.clear();
    if (!vol.layout.IsDataCluster(firstCluster)) {
        return FolderFault::kFirstCluster;
    }
    ChainWalker walk(vol, firstCluster);
    for (; walk.State() == ChainState::kCluster; walk.Advance()) {
        const uint32_t cluster = walk.Cluster();
        if (entered.test(cluster)) {
            return FolderFault::kRevisit;
        }
        if (!vol.ClusterInBounds(cluster)) {
            return FolderFault::kPastImage;
        }
        chain.push_back(cluster);
    }
    if (walk.State() == ChainState::kBroken) {
        return FolderFault::kBrokenChain;
    }
    // Every folder begins with its "." entry; one naming another cluster
    // means this chain is no folder's, or not this one's.
    const uint8_t* dot = vol.Cluster(firstCluster);
    if (vol.layout.clusterBytes < kDirEntrySize || std::memcmp(dot + kDirName, kDotName, kDirFullNameLength) != 0 ||
        !(dot[kDirAttr] & kAttrDirectory) || Load16(dot + kDirFirstCluster) != firstCluster) {
        return FolderFault::kNoDotEntry;
    }
    return FolderFault::kNone;
}

Notice FolderFaultNotice(std::string_view path) { return TextNotice(kMsgStoredFileCorrupt, Tone::kError, {path}); }

}  // namespace vk
