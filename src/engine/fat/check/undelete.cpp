#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

#include "engine/core/document.h"
#include "engine/core/write_safety.h"
#include "engine/fat/check/disk_check.h"
#include "engine/fat/dir/cluster_map.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/dir_tree.h"
#include "engine/fat/dir/dir_walk.h"
#include "engine/fat/dir/folder.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/ops/dir_ops.h"
#include "engine/fat/table/fat12.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

// Bytes no DOS accepts at the start of a short name.
constexpr char kBadFirstBytes[] = " \"*+,./:;<=>?[\\]|";

// The display name of a deleted entry with `first` in place of its lost first byte.
std::string NameWithFirst(const uint8_t* e, uint8_t first) {
    uint8_t copy[kDirEntrySize];
    std::memcpy(copy, e, kDirEntrySize);
    copy[kDirName] = first;
    return EntryDisplayName(copy);
}

bool IsDeletedFileOrFolder(const uint8_t* e) {
    return e[kDirName] == kEntryDeleted && !IsLongNameEntry(e) && !(e[kDirAttr] & kAttrVolume);
}

}  // namespace

std::vector<DeletedEntry> FindDeleted(const ImageDocument& doc) {
    std::vector<DeletedEntry> found;
    if (!doc.IsOpen() || doc.changeBlock == ChangeBlock::kFat32) return found;
    const ConstVolume vol = VolumeOf(doc);
    if (vol.layout.lastCluster < kFirstDataCluster) return found;
    const ClusterMap map = ClusterMap::Build(vol);
    std::vector<std::pair<DirRef, std::string>> dirs{{kRootDir, std::string()}};
    WalkTree(vol, kRootDir, "", [&](const TreeItem& item) {
        const uint8_t* e = vol.area + item.entryOffset;
        if (e[kDirAttr] & kAttrDirectory) dirs.emplace_back(DirRef{Load16(e + kDirFirstCluster)}, item.path);
        return true;
    });
    for (const auto& dir : dirs) {
        WalkDirectory(vol, dir.first, [&](uint32_t offset) {
            const uint8_t* e = vol.area + offset;
            if (!IsDeletedFileOrFolder(e)) return true;
            DeletedEntry d;
            d.entry = offset;
            d.dirCluster = dir.first.cluster;
            d.path = JoinPath(dir.second, NameWithFirst(e, '?'));
            d.folder = (e[kDirAttr] & kAttrDirectory) != 0;
            d.size = d.folder ? 0 : Load32(e + kDirSize);
            d.firstCluster = Load16(e + kDirFirstCluster);
            const uint64_t need = d.folder ? 1 : (uint64_t{d.size} + vol.layout.clusterBytes - 1) / vol.layout.clusterBytes;
            d.clusters = static_cast<uint32_t>(std::min<uint64_t>(need, vol.layout.lastCluster));
            if (d.firstCluster == 0) {
                d.recoverable = need == 0 && !d.folder;
            } else {
                d.recoverable = need != 0;
                for (uint32_t k = 0; k < d.clusters && d.recoverable; ++k) {
                    const uint32_t c = d.firstCluster + k;
                    d.recoverable = vol.layout.IsDataCluster(c) && vol.ClusterInBounds(c) &&
                                    map.Use(c) == ClusterUse::kFree;
                }
                d.recoverable = d.recoverable && need <= vol.layout.lastCluster;
            }
            found.push_back(std::move(d));
            return true;
        });
    }
    return found;
}

Result Undelete(ImageDocument& doc, const std::vector<uint32_t>& entries, char first) {
    if (const auto refusal = ChangeRefusal(doc)) return Failure(FailureKind::kRefused, *refusal);
    if (doc.readOnly) return Failure(FailureKind::kRefused, TextNotice(kMsgChangeRefused, Tone::kError));
    const uint8_t shown = static_cast<uint8_t>(std::toupper(static_cast<unsigned char>(first)));
    if (shown < 0x20 || shown == 0x7F || std::strchr(kBadFirstBytes, shown) != nullptr) {
        return Failure(FailureKind::kBadName, TextNotice(kMsgUndeleteBadFirst, Tone::kError, {std::string(1, first)}));
    }
    const uint8_t stored = StoredFirstByte(shown);
    std::map<uint32_t, DeletedEntry> known;
    for (DeletedEntry& d : FindDeleted(doc)) known.emplace(d.entry, std::move(d));
    const Volume vol = VolumeOf(doc);
    std::vector<Notice> refusals;
    FailureKind kind = FailureKind::kNone;
    EntryChanges changes;
    for (uint32_t entry : entries) {
        const auto it = known.find(entry);
        if (it == known.end() || vol.area[entry + kDirName] != kEntryDeleted) {
            refusals.push_back(TextNotice(kMsgPathNotFound, Tone::kError, {it == known.end() ? "" : it->second.path}));
            kind = FailureKind::kNotFound;
            continue;
        }
        const DeletedEntry& d = it->second;
        uint8_t* e = vol.area + entry;
        const std::string name = NameWithFirst(e, shown);
        const std::string path = JoinPath(DirectoryPath(vol, DirRef{d.dirCluster}), name);
        // The clusters are looked at again: an entry recovered before may have taken them.
        uint32_t taken = 0;
        for (uint32_t k = 0; k < d.clusters && d.firstCluster != 0; ++k) {
            const uint32_t c = d.firstCluster + k;
            if (!vol.layout.IsDataCluster(c) || !vol.ClusterInBounds(c) || vol.FatEntry(c) != kFatFree) {
                taken = c;
                break;
            }
        }
        if (!d.recoverable || taken != 0) {
            refusals.push_back(TextNotice(kMsgUndeleteTaken, Tone::kError,
                                          {path, std::to_string(taken != 0 ? taken : d.firstCluster)}));
            kind = FailureKind::kRefused;
            continue;
        }
        uint8_t packed[kDirFullNameLength];
        std::memcpy(packed, e + kDirName, kDirFullNameLength);
        packed[0] = stored;
        bool nameTaken = false;
        WalkDirectory(vol, DirRef{d.dirCluster}, [&](uint32_t offset) {
            const uint8_t* other = vol.area + offset;
            nameTaken = other[kDirName] != kEntryDeleted && !IsLongNameEntry(other) &&
                        std::memcmp(other + kDirName, packed, kDirFullNameLength) == 0;
            return !nameTaken;
        });
        if (nameTaken) {
            refusals.push_back(TextNotice(kMsgUndeleteNameTaken, Tone::kError, {d.path, name}));
            kind = FailureKind::kExists;
            continue;
        }
        for (uint32_t k = 0; k < d.clusters && d.firstCluster != 0; ++k) {
            const uint32_t c = d.firstCluster + k;
            vol.SetFatEntry(c, k + 1 < d.clusters ? c + 1 : vol.layout.EndMark());
        }
        if (d.folder && d.firstCluster != 0) {
            // Removing a folder marked its dot entries deleted too: they come back naming it and its parent.
            uint8_t* dots = vol.Cluster(d.firstCluster);
            const uint32_t own[2] = {d.firstCluster, d.dirCluster};
            const char* names[2] = {kDotName, kDotDotName};
            for (uint32_t k = 0; k < 2 && vol.layout.clusterBytes >= 2 * kDirEntrySize; ++k) {
                uint8_t* dot = dots + k * kDirEntrySize;
                std::memcpy(dot + kDirName, names[k], kDirFullNameLength);
                dot[kDirAttr] |= kAttrDirectory;
                Store16(dot + kDirFirstCluster, own[k]);
            }
        }
        e[kDirName] = stored;
        changes.added.push_back(entry);
        doc.modified = true;
    }
    if (refusals.empty()) return Done(std::move(changes));
    Notice last = refusals.back();
    refusals.pop_back();
    Result result = Failure(kind, std::move(last), true);
    result.notices = std::move(refusals);
    result.changes = std::move(changes);
    return result;
}

}  // namespace vk
