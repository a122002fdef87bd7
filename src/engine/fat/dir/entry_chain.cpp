#include "engine/fat/dir/entry_chain.h"

#include "engine/common/bytes.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/table/fat12.h"

namespace vk {

void FreeChain(const Volume& vol, uint32_t entryOffset) {
    uint8_t* entry = vol.area + entryOffset;
    ChainWalker walk(vol, Load16(entry + kDirFirstCluster));
    while (walk.State() == ChainState::kCluster) {
        const uint32_t cluster = walk.Cluster();
        walk.Advance();  // reads the link before it is cleared
        vol.SetFatEntry(cluster, kFatFree);
    }
    entry[kDirName] = kEntryDeleted;
}

}  // namespace vk
