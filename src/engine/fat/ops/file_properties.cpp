#include "engine/fat/ops/file_properties.h"

#include "engine/common/bytes.h"
#include "engine/strings/text_format.h"
#include "engine/core/document.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/dir_tree.h"
#include "engine/fat/dir/entry_time.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"

namespace vk {
namespace {

constexpr uint32_t kBytesPerKilobyte = 1024;

// Kilobytes with two decimals, rounded half up, as "%-.2f" prints them.
// Integer arithmetic keeps the text free of the C library's locale.
std::string PlainKilobytes(uint32_t size) {
    const uint64_t hundredths = (uint64_t{size} * 100 + kBytesPerKilobyte / 2) / kBytesPerKilobyte;
    const uint64_t fraction = hundredths % 100;
    return std::to_string(hundredths / 100) + (fraction < 10 ? ".0" : ".") + std::to_string(fraction);
}

std::string SizeText(uint32_t size, uint64_t allocated, unsigned textId = kStrFileSizeDetails) {
    std::string kilobytes;
    if (!HostFormatDecimal(PlainKilobytes(size), kilobytes)) {
        kilobytes = "?";
    }
    std::string bytes;
    FormatNumber(size, bytes);
    // A 4 GB file on large clusters rounds past 32 bits; show the plain figure then.
    std::string allocatedText;
    if (allocated <= UINT32_MAX) {
        FormatNumber(static_cast<uint32_t>(allocated), allocatedText);
    } else {
        allocatedText = std::to_string(allocated);
    }
    return FillConversions(LoadText(textId), {kilobytes, bytes, allocatedText});
}

uint64_t Allocated(uint64_t size, uint64_t clusterBytes) {
    return clusterBytes == 0 ? 0 : (size + clusterBytes - 1) / clusterBytes * clusterBytes;
}

// What a folder holds: the sizes of every file below it, and the clusters
// they take. Empty when the folder itself is damaged; a damaged folder below
// it adds nothing, as a walk never enters it.
std::string FolderSizeText(const ImageDocument& doc, const uint8_t* entry) {
    const DirRef folder{Load16(entry + kDirFirstCluster)};
    // Cluster 0 names the root: a folder entry that says so is damaged.
    if (folder.IsRoot()) {
        return std::string();
    }
    const ConstVolume vol = VolumeOf(doc);
    uint64_t size = 0;
    uint64_t allocated = 0;
    const TreeWalkEnd end = WalkTree(vol, folder, std::string_view(),
                                     [&](const TreeItem& item) {
                                         const uint8_t* e = doc.Area() + item.entryOffset;
                                         if (!(e[kDirAttr] & kAttrDirectory)) {
                                             size += Load32(e + kDirSize);
                                             allocated += Allocated(Load32(e + kDirSize), vol.layout.clusterBytes);
                                         }
                                         return true;
                                     });
    for (const TreeProblem& problem : end.problems) {
        if (problem.entryOffset == 0) {
            return std::string();
        }
    }
    return SizeText(size > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(size), allocated, kStrFolderSizeDetails);
}

}  // namespace

std::string FileTypeText(const uint8_t* entry, const std::string& iniPath) {
    if (entry[kDirAttr] & kAttrDirectory) {
        return std::string(LoadText(kStrDirectoryType));
    }
    const std::string ext = TrimField(entry + kDirExt, kDirExtLength);
    if (ext.empty()) {
        return {};
    }
    std::string type;
    if (HostIniString(iniPath, kTypeNamesSection, ext, type)) {
        return type;
    }
    return FillConversions(LoadText(kStrFileTypeFormat), {ext});
}

std::string FileSizeText(uint32_t size, uint64_t clusterBytes) { return SizeText(size, Allocated(size, clusterBytes)); }

FileProperties ReadFileProperties(const ImageDocument& doc, uint32_t entryOffset, const std::string& iniPath,
                                  std::string_view folderPath) {
    const uint8_t* entry = doc.Area() + entryOffset;
    FileProperties p;
    p.file = EntryDisplayName(entry);
    p.type = FileTypeText(entry, iniPath);
    p.location = std::string(1, kPathSeparator) + std::string(folderPath);
    p.attributes = entry[kDirAttr];
    p.isDirectory = (p.attributes & kAttrDirectory) != 0;
    if (p.isDirectory) {
        p.size = FolderSizeText(doc, entry);
    } else {
        p.size = FileSizeText(Load32(entry + kDirSize), doc.GetLayout().clusterBytes);
    }
    p.changed = FormatEntryDateTime(entry, DateForm::kLong);
    return p;
}

Result ApplyFileAttributes(ImageDocument& doc, uint32_t entryOffset, uint8_t bits) {
    uint8_t& attr = doc.Area()[entryOffset + kDirAttr];
    bits &= kAttrEditable;
    if (bits == (attr & kAttrEditable)) {
        return Done();
    }
    if (std::optional<Notice> refusal = ChangeRefusal(doc)) return Failure(FailureKind::kRefused, *refusal);
    attr = static_cast<uint8_t>(bits | (attr & ~kAttrEditable));
    doc.modified = true;
    EntryChanges changes;
    changes.changed.push_back(entryOffset);
    return Done(std::move(changes));
}

}  // namespace vk
