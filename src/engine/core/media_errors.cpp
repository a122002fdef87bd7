#include "engine/core/media_errors.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "engine/core/document.h"
#include "engine/ports/host_failure.h"
#include "engine/strings/string_ids.h"

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

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool Missing(uint32_t error) { return ClassifyHostCode(error) == HostFailure::kNotFound; }

// A .der file that is there but may not be changed is left as it is, and
// the user hears of it instead of losing it unawares.
Notice KeepFile(const std::string& path) { return TextNotice(kMsgErrorFileKept, Tone::kWarning, {path}); }

Notice StoreFailed(const std::string& path, uint32_t error) {
    if (ClassifyHostCode(error) == HostFailure::kAccessDenied) {
        return KeepFile(path);
    }
    return HostErrorNotice(path, error);
}

// Whether the read-only file already holds the list: the header, then the
// bitmap, of which a shorter file leaves the rest clear.
bool FileHoldsTheList(const ImageDocument& doc) {
    const ByteBlock& list = doc.errorList;
    ByteBlock onFile;
    if (!doc.errorFile.IsOpen() || !onFile.Allocate(list.size()) || SeekHostFile(doc.errorFile, 0) != 0) {
        return false;
    }
    std::memset(onFile.data(), 0, list.size());
    uint32_t got = 0;
    if (ReadHostFile(doc.errorFile, onFile.data(), static_cast<uint32_t>(list.size()), got) != 0 ||
        got < kErrorListHeaderSize) {
        return false;
    }
    return std::memcmp(onFile.data(), list.data(), list.size()) == 0;
}

}  // namespace

std::string ErrorFileName(const std::string& imagePath) {
    const std::string::size_type mark = imagePath.find_last_of(".:\\/");
    std::string name = imagePath + ".der";
    if (mark != std::string::npos && imagePath[mark] == '.') {
        name = imagePath.substr(0, mark + 1) + "der";
    }
    // An image whose own name ends in .der must never be taken for its list.
    if (SameName(name, imagePath)) {
        name = imagePath + ".der";
    }
    return name;
}

std::optional<Notice> LoadErrorFile(ImageDocument& doc) {
    doc.errorFileReadOnly = false;
    doc.errorFileKept = false;
    const std::string path = ErrorFileName(UnpackedImagePath(doc.fileName, doc.container));
    if (!CreateErrorList(doc.geometry.totalSectors, doc.errorList)) {
        doc.errorFileKept = true;  // what it holds cannot be known: it stays as it is
        return std::nullopt;
    }
    const unsigned access = doc.readOnly ? kAccessRead : kAccessRead | kAccessWrite;
    HostFile file;
    uint32_t error = OpenHostFile(path, access, kShareRead, Disposition::kOpenExisting, 0, file);
    if (ClassifyHostCode(error) == HostFailure::kAccessDenied && !doc.readOnly) {
        // Its bad sectors count even when the file may not be changed.
        error = OpenHostFile(path, kAccessRead, kShareRead, Disposition::kOpenExisting, 0, file);
        doc.errorFileReadOnly = error == 0;
    }
    if (error != 0) {
        // As a rule there is none: nothing to say. One that is there but
        // cannot be read is never replaced or deleted.
        doc.errorFileKept = !Missing(error);
        return std::nullopt;
    }
    uint8_t header[kErrorListHeaderSize];
    uint32_t got = 0;
    if (ReadHostFile(file, header, kErrorListHeaderSize, got) != 0) {
        doc.errorFileKept = true;
        doc.errorFileReadOnly = false;
        return std::nullopt;
    }
    if (got != kErrorListHeaderSize || std::memcmp(header, kErrorListHeader, kErrorListHeaderSize) != 0) {
        file.Close();
        return TextNotice(kMsgErrorFileUnknown, Tone::kWarning);
    }
    const uint32_t bitmapSize = static_cast<uint32_t>(doc.errorList.size() - kErrorListHeaderSize);
    if (ReadHostFile(file, doc.errorList.data() + kErrorListHeaderSize, bitmapSize, got) != 0) {
        std::memset(doc.errorList.data() + kErrorListHeaderSize, 0, bitmapSize);
        doc.errorFileKept = true;
        doc.errorFileReadOnly = false;
        return std::nullopt;
    }
    doc.errorFile = std::move(file);
    return std::nullopt;
}

std::optional<Notice> StoreErrorFile(ImageDocument& doc) {
    const std::string path = ErrorFileName(UnpackedImagePath(doc.fileName, doc.container));
    if (doc.errorFileKept) {
        return KeepFile(path);
    }
    if (doc.errorFileReadOnly) {
        if (FileHoldsTheList(doc)) {
            return std::nullopt;
        }
        return KeepFile(path);
    }
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
                error = HostCodeFor(HostFailure::kDiskFull);
            }
        }
        if (error == 0) {
            error = FlushHostFile(doc.errorFile);
        }
        if (error != 0) {
            return StoreFailed(path, error);
        }
        return std::nullopt;
    }
    CloseErrorFile(doc);
    // Only a file that could be written goes: deleting asks less of the host
    // than writing does, and a read-only list must stay.
    HostFile probe;
    uint32_t error = OpenHostFile(path, kAccessRead | kAccessWrite, kShareRead, Disposition::kOpenExisting, 0, probe);
    if (Missing(error)) {
        return std::nullopt;
    }
    probe.Close();
    if (error == 0) {
        error = DeleteHostFile(path);
    }
    if (error != 0 && !Missing(error)) {
        return StoreFailed(path, error);
    }
    return std::nullopt;
}

void CloseErrorFile(ImageDocument& doc) { doc.errorFile.Close(); }

}  // namespace vk
