#include "engine/fat/ops/dir_ops.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>

#include "engine/common/local_time.h"
#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "engine/core/write_safety.h"
#include "engine/fat/ops/cluster_guard.h"
#include "engine/fat/ops/delete_rename.h"
#include "engine/fat/dir/dir_make.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/dir_remove.h"
#include "engine/fat/dir/dir_tree.h"
#include "engine/fat/ops/directory.h"
#include "engine/fat/table/fat12.h"
#include "engine/fat/dir/fs_options.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/ops/volume_info.h"
#include "engine/ports/window_sync.h"
#include "engine/strings/string_ids.h"

namespace vk {

DirRef DirectoryOfEntry(const ConstVolume& vol, uint32_t entryOffset) {
    if (entryOffset < vol.layout.dataStart || vol.layout.clusterBytes == 0) {
        return kRootDir;
    }
    uint32_t cluster = static_cast<uint32_t>((entryOffset - vol.layout.dataStart) / vol.layout.clusterBytes) + 2;
    // Back through the FAT to the cluster no other one links to. A chain
    // holds each cluster once, so more steps than clusters means a circle.
    for (uint32_t steps = 0; steps <= vol.layout.lastCluster; ++steps) {
        uint32_t before = 0;
        for (uint32_t c = 2; c <= vol.layout.lastCluster; ++c) {
            if (c != cluster && vol.FatEntry(c) == cluster) {
                before = c;
                break;
            }
        }
        if (before == 0) {
            return DirRef{cluster};
        }
        cluster = before;
    }
    return DirRef{cluster};
}

DirRef DirectoryOf(const ImageDocument& doc, uint32_t entryOffset) {
    return DirectoryOfEntry(VolumeOf(doc), entryOffset);
}

std::string DirectoryPath(const ConstVolume& vol, DirRef dir) {
    std::string path;
    if (dir.IsRoot()) {
        return path;
    }
    WalkTree(vol, kRootDir, "", [&](const TreeItem& item) {
        const uint8_t* e = vol.area + item.entryOffset;
        if ((e[kDirAttr] & kAttrDirectory) && Load16(e + kDirFirstCluster) == dir.cluster) {
            path = item.path;
            return false;
        }
        return true;
    });
    return path;
}

uint32_t FindPackedEntry(const ConstVolume& vol, DirRef dir, const PackedName& packed) {
    const DirWalkEnd end = WalkDirectory(vol, dir, [&](uint32_t offset) {
        const uint8_t* e = vol.area + offset;
        return e[kDirName] == kEntryDeleted || IsLongNameEntry(e) ||
               std::memcmp(e + kDirName, packed.data(), kDirFullNameLength) != 0;
    });
    return end.neverUsed ? 0 : end.offset;
}

void DeleteLongNameIn(const Volume& vol, DirRef dir, uint32_t entryOffset) {
    if (dir.IsRoot()) {
        DeleteRootLongName(vol, entryOffset);
        return;
    }
    for (uint32_t slot : LongNameSlots(vol, dir, entryOffset)) {
        vol.area[slot + kDirName] = kEntryDeleted;
    }
}

Result MakeFolderIn(ImageDocument& doc, DirRef dir, std::string_view name, const FileSystemOptions& options) {
    if (std::optional<Notice> refusal = ChangeRefusal(doc)) return Failure(FailureKind::kRefused, *refusal);
    std::string shown;
    PackedName packed;
    Result named = ParseTypedName(std::string(name), options.nameStrength, shown, packed);
    if (!named.Done()) {
        return named;
    }
    const Volume vol = VolumeOf(doc);
    const std::string parentPath = DirectoryPath(vol, dir);
    if (FindPackedEntry(vol, dir, packed) != 0) {
        return Failure(FailureKind::kExists, TextNotice(kMsgFolderNameTaken, Tone::kError, {JoinPath(parentPath, shown)}));
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    const DosDateTime stamp = LocalTime(now, local) ? PackDosStamp(local) : DosDateTime{};
    WaitCursor wait;
    const ClusterGuard guard(doc);
    Result made = MakeFolder(vol, dir, parentPath, shown, stamp.date, stamp.time, guard.Keep());
    if (made.Done()) {
        doc.modified = true;
    }
    return made;
}

Result RemoveFolders(ImageDocument& doc, const std::vector<uint32_t>& entries, bool recursive,
                     const FileSystemOptions& options) {
    if (entries.empty()) {
        return Done();
    }
    if (std::optional<Notice> refusal = ChangeRefusal(doc)) return Failure(FailureKind::kRefused, *refusal);
    const Volume vol = VolumeOf(doc);
    uint8_t* area = vol.area;
    Result result = Done();
    FailureKind lastKind = FailureKind::kNone;  // of the last folder that could not go
    ClusterGuard guard(doc);
    for (const uint32_t entryOffset : entries) {
        const DirRef parent = DirectoryOfEntry(vol, entryOffset);
        const std::string path =
            JoinPath(DirectoryPath(vol, parent), EntryDisplayName(area + entryOffset));
        RemovalPlan plan;
        Result planned = PlanRemoveFolder(vol, parent, entryOffset, path, recursive, plan);
        // Every entry the removal deletes gives up its clusters; no other may own one of them.
        std::vector<uint32_t> leaving = plan.slots;
        std::sort(leaving.begin(), leaving.end());
        if (planned.Done()) {
            if (std::optional<Notice> shared = guard.CheckRelease(plan.clusters, leaving)) {
                planned = Failure(FailureKind::kDamaged, *shared);
            }
        }
        if (!planned.Done()) {
            result.notices.push_back(*planned.failure);
            lastKind = planned.kind;
            continue;
        }
        // What the folder holds: every shown entry below it; the question
        // counts the files among them.
        uint32_t items = 0;
        uint32_t files = 0;
        WalkTree(vol, DirRef{Load16(area + entryOffset + kDirFirstCluster)}, path,
                 [&](const TreeItem& item) {
                     ++items;
                     if (!(area[item.entryOffset + kDirAttr] & kAttrDirectory)) ++files;
                     return true;
                 });
        if (!options.forceSwitch) {
            const Notice question = items == 0 ? TextNotice(kMsgDeleteFolder, Tone::kQuestion, {path})
                                               : TextNotice(kMsgDeleteFolderTree, Tone::kQuestion,
                                                            {path, std::to_string(files)});
            const Answer answer = Ask(question, Choices::kYesNoCancel, true);
            if (answer == Answer::kNo) {
                continue;
            }
            if (answer != Answer::kYes) {
                result.goOn = false;
                break;
            }
        }
        WaitCursor wait;
        result.changes.Append(ApplyRemoval(vol, plan));
        guard.Released(plan.clusters, leaving);
        doc.modified = true;
    }
    if (result.changes.Empty() && !result.notices.empty()) {
        Result failed = Failure(lastKind, result.notices.back(), result.goOn);
        result.notices.pop_back();
        failed.notices = std::move(result.notices);
        return failed;
    }
    return result;
}

}  // namespace vk
