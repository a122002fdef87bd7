#include "engine/fat/dir/dir_make.h"

#include <cstring>
#include <utility>

#include "engine/common/bytes.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/table/fat12.h"
#include "engine/fat/dir/folder.h"
#include "engine/fat/dir/short_names.h"
#include "engine/strings/string_ids.h"

namespace vk {

WriteRanges FolderPlan::Writes(const Layout& layout) const {
    WriteRanges ranges = slot.Writes(layout);
    ranges.push_back(FatEntryBytes(layout, cluster));
    ranges.push_back(ClusterBytes(layout, cluster));
    return ranges;
}

Result PlanFolder(const ConstVolume& vol, DirRef parent, std::string_view parentPath, std::string_view displayName,
                  FolderPlan& plan, const ClusterSet* keep) {
    plan = FolderPlan{};
    plan.parent = parent;
    plan.name = PackShortName(displayName);
    if (FindShownEntry(vol, parent, displayName) != 0) {
        return Failure(FailureKind::kExists, TextNotice(kMsgFolderNameTaken, Tone::kError, {JoinPath(parentPath, displayName)}));
    }
    Result slotted = PlanNewSlot(vol, parent, parentPath, displayName, plan.slot, keep);
    if (!slotted.Done()) {
        return slotted;
    }
    // Above the cluster the parent gains, which is taken by then.
    plan.cluster = FindFreeClusterFrom(vol, plan.slot.growCluster + 1, keep);
    if (plan.cluster == 0) {
        return Failure(FailureKind::kDiskFull, TextNotice(kMsgDiskFull, Tone::kError));
    }
    if (!vol.ClusterInBounds(plan.cluster)) {
        return Failure(FailureKind::kDamaged, TextNotice(kMsgImageTooSmall, Tone::kError));
    }
    return Done();
}

uint32_t WriteFolder(const Volume& vol, const FolderPlan& plan, uint16_t date, uint16_t time) {
    PrepareSlot(vol, plan.slot);
    WriteEmptyFolder(vol.Cluster(plan.cluster), vol.layout.clusterBytes, plan.cluster,
                     plan.parent.cluster, date, time);
    vol.SetFatEntry(plan.cluster, vol.layout.EndMark());
    uint8_t* e = vol.area + plan.slot.offset;
    std::memset(e, 0, kDirEntrySize);
    std::memcpy(e + kDirName, plan.name.data(), kDirFullNameLength);
    e[kDirAttr] = kAttrDirectory;
    Store16(e + kDirTime, time);
    Store16(e + kDirDate, date);
    Store16(e + kDirFirstCluster, plan.cluster);
    return plan.slot.offset;
}

Result MakeFolder(const Volume& vol, DirRef parent, std::string_view parentPath, std::string_view displayName,
                  uint16_t date, uint16_t time, const ClusterSet* keep) {
    FolderPlan plan;
    Result planned = PlanFolder(vol, parent, parentPath, displayName, plan, keep);
    if (!planned.Done()) {
        return planned;
    }
    EntryChanges changes;
    changes.added.push_back(WriteFolder(vol, plan, date, time));
    return Done(std::move(changes));
}

}  // namespace vk
