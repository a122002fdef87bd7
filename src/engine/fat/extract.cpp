#include "engine/fat/extract.h"

#include <algorithm>
#include <cstring>

#include "engine/core/document.h"
#include "engine/fat/dir_entry.h"
#include "engine/fat/fat12.h"
#include "engine/ports/host_files.h"
#include "engine/ports/platform_codes.h"
#include "engine/ports/window_sync.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

// The FAT bits a host file can carry: read-only, hidden, system, archive.
constexpr uint32_t kHostSettableAttributes = kHostReadOnly | kHostHidden | kHostSystem | kHostArchive;
constexpr char kSafeByte = '_';

bool IsDirectoryOrLabel(uint8_t attr) { return (attr & (kAttrDirectory | kAttrVolume)) != 0; }

// Creates `targetPath`, asking before it replaces a file. `declined` is set
// when the user keeps the existing file. A replaced entry of the folder is
// removed and made anew, never opened: a link standing there is replaced
// itself, and what it points to stays as it was.
bool CreateTarget(WindowRef owner, const std::string& targetPath, uint32_t createAttributes,
                  uint32_t replaceAttributes, unsigned replaceFlags, HostFile& file, bool& declined) {
    declined = false;
    uint32_t error =
        OpenHostFile(targetPath, kAccessWrite, kShareRead, Disposition::kCreateNew, createAttributes, file);
    if (error == win_error::kFileExists) {
        if (!(replaceFlags & kReplaceSilently) &&
            ShowMessage(owner, kMsgReplaceHostFile, kBoxYesNo | kIconQuestion | kDefaultButton2, {targetPath}) !=
                kIdYes) {
            declined = true;
            return false;
        }
        // A read-only file is not replaced, even where the host would let it be removed.
        uint32_t existing = 0;
        error = GetHostFileAttributes(targetPath, existing) == win_error::kSuccess &&
                        (existing & (kHostReadOnly | kHostDirectory)) == kHostReadOnly
                    ? win_error::kAccessDenied
                    : DeleteHostFile(targetPath);
        if (error == win_error::kSuccess) {
            error = OpenHostFile(targetPath, kAccessWrite, kShareRead, Disposition::kCreateNew, replaceAttributes,
                                 file);
        }
    }
    if (error != win_error::kSuccess) {
        ShowSystemError(owner, targetPath, error, {}, kIconError);
        return false;
    }
    return true;
}

// Writes the entry's data. A chain that ends early, leaves the volume, loops
// or reaches past the end of the image is reported as a corrupt file, once.
bool CopyChainToFile(const ImageDocument& doc, WindowRef owner, const uint8_t* entry, const HostFile& file,
                     const std::string& targetPath) {
    const Layout layout = doc.GetLayout();
    const uint8_t* area = doc.Area();
    const uint32_t length = doc.AreaLength();
    uint32_t remaining = Load32(entry + kDirSize);
    ChainWalker walk(layout, area, length, remaining > 0 ? Load16(entry + kDirFirstCluster) : kFatEnd);
    while (remaining > 0) {
        const uint32_t piece = static_cast<uint32_t>(std::min<uint64_t>(remaining, layout.clusterBytes));
        if (walk.State() != ChainState::kCluster || layout.ClusterOffset(walk.Cluster()) + piece > length) {
            ShowMessage(owner, kMsgStoredFileCorrupt, kIconWarning, {targetPath});
            return false;
        }
        uint32_t done = 0;
        uint32_t error = WriteHostFile(file, area + layout.ClusterOffset(walk.Cluster()), piece, done);
        if (error == win_error::kSuccess && done < piece) {
            error = win_error::kDiskFull;
        }
        if (error != win_error::kSuccess) {
            ShowSystemError(owner, targetPath, error, {}, kIconError);
            return false;
        }
        remaining -= piece;
        walk.Advance();
    }
    return true;
}

bool IsDeviceName(std::string_view name) {
    std::string base(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    for (char& c : base) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") {
        return true;
    }
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

}  // namespace

bool ExtractEntry(const ImageDocument& doc, WindowRef owner, uint32_t entryOffset, unsigned replaceFlags,
                  const std::string& targetPath) {
    if (RefuseExtraction(doc, owner)) return false;
    const uint8_t* entry = doc.Area() + entryOffset;
    const uint8_t attr = entry[kDirAttr];
    const uint32_t finalAttributes = attr != 0 ? attr & kHostSettableAttributes : uint32_t{kHostNormal};
    // Replacing the image being read (or its .der) would destroy what is being copied.
    if (IsSameHostFile(doc.imageFile, targetPath) || IsSameHostFile(doc.errorFile, targetPath)) {
        ShowMessage(owner, kMsgExtractOntoOpenImage, kIconError, {targetPath});
        return false;
    }
    HostFile file;
    bool declined = false;
    if (!CreateTarget(owner, targetPath, attr & kHostSettableAttributes, finalAttributes, replaceFlags, file,
                      declined)) {
        return declined;
    }
    const bool copied = CopyChainToFile(doc, owner, entry, file, targetPath);
    // The partial file of a failed copy is stamped and kept all the same.
    DosDateTime stamp;
    stamp.date = Load16(entry + kDirDate);
    stamp.time = Load16(entry + kDirTime);
    HostTime time = 0;
    if (LocalDosToHostTime(stamp, time)) {
        SetHostFileTimes(file, time);
    }
    file.Close();
    SetHostFileAttributes(targetPath, finalAttributes);
    return copied;
}

bool SaveEntryAs(const ImageDocument& doc, WindowRef owner, const std::string& itemText, uint32_t entryOffset,
                 const SavePathChooser& choosePath, unsigned replaceFlags) {
    if (IsDirectoryOrLabel(doc.Area()[entryOffset + kDirAttr])) {
        ShowMessage(owner, kMsgCannotSaveEntry, kIconWarning, {itemText});
        return true;
    }
    std::string path;
    if (!choosePath(MainWindow(), SafeHostName(itemText), path) || path.empty()) {
        return false;
    }
    return ExtractEntry(doc, owner, entryOffset, replaceFlags, path);
}

ExtractBatch::ExtractBatch(std::string targetFolder)
    : folder(std::move(targetFolder)), folderLength(folder.size() + 1) {}

bool ExtractToFolder(const ImageDocument& doc, WindowRef owner, const std::string& itemText,
                     uint32_t entryOffset, ExtractBatch& batch) {
    const std::string name = SafeHostName(itemText);
    if (batch.list.empty()) {
        batch.attributes |= doc.Area()[entryOffset + kDirAttr];
        batch.total += name.size() + batch.folderLength + 1;
        return true;
    }
    const std::string path = batch.folder + HostPathSeparator() + name;
    if (batch.cursor + path.size() + 1 > batch.list.size()) {
        batch.ok = false;  // the selection grew between the passes
        return false;
    }
    std::memcpy(batch.list.data() + batch.cursor, path.c_str(), path.size() + 1);
    batch.cursor += path.size() + 1;
    if (!ExtractEntry(doc, owner, entryOffset, kReplaceSilently, path)) {
        batch.ok = false;
        return false;
    }
    return true;
}

bool BeginSecondPass(ExtractBatch& batch) {
    if (IsDirectoryOrLabel(batch.attributes)) {
        ShowMessage(MainWindow(), kMsgCannotSaveDirOrLabel, kIconWarning);
        return false;
    }
    if (!batch.list.Allocate(batch.total + 1)) {
        ShowMessage(MainWindow(), kMsgOutOfMemory, kIconError);
        return false;
    }
    std::memset(batch.list.data(), 0, batch.total + 1);
    batch.cursor = 0;
    return true;
}

namespace {

struct SelectionPass {
    const ImageDocument* doc;
    ExtractBatch* batch;
};

bool ExtractSelectedStep(WindowRef owner, const std::string& itemText, int&, uint32_t entryOffset, void* context) {
    auto* pass = static_cast<SelectionPass*>(context);
    return ExtractToFolder(*pass->doc, owner, itemText, entryOffset, *pass->batch);
}

}  // namespace

bool ExtractSelectionToFolder(const ImageDocument& doc, WindowRef owner, ExtractBatch& batch) {
    SelectionPass pass{&doc, &batch};
    ForEachSelected(owner, ExtractSelectedStep, &pass);
    if (!BeginSecondPass(batch)) {
        return false;
    }
    ForEachSelected(owner, ExtractSelectedStep, &pass);
    return batch.ok;
}

std::string SafeHostName(std::string_view name) {
    std::string safe(name);
    for (char& c : safe) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || std::strchr("\\/:*?\"<>|", c) != nullptr) {
            c = kSafeByte;
        }
    }
    for (auto it = safe.rbegin(); it != safe.rend() && (*it == '.' || *it == ' '); ++it) {
        *it = kSafeByte;
    }
    if (safe.empty() || IsDeviceName(safe)) {
        safe.insert(safe.begin(), kSafeByte);
    }
    return safe;
}

}  // namespace vk
