#include "engine/core/document.h"

#include <algorithm>
#include <cstring>

#include "engine/core/boot_sector.h"
#include "engine/core/media_errors.h"
#include "engine/fat/list_texts.h"
#include "engine/ports/window_sync.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

// The comment header some images carry in front of the boot sector.
constexpr uint8_t kCommentMagic = 0xAA;
constexpr uint32_t kCommentKind = 1;         // 'Y' or 'Z'
constexpr uint32_t kCommentCompression = 6;  // 16 bits; 0 = not compressed
constexpr uint32_t kCommentText = 40;        // zero-terminated

constexpr uint64_t kMaxImageSize = 0xFFFFFFFFull;

bool Fail(WindowRef owner, const std::string& path, uint32_t error) {
    ShowSystemError(owner, path, error, {}, kIconError);
    return false;
}

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

// Reads the open file whole into a new buffer.
bool ReadWholeFile(WindowRef owner, const std::string& path, HostFile& file, ByteBlock& buffer, uint32_t& size) {
    uint64_t fileSize = 0;
    uint32_t error = HostFileSize(file, fileSize);
    if (error != 0) {
        return Fail(owner, path, error);
    }
    if (fileSize >= kMaxImageSize + 1) {
        ShowMessage(owner, kMsgFileTooLarge, kIconError);
        return false;
    }
    if (fileSize < kSectorSize) {
        ShowMessage(owner, kMsgFileTooSmall, kIconError);
        return false;
    }
    size = static_cast<uint32_t>(fileSize);
    if (!buffer.Allocate(size)) {
        ShowMessage(owner, kMsgNoMemoryForImage, kIconError, {std::to_string(size)});
        return false;
    }
    uint32_t got = 0;
    error = ReadHostFile(file, buffer.data(), size, got);
    if (error != 0 || got != size) {
        return Fail(owner, path, error != 0 ? error : win_error::kHandleEof);
    }
    return true;
}

}  // namespace

long CheckCommentHeader(WindowRef owner, const uint8_t* bytes, uint32_t count) {
    if (count < 2 || bytes[0] != kCommentMagic || (bytes[kCommentKind] != 'Y' && bytes[kCommentKind] != 'Z')) {
        return 0;
    }
    if (count < kCommentCompression + 2 || Load16(bytes + kCommentCompression) != 0) {
        ShowMessage(owner, kMsgImageCompressed, kIconError);
        return -1;
    }
    const uint8_t* text = count > kCommentText ? bytes + kCommentText : nullptr;
    const uint8_t* end = text ? static_cast<const uint8_t*>(std::memchr(text, 0, count - kCommentText)) : nullptr;
    if (end == nullptr) {
        ShowMessage(owner, kMsgFileTooSmall, kIconError);
        return -1;
    }
    const uint32_t length = static_cast<uint32_t>(end - bytes) + 1;
    if (count - length < kSectorSize) {
        ShowMessage(owner, kMsgFileTooSmall, kIconError);
        return -1;
    }
    ShowTextBox(owner, std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(end - text)),
                kStrCommentCaption, kIconInformation);
    return static_cast<long>(length);
}

bool OpenImage(ImageDocument& doc, WindowRef owner, const std::string& path, bool readOnlyRequested) {
    if (path.empty()) {
        return false;
    }
    if (CloseImage(doc, false) == CloseResult::kKept) {
        return false;
    }
    WaitCursor wait;

    bool readOnly = readOnlyRequested;
    HostFile file;
    const unsigned access = readOnly ? kAccessRead : kAccessRead | kAccessWrite;
    const uint32_t error = OpenHostFile(path, access, kShareRead, Disposition::kOpenExisting, 0, file);
    if (error != 0) {
        if (error != win_error::kAccessDenied || readOnly ||
            OpenHostFile(path, kAccessRead, kShareRead, Disposition::kOpenExisting, 0, file) != 0) {
            return Fail(owner, path, error);
        }
        ShowMessage(owner, kMsgOpenedReadOnly, kIconWarning);
        readOnly = true;
    }

    ByteBlock buffer;
    uint32_t size = 0;
    if (!ReadWholeFile(owner, path, file, buffer, size)) {
        return false;
    }
    const long header = CheckCommentHeader(owner, buffer.data(), size);
    if (header < 0) {
        return false;
    }

    doc.imageFile = std::move(file);
    doc.imageBuffer = std::move(buffer);
    doc.imageSize = size;
    doc.dataOffset = static_cast<uint32_t>(header);
    doc.fileName = path;
    doc.modified = false;
    doc.readOnly = readOnly;
    doc.imageWritable = !readOnly;

    const bool valid = ParseBootSector(doc, owner, true);
    doc.changeBlock = JudgeChangeSafety(doc, valid);
    ReportChangeBlock(doc, owner);
    LoadErrorFile(doc, owner);
    EnableExplorerList(true);
    FillList(doc);
    if (valid) {
        CheckBackupFat(doc, owner);
    }
    return true;
}

void CheckBackupFat(ImageDocument& doc, WindowRef owner) {
    if (doc.changeBlock != ChangeBlock::kNone) return;  // nothing could be repaired
    const Layout layout = doc.GetLayout();
    if (layout.fatCount <= 1) {
        return;
    }
    // The whole FAT length: a large custom FAT must be compared to its end.
    const uint64_t backup = layout.FatCopyStart(1);
    if (doc.AreaLength() < backup + layout.fatBytes) {
        return;
    }
    const size_t length = static_cast<size_t>(layout.fatBytes);
    if (std::memcmp(doc.Area() + layout.fatStart, doc.Area() + backup, length) == 0) {
        return;
    }
    if (ShowMessage(owner, kMsgBackupFatMismatch, kBoxYesNo | kIconQuestion) == kIdYes) {
        std::memcpy(doc.Area() + backup, doc.Area() + layout.fatStart, length);
        doc.modified = true;
    }
}

bool SaveImage(ImageDocument& doc) {
    if (RefuseChange(doc, MainWindow())) return false;
    if (!doc.imageFile.IsOpen()) {
        SaveImageAs(doc, MainWindow());
        if (!doc.imageFile.IsOpen()) {
            return false;
        }
    }
    WaitCursor wait;
    if (doc.modified && doc.geometry.fatCount > 1) {
        CopyFatToBackups(doc);
    }
    if (!doc.imageWritable) {
        return Fail(MainWindow(), doc.fileName, win_error::kAccessDenied);
    }
    // A new file beside the old one takes the image and then the old one's
    // place, so that a failure or a break leaves the old image whole.
    const uint32_t error = ReplaceHostFile(doc.fileName, doc.imageBuffer.data(), doc.imageSize, doc.imageFile);
    if (error != 0) {
        return Fail(MainWindow(), doc.fileName, error);
    }
    doc.modified = false;
    StoreErrorFile(doc);
    return true;
}

bool SaveImageAs(ImageDocument& doc, WindowRef owner) {
    if (RefuseChange(doc, owner)) return false;
    std::string path;
    if (!AskSaveImagePath(owner, path)) {
        return false;
    }
    return SaveImageAsPath(doc, owner, path);
}

bool SaveImageAsPath(ImageDocument& doc, WindowRef owner, const std::string& path) {
    if (RefuseChange(doc, owner)) return false;
    HostFile file;
    uint32_t error = 0;
    {
        WaitCursor wait;
        // Not emptied here: an existing file is replaced whole by the save.
        error = OpenHostFile(path, kAccessRead | kAccessWrite, kShareRead, Disposition::kOpenAlways, kHostNormal,
                             file);
    }
    if (error != 0) {
        return Fail(owner, path, error);
    }
    doc.imageFile = std::move(file);
    doc.imageWritable = true;
    doc.fileName = path;
    CloseErrorFile(doc);
    doc.errorFileReadOnly = false;
    doc.errorFileKept = false;
    UpdateTitle(doc);
    EnableExplorerList(true);
    return true;
}

bool SaveImageToPath(ImageDocument& doc, WindowRef owner, const std::string& path) {
    uint32_t attributes = 0;
    const bool existed = GetHostFileAttributes(path, attributes) == 0;
    if (!SaveImageAsPath(doc, owner, path)) {
        return false;
    }
    if (SaveImage(doc)) {
        return true;
    }
    if (!existed) {
        doc.imageFile.Close();
        DeleteHostFile(path);
    }
    return false;
}

CloseResult CloseImage(ImageDocument& doc, bool refreshTitle) {
    if (!doc.IsOpen()) {
        return CloseResult::kClosed;
    }
    if (doc.modified) {
        switch (ShowMessage(MainWindow(), kMsgImageModified, kBoxYesNoCancel | kIconQuestion)) {
        case kIdYes:
            if (!SaveImage(doc)) {
                return CloseResult::kKept;
            }
            break;
        case kIdNo:
            break;
        default:
            return CloseResult::kKept;
        }
    }
    doc.imageFile.Close();
    doc.imageBuffer.Reset();
    doc.errorFile.Close();
    doc.errorList.Reset();
    doc.imageSize = 0;
    doc.dataOffset = 0;
    doc.fileName.clear();
    doc.modified = false;
    doc.readOnly = false;
    doc.imageWritable = false;
    doc.errorFileReadOnly = false;
    doc.errorFileKept = false;
    doc.changeBlock = ChangeBlock::kNone;
    if (refreshTitle) {
        UpdateTitle(doc);
    }
    RemoveAllListItems();
    UpdateStatusText();
    EnableExplorerList(false);
    return CloseResult::kClosed;
}

}  // namespace vk
