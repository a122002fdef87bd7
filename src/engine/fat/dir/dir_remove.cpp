#include "engine/fat/dir/dir_remove.h"

#include "engine/common/bytes.h"
#include "engine/fat/dir/dir_check.h"
#include "engine/fat/dir/dir_tree.h"
#include "engine/fat/table/fat12.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

// Adds the chain beginning at `first` to the clusters to free, each once.
void CollectChain(const ConstVolume& vol, uint32_t first, FolderClusters& taken, std::vector<uint32_t>& clusters) {
    for (ChainWalker walk(vol, first); walk.State() == ChainState::kCluster; walk.Advance()) {
        if (!taken.test(walk.Cluster())) {
            taken.set(walk.Cluster());
            clusters.push_back(walk.Cluster());
        }
    }
}

}  // namespace

WriteRanges RemovalPlan::Writes(const Layout& layout) const {
    WriteRanges ranges;
    for (uint32_t slot : slots) ranges.push_back(ByteRange{slot + kDirName, 1});
    for (uint32_t cluster : clusters) ranges.push_back(FatEntryBytes(layout, cluster));
    return ranges;
}

Result PlanRemoveFolder(const ConstVolume& vol, DirRef parent, uint32_t entryOffset, std::string_view path,
                        bool recursive, RemovalPlan& plan) {
    plan = RemovalPlan{};
    plan.entryOffset = entryOffset;
    if (!vol.layout.IsWritableWidth()) {
        return Failure(FailureKind::kRefused, TextNotice(kMsgChangeRefused, Tone::kError));
    }
    const Result refused = Failure(FailureKind::kRefused, TextNotice(kMsgCannotDeleteDir, Tone::kError, {path}));
    if (entryOffset == 0 || !IsShownFolder(vol.area + entryOffset)) {
        return refused;
    }
    FolderClusters taken;
    std::vector<uint32_t> chain;
    if (CheckFolder(vol, Load16(vol.area + entryOffset + kDirFirstCluster), taken, chain) !=
        FolderFault::kNone) {
        return Failure(FailureKind::kDamaged, FolderFaultNotice(path));
    }
    const DirRef folder{chain.front()};
    std::vector<DirRef> folders{folder};
    CollectChain(vol, folder.cluster, taken, plan.clusters);
    if (recursive) {
        const TreeWalkEnd end = WalkTree(vol, folder, path, [&](const TreeItem& item) {
            const uint8_t* e = vol.area + item.entryOffset;
            const uint32_t first = Load16(e + kDirFirstCluster);
            if (e[kDirAttr] & kAttrDirectory) folders.push_back(DirRef{first});
            CollectChain(vol, first, taken, plan.clusters);
            return true;
        });
        if (!end.problems.empty()) {
            return Failure(FailureKind::kDamaged, FolderFaultNotice(end.problems.front().path));
        }
    }

    for (uint32_t slot : LongNameSlots(vol, parent, entryOffset)) plan.slots.push_back(slot);
    plan.slots.push_back(entryOffset);
    for (DirRef dir : folders) {
        bool empty = true;
        WalkDirectory(vol, dir, [&](uint32_t offset) {
            const uint8_t* e = vol.area + offset;
            if (e[kDirName] == kEntryDeleted) return true;
            empty = empty && IsDotOrDotDot(e);
            plan.slots.push_back(offset);
            return true;
        });
        if (!empty && !recursive) {
            return refused;
        }
    }
    return Done();
}

EntryChanges ApplyRemoval(const Volume& vol, const RemovalPlan& plan) {
    for (uint32_t slot : plan.slots) vol.area[slot + kDirName] = kEntryDeleted;
    for (uint32_t cluster : plan.clusters) vol.SetFatEntry(cluster, kFatFree);
    EntryChanges changes;
    changes.removed.push_back(plan.entryOffset);
    return changes;
}

Result RemoveFolder(const Volume& vol, DirRef parent, uint32_t entryOffset, std::string_view path, bool recursive) {
    RemovalPlan plan;
    Result planned = PlanRemoveFolder(vol, parent, entryOffset, path, recursive, plan);
    if (!planned.Done()) {
        return planned;
    }
    return Done(ApplyRemoval(vol, plan));
}

}  // namespace vk
