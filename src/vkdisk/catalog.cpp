#include "vkdisk/catalog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

#include "engine/common/digests.h"
#include "engine/core/boot_sector.h"
#include "engine/core/containers.h"
#include "engine/fat/check/disk_check.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/dir_tree.h"
#include "engine/fat/dir/entry_time.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/ops/volume_info.h"
#include "engine/fat/table/fat12.h"
#include "engine/fat/table/volume.h"
#include "engine/ports/system_text.h"
#include "engine/strings/strings.h"

namespace vk::cli {
namespace {

namespace fs = std::filesystem;

const char* const kImageExtensions[] = {".dsk", ".di1", ".di2", ".flp", ".img", ".dmk", ".gz", ".zip"};

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// `ext` in lower case, with its dot.
bool IsImageExtension(const std::string& ext) {
    return std::find(std::begin(kImageExtensions), std::end(kImageExtensions), ext) != std::end(kImageExtensions);
}

std::string ContainerOf(const std::string& path) {
    const std::string ext = Lower(fs::path(path).extension().string());
    return ext == ".gz" ? "gzip" : ext == ".zip" ? "zip" : "none";
}

const char* KindName(ContainerKind kind) {
    return kind == ContainerKind::kGzip ? "gzip" : kind == ContainerKind::kZip ? "zip" : "none";
}

// The members of the zip at `path` whose names are images' (not .gz or
// .zip), sorted by name. False when the file cannot be read or is no zip
// of several files.
bool ZipImageMembers(const std::string& path, std::vector<std::string>& members) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (DetectContainer(bytes.data(), bytes.size()) != ContainerKind::kZip) return false;
    ContainerInfo info;
    ByteBlock image;
    // No member named: the zip's files are listed before anything is unpacked.
    if (UnpackContainer(bytes.data(), bytes.size(), std::string(), 0, info, image) != ContainerFault::kChooseMember) {
        return false;
    }
    for (const std::string& name : info.members) {
        const size_t dot = name.rfind('.');
        const std::string ext = dot == std::string::npos || name.find('/', dot) != std::string::npos
                                    ? std::string()
                                    : Lower(name.substr(dot));
        if (ext != ".gz" && ext != ".zip" && IsImageExtension(ext)) members.push_back(name);
    }
    std::sort(members.begin(), members.end());
    return true;
}

std::string DateText(const uint8_t* entry) {
    const uint16_t date = Load16(entry + kDirDate);
    const uint16_t time = Load16(entry + kDirTime);
    const DosStamp s = UnpackDosStamp(date, time);
    if ((date == 0 && time == 0) || !IsValidDate(s)) return {};
    char text[24];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", s.year, s.month, s.day,
                  IsValidTime(s) ? s.hour : 0, IsValidTime(s) ? s.minute : 0, IsValidTime(s) ? s.second : 0);
    return text;
}

// Digests of a file's bytes, read along its chain; false with `error` when
// the chain breaks before the size is reached.
bool DigestFile(const ConstVolume& vol, const uint8_t* entry, const CatalogNeeds& needs, CatalogFile& file) {
    uint64_t left = file.size;
    Crc32 crc;
    Sha1 sha;
    if (left != 0) {
        for (ChainWalker walk(vol, Load16(entry + kDirFirstCluster)); left != 0; walk.Advance()) {
            const uint64_t take = std::min<uint64_t>(left, vol.layout.clusterBytes);
            const uint64_t at = walk.State() == ChainState::kCluster ? vol.layout.ClusterOffset(walk.Cluster()) : 0;
            if (walk.State() != ChainState::kCluster || !vol.InBounds(at, take)) {
                file.error = "the cluster chain ends before the file's size";
                return false;
            }
            if (needs.crc32) crc.Add(vol.At(at), static_cast<size_t>(take));
            if (needs.sha1) sha.Add(vol.At(at), static_cast<size_t>(take));
            left -= take;
        }
    }
    if (needs.crc32) file.crc32 = crc.Value();
    if (needs.sha1) file.sha1 = sha.HexDigest();
    return true;
}

}  // namespace

std::string BootKind(const uint8_t* bs) {
    if (std::memcmp(bs + kBsMsxVolumeId, kMsxVolumeIdText, sizeof kMsxVolumeIdText - 1) == 0) return "msx-dos2";
    if (bs[0] == 0xEB && bs[1] == 0xFE) return "msx-dos1";
    if ((bs[0] == 0xEB && bs[2] == 0x90) || bs[0] == 0xE9) return "ms-dos";
    return "other";
}

std::string FormatName(const DiskFormat& g, uint32_t mediaByte) {
    if (mediaByte < kFirstFormatCode || mediaByte >= kCustomFormatCode) {
        return "custom";
    }
    const DiskFormat& row = FormatRow(mediaByte);
    if (!IsUsableFormat(row) || row.totalSectors != g.totalSectors || row.sectorsPerFat != g.sectorsPerFat ||
        row.sectorsPerCluster != g.sectorsPerCluster || row.rootEntries != g.rootEntries ||
        row.fatCount != g.fatCount || row.heads != g.heads || row.sectorsPerTrack != g.sectorsPerTrack) {
        return "custom";
    }
    return std::string(LoadText(row.descriptionId));
}

std::string NoticeString(const Notice& notice) {
    std::string text;
    switch (notice.form) {
    case Notice::Form::kText:
        ExpandInserts(LoadText(notice.id), notice.inserts, text);
        break;
    case Notice::Form::kHostError: {
        std::string system = SystemErrorText(notice.hostCode);
        if (system.empty()) system = "Error " + std::to_string(notice.hostCode);
        text = notice.firstLine + (notice.firstLine.empty() ? "" : " ") + system + " " + notice.lastLine;
        break;
    }
    case Notice::Form::kOwnText:
        text = std::string(LoadText(notice.id)) + ": " + notice.firstLine;
        break;
    }
    // One line: the table's line breaks become blanks.
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    text.erase(std::unique(text.begin(), text.end(), [](char a, char b) { return a == ' ' && b == ' '; }), text.end());
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::vector<CatalogFile> CatalogFiles(const ImageDocument& doc, DirRef top, const std::string& topPath, bool deep,
                                      const CatalogNeeds& needs) {
    std::vector<CatalogFile> files;
    const ConstVolume vol = VolumeOf(doc);
    WalkTree(vol, top, topPath, [&](const TreeItem& item) {
        if (!deep && item.depth != 0) return true;
        const uint8_t* e = doc.Area() + item.entryOffset;
        CatalogFile file;
        file.path = item.path;
        std::replace(file.path.begin(), file.path.end(), kPathSeparator, '/');
        file.folder = (e[kDirAttr] & kAttrDirectory) != 0;
        file.size = file.folder ? 0 : Load32(e + kDirSize);
        file.date = DateText(e);
        for (const char c : AttributeText(e[kDirAttr])) {
            if (c != ' ') file.attributes += c;
        }
        file.digested = !file.folder && (needs.crc32 || needs.sha1) && DigestFile(vol, e, needs, file);
        files.push_back(std::move(file));
        return true;
    });
    return files;
}

void DescribeVolume(const ImageDocument& doc, CatalogRecord& record, bool check) {
    const uint8_t* bs = doc.Area();
    record.format = FormatName(doc.geometry, bs[kBpbMediaByte]);
    record.boot = BootKind(bs);
    const VolumeFigures figures = ReadVolumeFigures(doc);
    record.oem = figures.oemText;
    record.label = figures.labelText;
    record.freeBytes = figures.freeBytes;
    const bool msxVolumeId = std::memcmp(bs + kBsMsxVolumeId, kMsxVolumeIdText, sizeof kMsxVolumeIdText - 1) == 0;
    if (bs[kBsExtendedSignature] == kExtendedBootSignature || msxVolumeId) {
        char serial[10];
        std::snprintf(serial, sizeof serial, "%02X%02X-%02X%02X", bs[kBsVolumeSerial + 3], bs[kBsVolumeSerial + 2],
                      bs[kBsVolumeSerial + 1], bs[kBsVolumeSerial]);
        record.serial = serial;
    }
    if (!check) return;
    const CheckReport report = CheckDisk(doc);
    record.sound = report.Sound();
    record.findings = report.findings.size();
    if (!report.readable) {
        record.findings = 1;
        record.findingKinds.push_back("unreadable");
    }
    for (const Finding& f : report.findings) {
        const std::string key = FindingKindKey(f.kind);
        if (std::find(record.findingKinds.begin(), record.findingKinds.end(), key) == record.findingKinds.end()) {
            record.findingKinds.push_back(key);
        }
    }
}

CatalogRecord CatalogImage(const std::string& path, bool withFiles, uint32_t partition, const std::string& member,
                           const CatalogNeeds& needs) {
    CatalogRecord record;
    record.path = path;
    record.partition = partition;
    record.member = member;
    record.container = ContainerOf(path);
    std::error_code ec;
    const uintmax_t size = fs::file_size(path, ec);
    record.size = ec ? 0 : size;
    ImageDocument doc;
    const Result opened = OpenImage(doc, path, OpenOptions{true, partition, member});
    if (!opened.Done()) {
        record.error = opened.failure ? NoticeString(*opened.failure) : "the image could not be opened";
        doc.Discard();
        return record;
    }
    // A boot sector that describes no disk leaves the layout a guess: what a
    // listing of it gave would be read from wherever the guess puts the root.
    if (doc.geometryGuessed) {
        record.error = opened.notices.empty() ? "the boot sector describes no disk" : NoticeString(opened.notices[0]);
        doc.Discard();
        return record;
    }
    record.readable = true;
    record.container = KindName(doc.container.kind);
    record.member = doc.container.member;
    DescribeVolume(doc, record, needs.check);
    if (withFiles) record.files = CatalogFiles(doc, DirRef{}, std::string(), true, needs);
    doc.Discard();
    return record;
}

std::vector<CatalogRecord> CatalogImageFile(const std::string& path, const CatalogNeeds& needs) {
    CatalogRecord whole = CatalogImage(path, true, 0, std::string(), needs);
    if (whole.readable || whole.container != "zip") return {std::move(whole)};
    // A zip of several files names none to open: each of its images is a
    // record of its own. A zip that cannot be read keeps its one record.
    std::vector<std::string> members;
    if (!ZipImageMembers(path, members) || members.empty()) return {std::move(whole)};
    std::vector<CatalogRecord> records;
    for (const std::string& member : members) records.push_back(CatalogImage(path, true, 0, member, needs));
    return records;
}

std::vector<std::string> FindImageFiles(const std::vector<std::string>& paths, std::vector<std::string>& missing) {
    std::set<std::string> found;
    for (const std::string& top : paths) {
        std::error_code ec;
        const fs::file_status status = fs::status(top, ec);
        if (ec || !fs::exists(status)) {
            missing.push_back(top);
        } else if (!fs::is_directory(status)) {
            found.insert(top);
        } else {
            for (fs::recursive_directory_iterator it(top, fs::directory_options::skip_permission_denied, ec), end;
                 !ec && it != end; it.increment(ec)) {
                if (it->is_regular_file(ec) && IsImageExtension(Lower(it->path().extension().string()))) found.insert(it->path().string());
            }
        }
    }
    return {found.begin(), found.end()};
}

}  // namespace vk::cli
