#include "engine/fat/add_file.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "engine/common/bytes.h"
#include "engine/fat/cluster_guard.h"
#include "engine/core/document.h"
#include "engine/fat/dir_entry.h"
#include "engine/fat/dir_ops.h"
#include "engine/fat/dir_slot.h"
#include "engine/fat/fs_options.h"
#include "engine/fat/directory.h"
#include "engine/fat/fat12.h"
#include "engine/fat/folder.h"
#include "engine/fat/host_reader.h"
#include "engine/core/write_safety.h"
#include "engine/fat/list_texts.h"
#include "engine/fat/name_claims.h"
#include "engine/fat/root_directory.h"
#include "engine/fat/short_names.h"
#include "engine/ports/host_text.h"
#include "engine/ports/host_failure.h"
#include "engine/ports/window_sync.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

// Stamp of host files whose time no DOS date can hold: 1980-01-01 00:00:00.
constexpr DosDateTime kEarliestDosStamp = {PackDosDate(kDosFirstYear, 1, 1), PackDosTime(0, 0, 0)};

Notice Fails(unsigned id, std::initializer_list<std::string_view> inserts = {}) {
    return TextNotice(id, Tone::kError, inserts);
}

Notice HostFails(std::string_view hostPath, uint32_t error) { return HostErrorNotice(hostPath, error); }

bool IsFolderEntry(const uint8_t* entry) {
    return (entry[kDirAttr] & kAttrDirectory) && !(entry[kDirAttr] & kAttrVolume);
}

DosDateTime HostStamp(const HostFindData& found) {
    DosDateTime stamp;
    if (!HostTimeToLocalDos(found.lastWriteTime, stamp)) {
        stamp = kEarliestDosStamp;
    }
    return stamp;
}

void StampEntry(uint8_t* entry, const HostFindData& found, uint32_t size) {
    const DosDateTime stamp = HostStamp(found);
    Store16(entry + kDirTime, stamp.time);
    Store16(entry + kDirDate, stamp.date);
    Store32(entry + kDirSize, size);
    entry[kDirAttr] = static_cast<uint8_t>(found.attributes & kAttrKeptFromHost);
}

// A slot in a folder: an entry of that name after message 74 (unless
// `quiet` or /F), else PlanNewSlot's slot, growing the folder when it is full.
SlotResult FindFolderSlot(const Layout& layout, const uint8_t* area, uint32_t length, DirRef dir,
                          std::string_view displayName, const PackedName& packed, bool quiet, WindowRef owner,
                          const ClusterSet* keep = nullptr) {
    SlotResult result;
    const uint32_t named = FindPackedEntry(layout, area, length, dir, packed);
    if (named != 0) {
        result.found = true;
        if (quiet || FsOptions().forceSwitch ||
            Ask(owner, TextNotice(kMsgReplaceEntry, Tone::kQuestion, {displayName}), Choices::kYesNo) ==
                Answer::kYes) {
            result.hasSlot = true;
            result.slotOffset = named;
            result.newSlot.offset = named;
        }
        return result;
    }
    if (quiet) {
        return result;
    }
    // The folder's path is only for a message, and finding it walks the tree:
    // it is looked up when there is one to say.
    Result planned = PlanNewSlot(layout, area, length, dir, "", displayName, result.newSlot, keep);
    if (!planned.Done()) {
        planned = PlanNewSlot(layout, area, length, dir, DirectoryPath(layout, area, length, dir), displayName,
                              result.newSlot, keep);
        result.failure = std::move(planned.failure);
        result.goOn = false;
        return result;
    }
    result.hasSlot = true;
    result.slotOffset = result.newSlot.offset;
    return result;
}

}  // namespace

// The bytes an add may change, saved before it changes them: the system area
// up to cluster 2 (FAT copy 1, the root directory), and each cluster it
// fills. Cheaper than a work copy of the whole image per file, with the same
// promise. Unless committed, the destructor puts everything back.
class UndoJournal {
public:
    UndoJournal(uint8_t* area, uint32_t length, const Layout& layout)
        : area_(area), systemBytes_(static_cast<size_t>(std::min<uint64_t>(layout.dataStart, length))),
          clusterBytes_(static_cast<size_t>(layout.clusterBytes)) {}
    ~UndoJournal() {
        if (!committed_ && !system_.empty()) {
            for (size_t i = savedClusters_; i-- > 0;) {
                std::memcpy(area_ + offsets_[i], clusters_.data() + i * clusterBytes_, lengths_[i]);
            }
            for (size_t i = savedRanges_; i-- > 0;) {
                std::memcpy(area_ + ranges_[i].offset, ranges_[i].bytes.data(), ranges_[i].bytes.size());
            }
            std::memcpy(area_, system_.data(), systemBytes_);
        }
    }
    UndoJournal(const UndoJournal&) = delete;
    UndoJournal& operator=(const UndoJournal&) = delete;

    bool Begin() {
        if (!system_.Allocate(systemBytes_)) return false;
        std::memcpy(system_.data(), area_, systemBytes_);
        return true;
    }
    // Room for the clusters one file needs.
    bool Reserve(uint32_t clusterCount) {
        return clusters_.Allocate(size_t{clusterCount} * clusterBytes_) &&
               offsetBlock_.Allocate(size_t{clusterCount} * sizeof(uint64_t)) &&
               lengthBlock_.Allocate(size_t{clusterCount} * sizeof(uint32_t)) && Bind(clusterCount);
    }
    void SaveCluster(uint64_t offset, uint32_t length) {
        if (savedClusters_ < capacity_) {
            std::memcpy(clusters_.data() + savedClusters_ * clusterBytes_, area_ + offset, length);
            offsets_[savedClusters_] = offset;
            lengths_[savedClusters_] = length;
            ++savedClusters_;
        }
    }
    // Saves bytes outside the system area that a step changes before any
    // cluster is filled: a folder's slot and the cluster it grows by. Their
    // FAT entries lie in the system area, saved already.
    bool SaveRanges(const WriteRanges& ranges) {
        for (const ByteRange& range : ranges) {
            if (range.offset + range.length <= systemBytes_) continue;
            if (savedRanges_ == kMostRanges || !ranges_[savedRanges_].bytes.Allocate(range.length)) return false;
            ranges_[savedRanges_].offset = range.offset;
            std::memcpy(ranges_[savedRanges_].bytes.data(), area_ + range.offset, static_cast<size_t>(range.length));
            ++savedRanges_;
        }
        return true;
    }
    void Commit() { committed_ = true; }

private:
    bool Bind(uint32_t count) {
        offsets_ = reinterpret_cast<uint64_t*>(offsetBlock_.data());
        lengths_ = reinterpret_cast<uint32_t*>(lengthBlock_.data());
        capacity_ = count;
        return true;
    }

    uint8_t* area_;
    size_t systemBytes_;
    size_t clusterBytes_;
    ByteBlock system_;
    ByteBlock clusters_;
    ByteBlock offsetBlock_;
    ByteBlock lengthBlock_;
    uint64_t* offsets_ = nullptr;
    uint32_t* lengths_ = nullptr;
    size_t capacity_ = 0;
    size_t savedClusters_ = 0;
    // A slot, and a grown cluster: NewSlot::Writes outside the system area.
    static constexpr size_t kMostRanges = 2;
    struct SavedRange {
        uint64_t offset = 0;
        ByteBlock bytes;
    };
    SavedRange ranges_[kMostRanges];
    size_t savedRanges_ = 0;
    bool committed_ = false;
};

std::optional<Notice> CopyFileToClusters(const Layout& layout, uint8_t* area, uint32_t length,
                                         const HostFile& file, std::string_view hostPath, uint32_t slotOffset,
                                         uint32_t byteCount, UndoJournal& journal, const ClusterSet* keep) {
    uint8_t* slot = area + slotOffset;
    Store16(slot + kDirFirstCluster, 0);
    if (!journal.Reserve(static_cast<uint32_t>((uint64_t{byteCount} + layout.clusterBytes - 1) / layout.clusterBytes))) {
        return Fails(kMsgOutOfMemory);
    }
    HostBlockReader reader(file, byteCount);
    if (!reader.Prepare()) {
        return Fails(kMsgOutOfMemory);
    }
    uint32_t remaining = byteCount;
    uint32_t previous = 0;
    while (remaining > 0) {
        const uint32_t cluster = FindFreeClusterFrom(layout, area, length, previous + 1, keep);
        if (cluster == 0) {
            return Fails(kMsgDiskFull);
        }
        const uint32_t piece = static_cast<uint32_t>(std::min<uint64_t>(remaining, layout.clusterBytes));
        const uint64_t offset = layout.ClusterOffset(cluster);
        if (offset + piece > length) {
            return Fails(kMsgImageTooSmall);
        }
        journal.SaveCluster(offset, piece);
        // kEndOfFile when the file shrank since it was listed.
        const uint32_t error = reader.Read(area + offset, piece);
        if (error != kHostSuccess) {
            return HostFails(hostPath, error);
        }
        if (previous != 0) {
            WriteFatEntry(layout, area, length, previous, cluster);
        } else {
            Store16(slot + kDirFirstCluster, cluster);
        }
        WriteFatEntry(layout, area, length, cluster, kFatEnd);
        previous = cluster;
        remaining -= piece;
    }
    // Files of /proc and the like list size 0 and yield bytes all the same;
    // storing only the listed bytes would pass a stump for the whole file.
    if (reader.LongerThanListed()) {
        return Fails(kMsgAddFileLongerThanListed, {hostPath});
    }
    return std::nullopt;
}

// A new folder owns one zeroed cluster with its dot entries: an entry with
// first cluster 0 would send every other reader into the root directory.
std::optional<Notice> MakeFolderCluster(const Layout& layout, uint8_t* area, uint32_t length, uint32_t slotOffset,
                                        DirRef parent, DosDateTime stamp, UndoJournal& journal,
                                        const ClusterSet* keep) {
    if (!journal.Reserve(1)) {
        return Fails(kMsgOutOfMemory);
    }
    const uint32_t cluster = FindFreeCluster(layout, area, length, keep);
    if (cluster == 0) {
        return Fails(kMsgDiskFull);
    }
    const uint64_t offset = layout.ClusterOffset(cluster);
    if (offset + layout.clusterBytes > length) {
        return Fails(kMsgImageTooSmall);
    }
    journal.SaveCluster(offset, static_cast<uint32_t>(layout.clusterBytes));
    WriteEmptyFolder(area + offset, layout.clusterBytes, cluster, parent.cluster, stamp.date, stamp.time);
    WriteFatEntry(layout, area, length, cluster, kFatEnd);
    Store16(area + slotOffset + kDirFirstCluster, cluster);
    return std::nullopt;
}

Result AddHostFile(ImageDocument& doc, WindowRef owner, std::string_view hostPath, DirRef dir,
                   std::string_view shortName, ClusterGuard* guard) {
    if (std::optional<Notice> refusal = ChangeRefusal(doc)) return Failure(*refusal);
    WaitCursor wait;
    std::optional<ClusterGuard> ownGuard;
    if (guard == nullptr) guard = &ownGuard.emplace(doc);
    uint8_t* area = doc.Area();
    const uint32_t length = doc.AreaLength();
    const Layout layout = doc.GetLayout();
    UndoJournal journal(area, length, layout);
    if (!journal.Begin()) {
        return Failure(Fails(kMsgOutOfMemory));
    }

    HostFindData found;
    const uint32_t findError = FindHostFile(hostPath, found);
    if (findError != kHostSuccess) {
        return Failure(HostFails(hostPath, findError));
    }
    if (found.attributes & kHostDevice) {
        return Failure(Fails(kMsgAddNotAFile, {hostPath}));
    }
    const bool isFolder = (found.attributes & kHostDirectory) != 0;
    // No floppy holds 4 GiB; cutting the size to 32 bits would store a stump.
    if (found.size > UINT32_MAX) {
        return Failure(Fails(kMsgDiskFull));
    }
    const uint32_t size = isFolder ? 0 : static_cast<uint32_t>(found.size);

    std::string displayName(shortName);
    if (displayName.empty()) {
        displayName = MakeShortName(found);
        HostUpperCase(displayName);
    }
    const PackedName packed = PackShortName(displayName);

    // An existing folder is never replaced, so that its contents stay
    // reachable: a file is refused, a folder of the same name is that folder.
    const SlotResult existing = dir.IsRoot()
                                    ? FindEntrySlot(layout, area, length, displayName, packed, true, owner)
                                    : FindFolderSlot(layout, area, length, dir, displayName, packed, true, owner);
    if (existing.found && IsFolderEntry(area + existing.slotOffset)) {
        if (isFolder) {
            return Done();
        }
        return Failure(Fails(kMsgFileOverFolder, {displayName}));
    }
    // A file whose clusters another entry shares is not replaced: before the question.
    if (existing.found) {
        if (std::optional<Notice> shared = guard->CheckRelease(existing.slotOffset)) return Failure(std::move(*shared));
    }

    SlotResult slot = dir.IsRoot() ? FindEntrySlot(layout, area, length, displayName, packed, false, owner)
                                   : FindFolderSlot(layout, area, length, dir, displayName, packed, false, owner,
                                                    guard->Keep());
    if (!slot.hasSlot) {
        return slot.failure ? Failure(std::move(*slot.failure), slot.goOn) : Declined(slot.goOn);
    }
    if (!journal.SaveRanges(slot.newSlot.Writes(layout))) {
        return Failure(Fails(kMsgOutOfMemory));
    }
    // A folder that grows takes its new cluster before any file cluster is sought.
    PrepareSlot(layout, area, length, slot.newSlot);
    uint8_t* entry = area + slot.slotOffset;
    // A replaced file keeps its place in a listing; a replaced label was never listed.
    const bool replacesListed = slot.found && IsListedEntry(entry);
    std::vector<uint32_t> oldChain;
    if (slot.found) {
        oldChain = guard->Chain(slot.slotOffset);
        // The old long name belongs to the old file, not to the new one.
        DeleteLongNameIn(layout, area, length, dir, slot.slotOffset);
        FreeChain(layout, area, length, slot.slotOffset);
    }
    std::memcpy(entry + kDirName, packed.data(), kDirFullNameLength);

    std::optional<Notice> failure;
    if (isFolder) {
        failure =
            MakeFolderCluster(layout, area, length, slot.slotOffset, dir, HostStamp(found), journal, guard->Keep());
    } else {
        HostFile file;
        const uint32_t openError =
            OpenHostFile(hostPath, kAccessRead, kShareRead, Disposition::kOpenExisting, 0, file);
        if (openError != kHostSuccess) {
            failure = HostFails(hostPath, openError);
        } else {
            failure = CopyFileToClusters(layout, area, length, file, hostPath, slot.slotOffset, size, journal,
                                         guard->Keep());
        }
    }
    if (failure) {
        return Failure(std::move(*failure));
    }
    StampEntry(entry, found, size);

    journal.Commit();
    guard->Released(oldChain, {slot.slotOffset});
    guard->Claimed(slot.slotOffset);
    doc.modified = true;
    EntryChanges changes;
    (replacesListed ? changes.changed : changes.added).push_back(slot.slotOffset);
    return Done(std::move(changes));
}

Result AddFiles(ImageDocument& doc, WindowRef owner, const std::vector<std::string>& paths,
                const std::function<void(const Result&)>& tell, DirRef dir) {
    Result all = Declined(true);
    ClusterGuard guard(doc);
    ShortNameClaims claims;
    const std::vector<std::string> names = claims.Plan(doc, dir, paths);
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::string& path = paths[i];
        Result one = AddHostFile(doc, owner, path, dir, names[i], &guard);
        if (one.Done() && names[i] != AddedShortName(path)) {
            one.notices.push_back(AddedUnderTailNotice(path, names[i]));
        }
        tell(one);
        all.changes.Append(one.changes);
        if (one.Done()) {
            all.status = Result::Status::kDone;
        } else if (all.status != Result::Status::kDone) {
            all.status = one.status;
        }
        // One file alone ends there; of several, a file that says stop ends the walk.
        if (!one.goOn || paths.size() == 1) {
            all.goOn = one.goOn;
            break;
        }
    }
    return all;
}

}  // namespace vk
