#include "engine/fat/ops/add_file.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "engine/core/write_safety.h"
#include "engine/fat/ops/cluster_guard.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/dir_ops.h"
#include "engine/fat/dir/dir_slot.h"
#include "engine/fat/ops/directory.h"
#include "engine/fat/dir/entry_chain.h"
#include "engine/fat/table/fat12.h"
#include "engine/fat/dir/folder.h"
#include "engine/fat/dir/fs_options.h"
#include "engine/fat/ops/host_reader.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/dir/long_names.h"
#include "engine/fat/ops/name_claims.h"
#include "engine/fat/dir/root_directory.h"
#include "engine/fat/dir/short_names.h"
#include "engine/ports/host_failure.h"
#include "engine/ports/host_text.h"
#include "engine/ports/window_sync.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

// Stamp of host files whose time no DOS date can hold: 1980-01-01 00:00:00.
constexpr DosDateTime kEarliestDosStamp = {PackDosDate(kDosFirstYear, 1, 1), PackDosTime(0, 0, 0)};

Fault Fails(FailureKind kind, unsigned id, std::initializer_list<std::string_view> inserts = {}) {
    return Fault{kind, TextNotice(id, Tone::kError, inserts)};
}

Fault HostFails(std::string_view hostPath, uint32_t error) { return HostFault(hostPath, error); }

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

// The document's image file or its .der, which an add must never read as a file to add.
bool IsOpenImageFile(const ImageDocument& doc, std::string_view hostPath) {
    return IsSameHostFile(doc.imageFile, hostPath) || IsSameHostFile(doc.errorFile, hostPath);
}

}  // namespace

// The bytes an add changes, each range saved just before it is first
// written: the entry's slot, the FAT entries of the clusters it frees or
// takes, a folder's grown cluster, a replaced file's long name and each
// cluster it fills. What one file costs is what it changes, not the size of
// the FAT and root. Unless committed, the destructor puts the ranges back,
// the last saved first, so that bytes two FAT entries share end as they began.
class UndoJournal {
public:
    explicit UndoJournal(const Volume& vol) : area_(vol.area), length_(vol.length), layout_(vol.layout) {}
    ~UndoJournal() {
        if (committed_) return;
        size_t at = used_;
        while (at > 0) {
            at -= sizeof(Trailer);
            Trailer trailer;
            std::memcpy(&trailer, log_.data() + at, sizeof trailer);
            at -= trailer.length;
            std::memcpy(area_ + trailer.offset, log_.data() + at, trailer.length);
        }
    }
    UndoJournal(const UndoJournal&) = delete;
    UndoJournal& operator=(const UndoJournal&) = delete;

    // Room for the clusters one file needs, their FAT entries with them, so
    // that saving them cannot fail halfway.
    bool Reserve(uint32_t clusterCount) {
        const size_t each = layout_.clusterBytes + 2 * sizeof(Trailer) + kFatEntryBytes;
        return Grow(size_t{clusterCount} * each);
    }
    bool Save(uint64_t offset, uint64_t length) {
        if (offset >= length_ || length > length_ - offset) return true;  // nothing there to change
        if (!Grow(static_cast<size_t>(length) + sizeof(Trailer))) return false;
        std::memcpy(log_.data() + used_, area_ + offset, static_cast<size_t>(length));
        used_ += static_cast<size_t>(length);
        const Trailer trailer{offset, static_cast<size_t>(length)};
        std::memcpy(log_.data() + used_, &trailer, sizeof trailer);
        used_ += sizeof trailer;
        return true;
    }
    bool Save(const ByteRange& range) { return Save(range.offset, range.length); }
    bool SaveFatEntry(uint32_t cluster) { return Save(FatEntryBytes(layout_, cluster)); }
    bool SaveRanges(const WriteRanges& ranges) {
        for (const ByteRange& range : ranges) {
            if (!Save(range)) return false;
        }
        return true;
    }
    void Commit() { committed_ = true; }

private:
    static constexpr size_t kFatEntryBytes = 2;
    struct Trailer {
        uint64_t offset;
        size_t length;
    };
    bool Grow(size_t more) {
        if (log_.size() - used_ >= more) return true;
        ByteBlock bigger;
        if (!bigger.Allocate(std::max(used_ + more, 2 * log_.size()))) return false;
        if (used_ != 0) std::memcpy(bigger.data(), log_.data(), used_);
        log_ = std::move(bigger);
        return true;
    }

    uint8_t* area_;
    uint32_t length_;
    Layout layout_;
    ByteBlock log_;
    size_t used_ = 0;
    bool committed_ = false;
};

std::optional<Fault> CopyFileToClusters(const Volume& vol, const HostFile& file, std::string_view hostPath,
                                         uint32_t slotOffset, uint32_t byteCount, UndoJournal& journal,
                                         uint32_t& freeFrom, const ClusterSet* keep) {
    uint8_t* slot = vol.area + slotOffset;
    Store16(slot + kDirFirstCluster, 0);
    const uint64_t clusterBytes = vol.layout.clusterBytes;
    if (!journal.Reserve(static_cast<uint32_t>((uint64_t{byteCount} + clusterBytes - 1) / clusterBytes))) {
        return Fails(FailureKind::kOutOfMemory, kMsgOutOfMemory);
    }
    HostBlockReader reader(file, byteCount);
    if (!reader.Prepare()) {
        return Fails(FailureKind::kOutOfMemory, kMsgOutOfMemory);
    }
    uint32_t remaining = byteCount;
    uint32_t previous = 0;
    while (remaining > 0) {
        const uint32_t cluster = FindFreeClusterFrom(vol, freeFrom, keep);
        if (cluster == 0) {
            return Fails(FailureKind::kDiskFull, kMsgDiskFull);
        }
        const uint32_t piece = static_cast<uint32_t>(std::min<uint64_t>(remaining, vol.layout.clusterBytes));
        const uint64_t offset = vol.layout.ClusterOffset(cluster);
        if (offset + piece > vol.length) {
            return Fails(FailureKind::kDamaged, kMsgImageTooSmall);
        }
        if (!journal.Save(offset, piece) || !journal.SaveFatEntry(cluster)) {
            return Fails(FailureKind::kOutOfMemory, kMsgOutOfMemory);
        }
        freeFrom = cluster + 1;
        // kEndOfFile when the file shrank since it was listed.
        const uint32_t error = reader.Read(vol.area + offset, piece);
        if (error != kHostSuccess) {
            return HostFails(hostPath, error);
        }
        if (previous != 0) {
            vol.SetFatEntry(previous, cluster);
        } else {
            Store16(slot + kDirFirstCluster, cluster);
        }
        vol.SetFatEntry(cluster, vol.layout.EndMark());
        previous = cluster;
        remaining -= piece;
    }
    // Files of /proc and the like list size 0 and yield bytes all the same;
    // storing only the listed bytes would pass a stump for the whole file.
    if (reader.LongerThanListed()) {
        return Fails(FailureKind::kHostError, kMsgAddFileLongerThanListed, {hostPath});
    }
    return std::nullopt;
}

// Before a replaced file goes: the FAT entries of its chain, as FreeChain
// walks it, and the slots of its long name.
bool SaveReplacedBytes(const ConstVolume& vol, DirRef dir, uint32_t entryOffset, UndoJournal& journal) {
    ChainWalker walk(vol, Load16(vol.area + entryOffset + kDirFirstCluster));
    for (; walk.State() == ChainState::kCluster; walk.Advance()) {
        if (!journal.SaveFatEntry(walk.Cluster())) return false;
    }
    if (dir.IsRoot()) {
        if (entryOffset < vol.layout.rootStart) return true;
        const uint32_t index = static_cast<uint32_t>((entryOffset - vol.layout.rootStart) / kDirEntrySize);
        const uint32_t run =
            LongNameRunLength(vol.area + vol.layout.rootStart, RootEntryCount(vol.layout, vol.length), index);
        return journal.Save(entryOffset - uint64_t{run} * kDirEntrySize, uint64_t{run} * kDirEntrySize);
    }
    for (uint32_t slot : LongNameSlots(vol, dir, entryOffset)) {
        if (!journal.Save(slot, kDirEntrySize)) return false;
    }
    return true;
}

// A new folder owns one zeroed cluster with its dot entries: an entry with
// first cluster 0 would send every other reader into the root directory.
std::optional<Fault> MakeFolderCluster(const Volume& vol, uint32_t slotOffset, DirRef parent, DosDateTime stamp,
                                        UndoJournal& journal, uint32_t& freeFrom, const ClusterSet* keep) {
    if (!journal.Reserve(1)) {
        return Fails(FailureKind::kOutOfMemory, kMsgOutOfMemory);
    }
    const uint32_t cluster = FindFreeClusterFrom(vol, freeFrom, keep);
    if (cluster == 0) {
        return Fails(FailureKind::kDiskFull, kMsgDiskFull);
    }
    const uint64_t offset = vol.layout.ClusterOffset(cluster);
    if (offset + vol.layout.clusterBytes > vol.length) {
        return Fails(FailureKind::kDamaged, kMsgImageTooSmall);
    }
    if (!journal.Save(offset, vol.layout.clusterBytes) || !journal.SaveFatEntry(cluster)) {
        return Fails(FailureKind::kOutOfMemory, kMsgOutOfMemory);
    }
    freeFrom = cluster + 1;
    WriteEmptyFolder(vol.area + offset, vol.layout.clusterBytes, cluster, parent.cluster, stamp.date, stamp.time);
    vol.SetFatEntry(cluster, vol.layout.EndMark());
    Store16(vol.area + slotOffset + kDirFirstCluster, cluster);
    return std::nullopt;
}

Result AddHostFile(ImageDocument& doc, std::string_view hostPath, const FileSystemOptions& options, DirRef dir,
                   std::string_view shortName, ClusterGuard* guard, CommandSlots* slots,
                   const HostFindData* listed, ItemQuestion* replace) {
    if (std::optional<Notice> refusal = ChangeRefusal(doc)) return Failure(FailureKind::kRefused, *refusal);
    WaitCursor wait;
    // Made only when no caller carries one: an empty optional of it would
    // still be cleared, cluster set and all, for every file.
    std::unique_ptr<ClusterGuard> ownGuard;
    if (guard == nullptr) {
        ownGuard = std::make_unique<ClusterGuard>(doc);
        guard = ownGuard.get();
    }
    const Volume vol = VolumeOf(doc);
    uint8_t* area = vol.area;
    UndoJournal journal(vol);

    HostFindData found;
    if (listed != nullptr) {
        found = *listed;
    } else if (const uint32_t findError = FindHostFile(hostPath, found); findError != kHostSuccess) {
        return Failure(HostFails(hostPath, findError));
    }
    // The open image (or its .der) is refused before anything is asked; only
    // a file of its size can be it, so other files cost no look at the host.
    if ((found.size == doc.imageSize || (doc.errorFile.IsOpen() && found.size == doc.ErrorListSize())) &&
        IsOpenImageFile(doc, hostPath)) {
        return Failure(Fails(FailureKind::kRefused, kMsgAddOpenImage, {std::string(hostPath)}));
    }
    if (found.attributes & kHostDevice) {
        return Failure(Fails(FailureKind::kBadName, kMsgAddNotAFile, {hostPath}));
    }
    const bool isFolder = (found.attributes & kHostDirectory) != 0;
    // No floppy holds 4 GiB; cutting the size to 32 bits would store a stump.
    if (found.size > UINT32_MAX) {
        return Failure(Fails(FailureKind::kDiskFull, kMsgDiskFull));
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
    std::optional<DirSlots> ownSlots;
    DirSlots& dirSlots = slots != nullptr ? slots->In(dir) : ownSlots.emplace(dir);
    const SlotResult existing = FindEntrySlot(vol, dirSlots, displayName, packed, true, options.forceSwitch,
                                              guard->FreeFrom(), guard->Keep());
    if (existing.found && IsFolderEntry(area + existing.slotOffset)) {
        if (isFolder) {
            return Done();
        }
        return Failure(Fails(FailureKind::kExists, kMsgFileOverFolder, {displayName}));
    }
    // A file whose clusters another entry shares is not replaced: before the question.
    if (existing.found) {
        if (std::optional<Notice> shared = guard->CheckRelease(existing.slotOffset)) {
            return Failure(FailureKind::kDamaged, std::move(*shared));
        }
    }

    // A new name with room: the walk above found its slot already.
    const bool slotKnown = !existing.found && existing.hasSlot;
    SlotResult slot = slotKnown ? existing
                                : FindEntrySlot(vol, dirSlots, displayName, packed, false, options.forceSwitch,
                                                guard->FreeFrom(), guard->Keep(), replace);
    if (!slot.hasSlot) {
        return slot.failure ? Failure(slot.failureKind, std::move(*slot.failure), slot.goOn) : Declined(slot.goOn);
    }
    if (!journal.Save(slot.slotOffset, kDirEntrySize) ||
        (slot.newSlot.growCluster != 0 && !journal.SaveRanges(slot.newSlot.Writes(vol.layout)))) {
        return Failure(Fails(FailureKind::kOutOfMemory, kMsgOutOfMemory));
    }
    // A folder that grows takes its new cluster before any file cluster is sought.
    PrepareSlot(vol, slot.newSlot);
    uint8_t* entry = area + slot.slotOffset;
    // A replaced file keeps its place in a listing; a replaced label was never listed.
    const bool replacesListed = slot.found && IsListedEntry(entry);
    std::vector<uint32_t> oldChain;
    // The search for free clusters goes on where the last file's ended; a
    // replaced file's clusters come free below it, so it starts over then.
    uint32_t freeFrom = guard->FreeFrom();
    if (slot.found) {
        oldChain = guard->Chain(slot.slotOffset);
        if (!SaveReplacedBytes(vol, dir, slot.slotOffset, journal)) {
            return Failure(Fails(FailureKind::kOutOfMemory, kMsgOutOfMemory));
        }
        // The old long name belongs to the old file, not to the new one.
        DeleteLongNameIn(vol, dir, slot.slotOffset);
        FreeChain(vol, slot.slotOffset);
        freeFrom = kFirstDataCluster;
    }
    std::memcpy(entry + kDirName, packed.data(), kDirFullNameLength);

    std::optional<Fault> failure;
    if (isFolder) {
        failure = MakeFolderCluster(vol, slot.slotOffset, dir, HostStamp(found), journal, freeFrom,
                                    guard->Keep());
    } else {
        HostFile file;
        const uint32_t openError =
            OpenHostFile(hostPath, kAccessRead, kShareRead, Disposition::kOpenExisting, 0, file);
        if (openError != kHostSuccess) {
            // The document holds its image file (a container, say) against other openers.
            if (IsOpenImageFile(doc, hostPath)) {
                return Failure(Fails(FailureKind::kRefused, kMsgAddOpenImage, {std::string(hostPath)}));
            }
            failure = HostFails(hostPath, openError);
        } else {
            failure = CopyFileToClusters(vol, file, hostPath, slot.slotOffset, size, journal,
                                         freeFrom, guard->Keep());
        }
    }
    if (failure) {
        return Failure(std::move(*failure));
    }
    StampEntry(entry, found, size);

    journal.Commit();
    guard->SetFreeFrom(freeFrom);
    guard->Released(oldChain, {slot.slotOffset});
    guard->Claimed(slot.slotOffset);
    // A replaced file's long name left deleted slots the walk has not seen.
    if (slot.found) {
        dirSlots.Forget();
    } else {
        dirSlots.Filled(vol, slot.newSlot, packed);
    }
    doc.modified = true;
    EntryChanges changes;
    (replacesListed ? changes.changed : changes.added).push_back(slot.slotOffset);
    return Done(std::move(changes));
}

Result AddFiles(ImageDocument& doc, const std::vector<std::string>& paths,
                const std::function<void(const Result&)>& tell, const FileSystemOptions& options, DirRef dir) {
    Result all = Declined(true);
    ClusterGuard guard(doc);
    CommandSlots slots;
    ShortNameClaims claims;
    std::vector<HostFindData> listed;
    const std::vector<std::string> names = claims.Plan(doc, dir, paths, &listed);
    ItemQuestion replace(paths.size() > 1);
    size_t added = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::string& path = paths[i];
        // A path the plan did not find is looked up again, to say why.
        Result one = AddHostFile(doc, path, options, dir, names[i], &guard, &slots,
                                 names[i].empty() ? nullptr : &listed[i], &replace);
        if (replace.Stopped()) {
            // What was added stays; the user is told how far the add got.
            Result cancelled = Declined(false);
            cancelled.notices.push_back(TextNotice(kMsgAddCancelled, Tone::kInformation,
                                                   {std::to_string(added), std::to_string(paths.size())}));
            tell(cancelled);
            all.goOn = false;
            break;
        }
        added += one.Done() ? 1 : 0;
        if (one.Done() && claims.Tailed(dir, names[i])) {
            one.notices.push_back(AddedUnderTailNotice(path, names[i]));
        }
        tell(one);
        all.changes.Append(one.changes);
        if (one.Done()) {
            all.status = Result::Status::kDone;
            all.kind = FailureKind::kNone;
        } else if (all.status != Result::Status::kDone) {
            all.status = one.status;
            all.kind = one.kind;
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
