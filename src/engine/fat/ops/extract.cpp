#include "engine/fat/ops/extract.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "engine/core/document.h"
#include "engine/core/write_safety.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/table/fat12.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/ops/name_claims.h"
#include "engine/ports/host_files.h"
#include "engine/ports/host_failure.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/text_format.h"

namespace vk {
namespace {

// The FAT bits a host file can carry: read-only, hidden, system, archive.
constexpr uint32_t kHostSettableAttributes = kHostReadOnly | kHostHidden | kHostSystem | kHostArchive;
constexpr char kSafeByte = '_';

bool IsDirectoryOrLabel(uint8_t attr) { return (attr & (kAttrDirectory | kAttrVolume)) != 0; }

// Puts the written file in its target's place, asking before it replaces
// one: declined when the user keeps the existing file. The entry standing
// there is replaced itself, never opened: a link is replaced, and what it
// points to stays as it was.
Result PlaceTarget(NewHostFile& file, unsigned replaceFlags, ItemQuestion* replace) {
    const std::string& targetPath = file.targetPath;
    uint32_t error = CommitNewHostFile(file, false);
    if (ClassifyHostCode(error) == HostFailure::kExists) {
        if (!(replaceFlags & kReplaceSilently)) {
            const ItemQuestion::Reply reply =
                AskAboutItem(replace, TextNotice(kMsgReplaceHostFile, Tone::kQuestion, {targetPath}), true);
            if (reply != ItemQuestion::Reply::kYes) {
                return Declined(reply == ItemQuestion::Reply::kNo);
            }
        }
        // A read-only file is not replaced, even where the host would let it be removed.
        uint32_t existing = 0;
        error = GetHostFileAttributes(targetPath, existing) == kHostSuccess &&
                        (existing & (kHostReadOnly | kHostDirectory)) == kHostReadOnly
                    ? HostCodeFor(HostFailure::kAccessDenied)
                    : CommitNewHostFile(file, true);
    }
    if (error != kHostSuccess) {
        return Failure(HostFault(targetPath, error));
    }
    return Done();
}

// Writes the entry's data; returns why it failed, or nothing. A chain that
// ends early, leaves the volume, loops or reaches past the end of the image
// is a corrupt file. Clusters that follow each other in the image go out in
// one write, so an unfragmented file takes one.
std::optional<Fault> CopyChainToFile(const ImageDocument& doc, const uint8_t* entry, const HostFile& file,
                                      const std::string& targetPath) {
    const ConstVolume vol = VolumeOf(doc);
    const Layout& layout = vol.layout;
    const uint8_t* area = vol.area;
    const uint32_t length = vol.length;
    uint32_t remaining = Load32(entry + kDirSize);
    ChainWalker walk(vol, remaining > 0 ? Load16(entry + kDirFirstCluster) : layout.EndMark());
    uint64_t runStart = 0;
    uint32_t runBytes = 0;
    auto writeRun = [&]() -> std::optional<Fault> {
        uint32_t done = 0;
        uint32_t error = WriteHostFile(file, area + runStart, runBytes, done);
        if (error == kHostSuccess && done < runBytes) {
            error = HostCodeFor(HostFailure::kDiskFull);
        }
        runBytes = 0;
        if (error != kHostSuccess) {
            return HostFault(targetPath, error);
        }
        return std::nullopt;
    };
    while (remaining > 0) {
        const uint32_t piece = static_cast<uint32_t>(std::min<uint64_t>(remaining, layout.clusterBytes));
        if (walk.State() != ChainState::kCluster || layout.ClusterOffset(walk.Cluster()) + piece > length) {
            // What the chain held up to its fault is written all the same.
            if (runBytes > 0) {
                if (std::optional<Fault> failed = writeRun()) return failed;
            }
            return Fault{FailureKind::kDamaged, TextNotice(kMsgStoredFileCorrupt, Tone::kWarning, {targetPath})};
        }
        const uint64_t offset = layout.ClusterOffset(walk.Cluster());
        if (runBytes > 0 && offset != runStart + runBytes) {
            if (std::optional<Fault> failed = writeRun()) return failed;
        }
        if (runBytes == 0) runStart = offset;
        runBytes += piece;
        remaining -= piece;
        walk.Advance();
    }
    if (runBytes > 0) {
        if (std::optional<Fault> failed = writeRun()) return failed;
    }
    return std::nullopt;
}

bool IsDeviceName(std::string_view name) {
    std::string base = AsciiUpper(std::string(name.substr(0, name.find('.'))));
    while (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") {
        return true;
    }
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

}  // namespace

Result ReadEntryBytes(const ImageDocument& doc, uint32_t entryOffset, std::vector<uint8_t>& bytes) {
    bytes.clear();
    const ConstVolume vol = VolumeOf(doc);
    const uint8_t* entry = vol.area + entryOffset;
    uint32_t remaining = Load32(entry + kDirSize);
    ChainWalker walk(vol, remaining > 0 ? Load16(entry + kDirFirstCluster) : vol.layout.EndMark());
    while (remaining > 0) {
        const uint32_t piece = static_cast<uint32_t>(std::min<uint64_t>(remaining, vol.layout.clusterBytes));
        const uint64_t at = walk.State() == ChainState::kCluster ? vol.layout.ClusterOffset(walk.Cluster()) : 0;
        if (walk.State() != ChainState::kCluster || !vol.InBounds(at, piece)) {
            return Failure(FailureKind::kDamaged,
                           TextNotice(kMsgStoredFileCorrupt, Tone::kWarning, {EntryDisplayName(entry)}));
        }
        bytes.insert(bytes.end(), vol.At(at), vol.At(at) + piece);
        remaining -= piece;
        walk.Advance();
    }
    return Done();
}

Result ExtractEntry(const ImageDocument& doc, uint32_t entryOffset, unsigned replaceFlags,
                    const std::string& targetPath, ItemQuestion* replace) {
    if (std::optional<Notice> refusal = ExtractionRefusal(doc)) return Failure(FailureKind::kRefused, *refusal);
    const uint8_t* entry = doc.Area() + entryOffset;
    const uint8_t attr = entry[kDirAttr];
    const uint32_t finalAttributes = attr != 0 ? attr & kHostSettableAttributes : uint32_t{kHostNormal};
    // Replacing the image being read (or its .der) would destroy what is being copied.
    if (IsSameHostFile(doc.imageFile, targetPath) || IsSameHostFile(doc.errorFile, targetPath)) {
        return Failure(FailureKind::kRefused, TextNotice(kMsgExtractOntoOpenImage, Tone::kError, {targetPath}));
    }
    // Written whole under a temporary name first: a failure leaves the
    // target as it was, and nothing half-written under its name.
    NewHostFile file;
    const uint32_t error = CreateNewHostFile(targetPath, attr & kHostSettableAttributes, file);
    if (error != kHostSuccess) {
        return Failure(HostFailureKind(error), HostCreateFailure(targetPath, error));
    }
    const std::optional<Fault> failure = CopyChainToFile(doc, entry, file.file, targetPath);
    if (failure && failure->kind != FailureKind::kDamaged) {
        return Failure(*failure);
    }
    // What a corrupt chain held up to its fault is kept, stamped all the same.
    DosDateTime stamp;
    stamp.date = Load16(entry + kDirDate);
    stamp.time = Load16(entry + kDirTime);
    HostTime time = 0;
    if (LocalDosToHostTime(stamp, time)) {
        SetHostFileTimes(file.file, time);
    }
    Result placed = PlaceTarget(file, replaceFlags, replace);
    if (!placed.Done()) {
        return placed;
    }
    SetHostFileAttributes(targetPath, finalAttributes);
    return failure ? Failure(*failure) : Done();
}

Result SaveEntryAs(const ImageDocument& doc, uint32_t entryOffset, const SavePathChooser& choosePath,
                   unsigned replaceFlags) {
    const std::string name = EntryDisplayName(doc.Area() + entryOffset);
    if (IsDirectoryOrLabel(doc.Area()[entryOffset + kDirAttr])) {
        return Failure(FailureKind::kRefused, TextNotice(kMsgCannotSaveEntry, Tone::kWarning, {name}), true);
    }
    std::string path;
    if (!choosePath(SafeHostName(name), path) || path.empty()) {
        return Declined(false);
    }
    return ExtractEntry(doc, entryOffset, replaceFlags, path);
}

Result ExtractEntriesToFolder(const ImageDocument& doc, const std::vector<uint32_t>& entries,
                              const std::string& folder, std::vector<std::string>& paths) {
    paths.clear();
    HostNameClaims claims;  // entries of one host name are not written over each other
    std::vector<Notice> renamed;
    for (const uint32_t entryOffset : entries) {
        if (IsDirectoryOrLabel(doc.Area()[entryOffset + kDirAttr])) {
            return Failure(FailureKind::kRefused, TextNotice(kMsgCannotSaveDirOrLabel, Tone::kWarning));
        }
        const std::string name = EntryDisplayName(doc.Area() + entryOffset);
        std::optional<Notice> tailed;
        paths.push_back(claims.ClaimPath(folder, SafeHostName(name), name, tailed));
        if (tailed) renamed.push_back(*tailed);
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        Result one = ExtractEntry(doc, entries[i], kReplaceSilently, paths[i]);
        if (!one.Done()) {
            return one;
        }
    }
    Result all = Done();
    all.notices = std::move(renamed);
    return all;
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

// Making a new entry is all a folder is asked, so an access denied is the folder's.
Notice HostCreateFailure(const std::string& path, uint32_t hostCode) {
    if (ClassifyHostCode(hostCode) == HostFailure::kAccessDenied) {
        return TextNotice(kMsgFolderRefusesFiles, Tone::kError, {path, HostFolderOf(path)});
    }
    return HostErrorNotice(path, hostCode);
}

}  // namespace vk
