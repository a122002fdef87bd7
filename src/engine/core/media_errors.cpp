#include "core/media_errors.h"

#include <algorithm>
#include <cstring>

#include "core/document.h"
#include "strings/string_ids.h"

namespace vk {

bool CreateErrorList(uint32_t sectors, ByteBlock& list) {
    const size_t size = kErrorListHeaderSize + (size_t{sectors} + 7) / 8;
    if (!list.Allocate(size)) {
        return false;
    }
    std::memset(list.data(), 0, size);
    std::memcpy(list.data(), kErrorListHeader, kErrorListHeaderSize);
    return true;
}

void MarkBadSector(ByteBlock& list, uint32_t sector) {
    const size_t byte = kErrorListHeaderSize + sector / 8;
    if (list.empty() || byte >= list.size()) {
        return;
    }
    list.data()[byte] |= static_cast<uint8_t>(0x80 >> (sector % 8));
}

bool IsSectorMarked(const ByteBlock& list, uint32_t sector) {
    const size_t byte = kErrorListHeaderSize + sector / 8;
    return !list.empty() && byte < list.size() && (list.data()[byte] & (0x80 >> (sector % 8))) != 0;
}

bool HasMediaErrors(const ImageDocument& doc) {
    const ByteBlock& list = doc.errorList;
    if (list.empty() || list.size() <= kErrorListHeaderSize) {
        return false;
    }
    return std::any_of(list.data() + kErrorListHeaderSize, list.data() + list.size(),
                       [](uint8_t b) { return b != 0; });
}

std::string ErrorFileName(const std::string& imagePath) {
    const std::string::size_type mark = imagePath.find_last_of(".:\\/");
    if (mark != std::string::npos && imagePath[mark] == '.') {
        return imagePath.substr(0, mark + 1) + "der";
    }
    return imagePath + ".der";
}

void LoadErrorFile(ImageDocument& doc, WindowRef owner) {
    if (!CreateErrorList(doc.geometry.totalSectors, doc.errorList)) {
        return;
    }
    const unsigned access = doc.readOnly ? kAccessRead : kAccessRead | kAccessWrite;
    HostFile file;
    if (OpenHostFile(ErrorFileName(doc.fileName), access, kShareRead, Disposition::kOpenExisting, 0, file) != 0) {
        return;  // as a rule there is none: nothing to say
    }
    uint8_t header[kErrorListHeaderSize];
    uint32_t got = 0;
    if (ReadHostFile(file, header, kErrorListHeaderSize, got) != 0 || got != kErrorListHeaderSize ||
        std::memcmp(header, kErrorListHeader, kErrorListHeaderSize) != 0) {
        file.Close();
        ShowMessage(owner, kMsgErrorFileUnknown, kIconWarning);
        return;
    }
    const uint32_t bitmapSize = static_cast<uint32_t>(doc.errorList.size() - kErrorListHeaderSize);
    ReadHostFile(file, doc.errorList.data() + kErrorListHeaderSize, bitmapSize, got);
    doc.errorFile = std::move(file);
}

bool StoreErrorFile(ImageDocument& doc) {
    const std::string path = ErrorFileName(doc.fileName);
    if (HasMediaErrors(doc)) {
        uint32_t error = 0;
        if (!doc.errorFile.IsOpen()) {
            error = OpenHostFile(path, kAccessRead | kAccessWrite, kShareRead, Disposition::kCreateAlways, 0,
                                 doc.errorFile);
        } else {
            error = SeekHostFile(doc.errorFile, 0);
        }
        if (error == 0) {
            const uint32_t size = static_cast<uint32_t>(doc.errorList.size());
            uint32_t put = 0;
            error = WriteHostFile(doc.errorFile, doc.errorList.data(), size, put);
            if (error == 0 && put != size) {
                error = win_error::kDiskFull;
            }
        }
        if (error != 0) {
            ShowSystemError(MainWindow(), path, error, {}, kIconError);
            return false;
        }
        return true;
    }
    CloseErrorFile(doc);
    const uint32_t error = DeleteHostFile(path);
    if (error != 0 && error != win_error::kFileNotFound) {
        ShowSystemError(MainWindow(), path, error, {}, kIconError);
        return false;
    }
    return true;
}

void CloseErrorFile(ImageDocument& doc) { doc.errorFile.Close(); }

}  // namespace vk
