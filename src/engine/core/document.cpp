#include "engine/core/document.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "engine/core/boot_sector.h"
#include "engine/core/dmk.h"
#include "engine/core/media_errors.h"
#include "engine/core/save_journal.h"
#include "engine/ports/host_failure.h"
#include "engine/ports/window_sync.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"

namespace vk {
namespace {

// The comment header some images carry in front of the boot sector.
constexpr uint8_t kCommentMagic = 0xAA;
constexpr uint32_t kCommentKind = 1;         // 'Y' or 'Z'
constexpr uint32_t kCommentCompression = 6;  // 16 bits; 0 = not compressed
constexpr uint32_t kCommentText = 40;        // zero-terminated

constexpr uint64_t kMaxImageSize = 0xFFFFFFFFull;

Result HostError(const std::string& path, uint32_t error) { return Failure(HostFault(path, error)); }

// Copies FAT copy 1 over every other copy, as far as the image holds them:
// a third FAT left stale would disagree with the first after any change.
void CopyFatToBackups(ImageDocument& doc) {
    const Layout layout = doc.GetLayout();
    const uint64_t length = doc.AreaLength();
    for (uint32_t copy = 1; copy < layout.fatCount; ++copy) {
        const uint64_t backup = layout.FatCopyStart(copy);
        if (backup >= length) {
            return;
        }
        const uint64_t count = std::min(layout.fatBytes, length - backup);
        std::memmove(doc.Area() + backup, doc.Area() + layout.fatStart, static_cast<size_t>(count));
    }
}

// Unpacks the image the container file holds as the document's buffer.
Result UnpackImageFile(const std::string& path, HostFile& file, uint32_t fileSize, const std::string& member,
                       ByteBlock& buffer, uint32_t& size, ContainerInfo& container) {
    ByteBlock packed;
    uint32_t error = LoadHostFile(file, fileSize, packed);
    if (ClassifyHostCode(error) == HostFailure::kOutOfMemory) {
        return Failure(FailureKind::kOutOfMemory, TextNotice(kMsgContainerNoMemory, Tone::kError, {path}));
    }
    if (error != 0) {
        return HostError(path, error);
    }
    const ContainerFault fault = UnpackContainer(packed.data(), fileSize, member, kMaxImageSize, container, buffer);
    switch (fault) {
    case ContainerFault::kNone:
        break;
    case ContainerFault::kChooseMember:
        return Failure(FailureKind::kNoMemberChosen, ContainerFaultNotice(fault, path, container));
    case ContainerFault::kNoImage:
        return Failure(container.members.empty() ? FailureKind::kNotAnImage : FailureKind::kNoMemberChosen,
                       ContainerFaultNotice(fault, path, container));
    case ContainerFault::kOutOfMemory:
        return Failure(FailureKind::kOutOfMemory, ContainerFaultNotice(fault, path, container));
    case ContainerFault::kTooLarge:
    case ContainerFault::kUnsupported:
        return Failure(FailureKind::kNotAnImage, ContainerFaultNotice(fault, path, container));
    case ContainerFault::kTruncated:
    case ContainerFault::kCorrupt:
        return Failure(FailureKind::kDamaged, ContainerFaultNotice(fault, path, container));
    }
    if (buffer.size() < kSectorSize) {
        return Failure(FailureKind::kNotAnImage, TextNotice(kMsgFileTooSmall, Tone::kError));
    }
    size = static_cast<uint32_t>(buffer.size());
    return Done();
}

// Takes the open file's bytes, or those of the image its container holds,
// as the document's buffer.
Result LoadImageFile(const std::string& path, HostFile& file, const std::string& member, ByteBlock& buffer,
                     uint32_t& size, ContainerInfo& container) {
    container = ContainerInfo();
    uint64_t fileSize = 0;
    uint32_t error = HostFileSize(file, fileSize);
    if (error != 0) {
        return HostError(path, error);
    }
    if (fileSize >= kMaxImageSize + 1) {
        return Failure(FailureKind::kNotAnImage, TextNotice(kMsgFileTooLarge, Tone::kError));
    }
    uint8_t signature[4] = {};
    uint32_t got = 0;
    error = ReadHostFileAt(file, 0, signature, sizeof signature, got);
    if (error != 0) {
        return HostError(path, error);
    }
    if (DetectContainer(signature, got) != ContainerKind::kNone) {
        return UnpackImageFile(path, file, static_cast<uint32_t>(fileSize), member, buffer, size, container);
    }
    if (fileSize < kSectorSize) {
        return Failure(FailureKind::kNotAnImage, TextNotice(kMsgFileTooSmall, Tone::kError));
    }
    size = static_cast<uint32_t>(fileSize);
    error = LoadHostFile(file, size, buffer);
    if (ClassifyHostCode(error) == HostFailure::kOutOfMemory) {
        return Failure(FailureKind::kOutOfMemory, TextNotice(kMsgNoMemoryForImage, Tone::kError, {std::to_string(size)}));
    }
    if (error != 0) {
        return HostError(path, error);
    }
    return Done();
}

// Settles a journal a broken-off save left beside the image; the notice,
// if any, says what was done.
Result SettleJournal(const std::string& path, const std::string& journal, const HostFile& file, bool readOnly,
                     std::vector<JournalRecovery::Piece>& restore, std::vector<Notice>& notices) {
    JournalRecovery recovery = RecoverImage(file, journal, !readOnly);
    switch (recovery.found) {
    case JournalRecovery::Found::kNothing:
        break;
    case JournalRecovery::Found::kRolledBack:
        notices.push_back(TextNotice(kMsgSaveRolledBack, Tone::kWarning));
        break;
    case JournalRecovery::Found::kReadOnly:
        notices.push_back(TextNotice(kMsgSaveBrokenOffReadOnly, Tone::kWarning));
        restore = std::move(recovery.restore);
        break;
    case JournalRecovery::Found::kFailed:
        return Failure(HostFault(recovery.path.empty() ? path : recovery.path, recovery.hostCode,
                                 LoadText(kMsgRollBackFailed)));
    }
    return Done();
}

// Where partition `number` of `table` lies in an image of `size` bytes whose
// sector 0 is at `base`: its first byte and its end, cut at the image's end.
Result PartitionArea(const PartitionTable& table, uint32_t number, uint32_t base, uint32_t size, uint32_t& start,
                     uint32_t& end) {
    if (number == 0) {
        return Failure(FailureKind::kNoPartitionChosen,
                       TextNotice(kMsgChoosePartition, Tone::kError, {PartitionListText(table)}));
    }
    const PartitionEntry* partition = table.Find(number);
    if (partition == nullptr) {
        return Failure(FailureKind::kNoPartitionChosen, TextNotice(kMsgNoSuchPartition, Tone::kError,
                                                                   {std::to_string(number), PartitionListText(table)}));
    }
    const uint64_t first = base + partition->startSector * kSectorSize;
    const uint64_t last = std::min<uint64_t>(size, first + partition->sectorCount * kSectorSize);
    if (first >= size || last - first < kSectorSize) {
        return Failure(FailureKind::kDamaged, TextNotice(kMsgPartitionOutside, Tone::kError, {std::to_string(number)}));
    }
    start = static_cast<uint32_t>(first);
    end = static_cast<uint32_t>(last);
    return Done();
}

// Replaces a DMK track image's bytes by the plain image its sectors make;
// `bad` takes the sectors a disk read would fail on.
Result DecodeTrackImage(ByteBlock& buffer, uint32_t& size, std::vector<DmkBadSector>& bad,
                        std::vector<Notice>& notices) {
    DmkResult dmk = DecodeDmk(buffer.data(), size);
    switch (dmk.status) {
    case DmkStatus::kOk:
        break;
    case DmkStatus::kNoMemory:
        return Failure(FailureKind::kOutOfMemory, TextNotice(kMsgNoMemoryForTrackImage, Tone::kError));
    case DmkStatus::kNotDmk:
    case DmkStatus::kNoSectors:
        return Failure(FailureKind::kNotAnImage, TextNotice(kMsgTrackImageNoSectors, Tone::kError));
    }
    if (dmk.truncated) {
        notices.push_back(TextNotice(kMsgTrackImageTruncated, Tone::kWarning, {std::to_string(dmk.cylinders)}));
    }
    buffer = std::move(dmk.image);
    size = static_cast<uint32_t>(buffer.size());
    bad = std::move(dmk.badSectors);
    return Done();
}

// Packs the image into its container again and puts the container in the
// old one's place whole, so that a failure or a break leaves the old one.
Result SaveIntoContainer(ImageDocument& doc) {
    uint64_t fileSize = 0;
    uint32_t error = HostFileSize(doc.imageFile, fileSize);
    ByteBlock old;
    if (error == 0 && fileSize > kMaxImageSize) error = HostCodeFor(HostFailure::kOutOfMemory);
    if (error == 0) error = LoadHostFile(doc.imageFile, static_cast<uint32_t>(fileSize), old);
    if (error != 0) {
        return HostError(doc.fileName, error);
    }
    DosDateTime stamp;
    if (!HostTimeToLocalDos(static_cast<HostTime>(std::time(nullptr)) * 10000000, stamp)) {
        stamp = DosDateTime{0x21, 0};  // 1980-01-01
    }
    std::vector<uint8_t> packed;
    const ContainerFault fault = RepackContainer(old.data(), static_cast<size_t>(fileSize), doc.container,
                                                 doc.imageBuffer.data(), doc.imageSize, stamp, packed);
    old.Reset();
    if (fault == ContainerFault::kOutOfMemory) {
        return Failure(FailureKind::kOutOfMemory, ContainerFaultNotice(fault, doc.fileName, doc.container));
    }
    if (fault != ContainerFault::kNone) {
        return Failure(FailureKind::kDamaged, ContainerFaultNotice(fault, doc.fileName, doc.container));
    }
    error = ReplaceHostFile(doc.fileName, packed.data(), static_cast<uint32_t>(packed.size()), doc.imageFile);
    if (error != 0) {
        return HostError(doc.fileName, error);
    }
    return Done();
}

// The notices said before a failure still come first.
Result After(std::vector<Notice> notices, Result result) {
    notices.insert(notices.end(), result.notices.begin(), result.notices.end());
    result.notices = std::move(notices);
    return result;
}

}  // namespace

CommentHeader CheckCommentHeader(const uint8_t* bytes, uint32_t count) {
    CommentHeader header;
    if (count < 2 || bytes[0] != kCommentMagic || (bytes[kCommentKind] != 'Y' && bytes[kCommentKind] != 'Z')) {
        return header;
    }
    if (count < kCommentCompression + 2 || Load16(bytes + kCommentCompression) != 0) {
        header.refusal = TextNotice(kMsgImageCompressed, Tone::kError);
        return header;
    }
    const uint8_t* text = count > kCommentText ? bytes + kCommentText : nullptr;
    const uint8_t* end = text ? static_cast<const uint8_t*>(std::memchr(text, 0, count - kCommentText)) : nullptr;
    if (end == nullptr) {
        header.refusal = TextNotice(kMsgFileTooSmall, Tone::kError);
        return header;
    }
    const uint32_t length = static_cast<uint32_t>(end - bytes) + 1;
    if (count - length < kSectorSize) {
        header.refusal = TextNotice(kMsgFileTooSmall, Tone::kError);
        return header;
    }
    header.length = length;
    header.comment.assign(reinterpret_cast<const char*>(text), static_cast<size_t>(end - text));
    return header;
}

std::string PartitionListText(const PartitionTable& table) {
    std::string list;
    for (const PartitionEntry& p : table.partitions) {
        std::string line;
        ExpandInserts(LoadText(kStrPartitionLine),
                      {std::to_string(p.number), PartitionTypeName(p.type), std::to_string(p.startSector),
                       std::to_string(p.sectorCount), std::to_string(p.sectorCount * kSectorSize / 1024)},
                      line);
        if (!list.empty()) list += '\n';
        list += line;
    }
    return list;
}

Result ReadImagePartitions(const std::string& path, PartitionTable& table, const std::string& member) {
    table = PartitionTable();
    HostFile file;
    uint32_t error = OpenHostFile(path, kAccessRead, kShareRead, Disposition::kOpenExisting, 0, file);
    uint64_t fileSize = 0;
    if (error == 0) error = HostFileSize(file, fileSize);
    if (error != 0) {
        return HostError(path, error);
    }
    uint8_t signature[4] = {};
    uint32_t got = 0;
    error = ReadHostFileAt(file, 0, signature, sizeof signature, got);
    if (error != 0) {
        return HostError(path, error);
    }
    if (DetectContainer(signature, got) != ContainerKind::kNone) {
        // A packed image's table is read from the image unpacked.
        ByteBlock buffer;
        uint32_t size = 0;
        ContainerInfo container;
        Result read = LoadImageFile(path, file, member, buffer, size, container);
        if (!read.Done()) return read;
        const CommentHeader header = CheckCommentHeader(buffer.data(), size);
        if (header.refusal) return Failure(FailureKind::kNotAnImage, *header.refusal);
        if (header.length == 0 && LooksLikeDmk(buffer.data(), size)) return Done();
        table = ReadPartitionTable(buffer.data() + header.length, size - header.length);
        return Done();
    }
    // The comment header's text ends within this much, or the image is refused anyway.
    constexpr uint64_t kHeadBytes = 0x10000;
    std::vector<uint8_t> head(static_cast<size_t>(std::min(fileSize, kHeadBytes)));
    uint32_t done = 0;
    error = ReadHostFileAt(file, 0, head.data(), static_cast<uint32_t>(head.size()), done);
    if (error != 0) {
        return HostError(path, error);
    }
    const CommentHeader header = CheckCommentHeader(head.data(), done);
    if (header.refusal) {
        return Failure(FailureKind::kNotAnImage, *header.refusal);
    }
    if (header.length == 0 && LooksLikeDmk(head.data(), done)) {
        return Done();  // a floppy's track image: its sectors hold no partition table
    }
    const uint64_t base = header.length;
    table = ReadPartitionTable(
        [&](uint64_t sector, uint8_t* out) {
            uint32_t got = 0;
            return ReadHostFileAt(file, base + sector * kSectorSize, out, kSectorSize, got) == 0 && got == kSectorSize;
        },
        (fileSize - base) / kSectorSize);
    return Done();
}

Result ReadImageMembers(const std::string& path, ContainerInfo& info, bool& mustChoose) {
    info = ContainerInfo();
    mustChoose = false;
    HostFile file;
    uint32_t error = OpenHostFile(path, kAccessRead, kShareRead, Disposition::kOpenExisting, 0, file);
    uint64_t fileSize = 0;
    if (error == 0) error = HostFileSize(file, fileSize);
    if (error != 0) {
        return HostError(path, error);
    }
    if (fileSize > kMaxImageSize) {
        return Failure(FailureKind::kNotAnImage, TextNotice(kMsgFileTooLarge, Tone::kError));
    }
    ByteBlock bytes;
    error = LoadHostFile(file, static_cast<uint32_t>(fileSize), bytes);
    if (error != 0) {
        return HostError(path, error);
    }
    const ContainerFault fault = ListContainerMembers(bytes.data(), static_cast<size_t>(fileSize), info);
    mustChoose = fault == ContainerFault::kChooseMember;
    return Done();
}

Result OpenImage(ImageDocument& doc, const std::string& path, const OpenOptions& options) {
    const bool readOnlyRequested = options.readOnly;
    if (path.empty()) {
        return Declined(false);
    }
    Result closed = CloseImage(doc);
    if (!closed.Done()) {
        return closed;
    }
    WaitCursor wait;

    std::vector<Notice> notices = std::move(closed.notices);
    // A journal beside the image is a save that was broken off. It is rolled
    // back whenever the image may be written, also by a reader, so that no
    // other program sees the image half saved.
    const std::string journal = JournalPathFor(path);
    uint32_t journalAttributes = 0;
    const bool journalThere = GetHostFileAttributes(journal, journalAttributes) == 0;
    std::vector<JournalRecovery::Piece> restore;
    if (journalThere && readOnlyRequested) {
        HostFile writer;
        if (OpenHostFile(path, kAccessRead | kAccessWrite, kShareRead, Disposition::kOpenExisting, 0, writer) == 0) {
            Result settled = SettleJournal(path, journal, writer, false, restore, notices);
            if (!settled.Done()) {
                return After(std::move(notices), std::move(settled));
            }
        }
    }
    bool readOnly = readOnlyRequested;
    HostFile file;
    const unsigned access = readOnly ? kAccessRead : kAccessRead | kAccessWrite;
    const uint32_t error = OpenHostFile(path, access, kShareRead, Disposition::kOpenExisting, 0, file);
    if (error != 0) {
        if (ClassifyHostCode(error) != HostFailure::kAccessDenied || readOnly ||
            OpenHostFile(path, kAccessRead, kShareRead, Disposition::kOpenExisting, 0, file) != 0) {
            return After(std::move(notices), HostError(path, error));
        }
        notices.push_back(TextNotice(kMsgOpenedReadOnly, Tone::kWarning));
        readOnly = true;
    }

    if (journalThere) {
        Result settled = SettleJournal(path, journal, file, readOnly, restore, notices);
        if (!settled.Done()) {
            return After(std::move(notices), std::move(settled));
        }
    }
    ByteBlock buffer;
    uint32_t size = 0;
    ContainerInfo container;
    Result read = LoadImageFile(path, file, options.member, buffer, size, container);
    if (!read.Done()) {
        return After(std::move(notices), std::move(read));
    }
    for (const JournalRecovery::Piece& piece : restore) {
        std::memcpy(buffer.data() + piece.offset, piece.bytes.data(), piece.bytes.size());
    }
    CommentHeader header = CheckCommentHeader(buffer.data(), size);
    if (header.refusal) {
        return After(std::move(notices), Failure(FailureKind::kNotAnImage, std::move(*header.refusal)));
    }
    if (header.length != 0) {
        notices.push_back(OwnTextNotice(header.comment, kStrCommentCaption, Tone::kInformation));
    }
    // A track image is read as the plain image of its sectors; its own
    // file is never written.
    const bool trackImage = header.length == 0 && LooksLikeDmk(buffer.data(), size);
    std::vector<DmkBadSector> trackFaults;
    if (trackImage) {
        Result decoded = DecodeTrackImage(buffer, size, trackFaults, notices);
        if (!decoded.Done()) {
            return After(std::move(notices), std::move(decoded));
        }
    }
    // A partitioned image is opened one partition at a time: the file system
    // area is that partition alone, so that nothing outside it is changed.
    PartitionTable table = ReadPartitionTable(buffer.data() + header.length, size - header.length);
    uint32_t areaStart = header.length;
    uint32_t areaEnd = 0;
    if (table.HasTable()) {
        Result area = PartitionArea(table, options.partition, header.length, size, areaStart, areaEnd);
        if (!area.Done()) {
            return After(std::move(notices), std::move(area));
        }
    }

    doc.imageFile = std::move(file);
    doc.imageBuffer = std::move(buffer);
    doc.imageSize = size;
    doc.dataOffset = areaStart;
    doc.areaEnd = areaEnd;
    doc.partition = table.HasTable() ? options.partition : 0;
    doc.partitions = std::move(table);
    doc.fileName = path;
    doc.modified = false;
    doc.readOnly = readOnly;
    // A track image's file, bare or in a container, is never written.
    doc.imageWritable = !readOnly && !trackImage;
    doc.savesInPlace = container.kind == ContainerKind::kNone && !trackImage;
    doc.container = std::move(container);

    const bool valid = ParseBootSector(doc, notices);
    doc.changeBlock = JudgeChangeSafety(doc, valid);
    const bool tableFault = doc.partitions.fault != PartitionFault::kNone;
    if (tableFault && doc.changeBlock == ChangeBlock::kNone) {
        doc.changeBlock = ChangeBlock::kPartitionTable;
    }
    if (trackImage && doc.changeBlock == ChangeBlock::kNone) {
        doc.changeBlock = ChangeBlock::kTrackImage;
    }
    if (std::optional<Notice> block = ChangeBlockNotice(doc)) {
        notices.push_back(std::move(*block));
    }
    if (tableFault && doc.changeBlock != ChangeBlock::kPartitionTable) {
        notices.push_back(*PartitionFaultNotice(doc.partitions));
    }
    if (std::optional<Notice> unknown = LoadErrorFile(doc)) {
        notices.push_back(std::move(*unknown));
    }
    // The track image's missing and failing sectors join what the .der file lists.
    for (const DmkBadSector& bad : trackFaults) {
        MarkBadSector(doc.errorList, bad.sector);
    }
    if (!trackFaults.empty()) {
        notices.push_back(TextNotice(kMsgTrackImageBadSectors, Tone::kWarning, {std::to_string(trackFaults.size())}));
    }
    Result opened = Done();
    opened.notices = std::move(notices);
    return opened;
}

bool BackupFatDiffers(const ImageDocument& doc) {
    if (doc.changeBlock != ChangeBlock::kNone || doc.geometryGuessed) return false;  // nothing could be repaired
    const Layout layout = doc.GetLayout();
    if (layout.fatCount <= 1) {
        return false;
    }
    // The whole FAT length: a large custom FAT must be compared to its end.
    const uint64_t backup = layout.FatCopyStart(1);
    if (doc.AreaLength() < backup + layout.fatBytes) {
        return false;
    }
    return std::memcmp(doc.Area() + layout.fatStart, doc.Area() + backup, static_cast<size_t>(layout.fatBytes)) != 0;
}

void CheckBackupFat(ImageDocument& doc) {
    if (!BackupFatDiffers(doc)) {
        return;
    }
    const Layout layout = doc.GetLayout();
    if (Ask(TextNotice(kMsgBackupFatMismatch, Tone::kQuestion), Choices::kYesNo) == Answer::kYes) {
        std::memcpy(doc.Area() + layout.FatCopyStart(1), doc.Area() + layout.fatStart,
                    static_cast<size_t>(layout.fatBytes));
        doc.modified = true;
    }
}

Result SaveImage(ImageDocument& doc) {
    if (std::optional<Notice> refusal = ChangeRefusal(doc)) return Failure(FailureKind::kRefused, std::move(*refusal));
    if (!doc.imageFile.IsOpen()) {
        Result chosen = SaveImageAs(doc);
        if (!chosen.Done()) {
            return chosen;
        }
    }
    WaitCursor wait;
    if (doc.modified && doc.geometry.fatCount > 1) {
        CopyFatToBackups(doc);
    }
    if (!doc.imageWritable) {
        return HostError(doc.fileName, HostCodeFor(HostFailure::kAccessDenied));
    }
    if (doc.container.kind != ContainerKind::kNone) {
        Result packed = SaveIntoContainer(doc);
        if (!packed.Done()) {
            return packed;
        }
    } else if (doc.savesInPlace) {
        const std::string journal = JournalPathFor(doc.fileName);
        const JournalSave save = SaveInPlace(doc.imageFile, journal, doc.imageBuffer.data(), doc.imageSize,
                                             ChangedHostRanges(doc.imageBuffer));
        if (save.stage == JournalSave::Stage::kNoJournal) {
            std::string line;
            ExpandInserts(LoadText(kMsgNoSaveJournal), {doc.fileName, HostFolderOf(journal)}, line);
            return Failure(HostFault(line, save.hostCode));
        }
        if (save.stage != JournalSave::Stage::kDone) {
            return HostError(doc.fileName, save.hostCode);
        }
        RemoveDeadCopies(doc.fileName);
    } else {
        // A new file beside the old one takes the image and then the old
        // one's place, so that a failure or a break leaves the old image whole.
        const uint32_t error = ReplaceHostFile(doc.fileName, doc.imageBuffer.data(), doc.imageSize, doc.imageFile);
        if (error != 0) {
            return HostError(doc.fileName, error);
        }
        doc.savesInPlace = true;
    }
    doc.modified = false;
    Result saved = Done();
    if (std::optional<Notice> errorFile = StoreErrorFile(doc)) {
        saved.notices.push_back(std::move(*errorFile));
    }
    return saved;
}

std::string SaveAsProposal(const ImageDocument& doc) {
    if (!doc.imageFile.IsOpen()) {
        return {};
    }
    // Save as writes a plain image: named as the container's image would
    // unpack (game.dsk.gz: game.dsk), and a track image's with .dsk.
    std::string path = UnpackedImagePath(doc.fileName, doc.container);
    if (doc.changeBlock == ChangeBlock::kTrackImage) {
        const size_t slash = path.find_last_of("\\/");
        const size_t dot = path.rfind('.');
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) {
            path.erase(dot);
        }
        path += ".dsk";
    }
    return path;
}

Result SaveImageAs(ImageDocument& doc) {
    if (std::optional<Notice> refusal = SaveAsRefusal(doc)) return Failure(FailureKind::kRefused, std::move(*refusal));
    std::string path = SaveAsProposal(doc);
    if (!AskSaveImagePath(path)) {
        return Declined(false);
    }
    return SaveImageAsPath(doc, path);
}

Result SaveImageAsPath(ImageDocument& doc, const std::string& path) {
    if (std::optional<Notice> refusal = SaveAsRefusal(doc)) return Failure(FailureKind::kRefused, std::move(*refusal));
    HostFile file;
    uint32_t error = 0;
    {
        WaitCursor wait;
        // Not emptied here: an existing file is replaced whole by the save.
        error = OpenHostFile(path, kAccessRead | kAccessWrite, kShareRead, Disposition::kOpenAlways, kHostNormal,
                             file);
    }
    if (error != 0) {
        return HostError(path, error);
    }
    // A journal beside that file is of a save of its old bytes, broken off:
    // left there, a later opening would roll it back over the new image.
    const std::string journal = JournalPathFor(path);
    uint32_t attributes = 0;
    if (GetHostFileAttributes(journal, attributes) == 0) {
        RecoverImage(file, journal, true);
        error = DeleteHostFile(journal);
        if (error != 0 && ClassifyHostCode(error) != HostFailure::kNotFound) {
            return HostError(journal, error);
        }
    }
    doc.imageFile = std::move(file);
    doc.imageWritable = true;
    doc.savesInPlace = false;  // the file is someone else's bytes, or none yet
    doc.container = ContainerInfo();  // written as a plain image
    doc.fileName = path;
    if (doc.changeBlock == ChangeBlock::kTrackImage) {
        doc.changeBlock = ChangeBlock::kNone;  // from now on a plain image
    }
    CloseErrorFile(doc);
    doc.errorFileReadOnly = false;
    doc.errorFileKept = false;
    return Done();
}

Result SaveImageToPath(ImageDocument& doc, const std::string& path) {
    uint32_t attributes = 0;
    const bool existed = GetHostFileAttributes(path, attributes) == 0;
    Result chosen = SaveImageAsPath(doc, path);
    if (!chosen.Done()) {
        return chosen;
    }
    Result saved = SaveImage(doc);
    if (!saved.Done() && !existed) {
        doc.imageFile.Close();
        DeleteHostFile(path);
    }
    return saved;
}

Result CloseImage(ImageDocument& doc) {
    if (!doc.IsOpen()) {
        return Done();
    }
    Result closed = Done();
    if (doc.modified) {
        switch (Ask(TextNotice(kMsgImageModified, Tone::kQuestion), Choices::kYesNoCancel)) {
        case Answer::kYes:
            closed = SaveImage(doc);
            if (!closed.Done()) {
                return closed;
            }
            break;
        case Answer::kNo:
            break;
        default:
            return Declined(false);
        }
    }
    doc.imageFile.Close();
    doc.imageBuffer.Reset();
    doc.errorFile.Close();
    doc.errorList.Reset();
    doc.imageSize = 0;
    doc.dataOffset = 0;
    doc.areaEnd = 0;
    doc.partitions = PartitionTable();
    doc.partition = 0;
    doc.container = ContainerInfo();
    doc.fileName.clear();
    doc.modified = false;
    doc.readOnly = false;
    doc.imageWritable = false;
    doc.savesInPlace = false;
    doc.errorFileReadOnly = false;
    doc.errorFileKept = false;
    doc.changeBlock = ChangeBlock::kNone;
    doc.geometryGuessed = false;
    return closed;
}

void ImageDocument::Discard() {
    modified = false;
    CloseImage(*this);
}

}  // namespace vk
