// vkdisk new and info.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <cstring>
#include <string>
#include <vector>

#include "vkdisk/catalog.h"
#include "vkdisk/catalog_output.h"
#include "vkdisk/command_support.h"
#include "vkdisk/console_ports.h"
#include "engine/core/boot_sector.h"
#include "engine/core/media_errors.h"
#include "engine/core/new_image.h"
#include "engine/core/custom_format.h"
#include "engine/core/partition_table.h"
#include "engine/fat/ops/partition_info.h"
#include "engine/strings/strings.h"

namespace vk::cli {
namespace {

const char kNewUsage[] =
    "usage: vkdisk new IMAGE [--format CODE] [--boot msxdos|msxdos2|msdos] [--force]\n"
    "\n"
    "Creates an empty, formatted image. CODE is the format's media byte in hex:\n"
    "  F0  2 sides, 80 tracks, 18 sectors/track (1.44 MBytes)\n"
    "  F8  1 side, 80 tracks, 9 sectors/track (360 KBytes)\n"
    "  F9  2 sides, 80 tracks, 9 sectors/track (720 KBytes)   (default)\n"
    "  FA  1 side, 80 tracks, 8 sectors/track (320 KBytes)\n"
    "  FB  2 sides, 80 tracks, 8 sectors/track (640 KBytes)\n"
    "  FC  1 side, 40 tracks, 9 sectors/track (180 KBytes)\n"
    "  FD  2 sides, 40 tracks, 9 sectors/track (360 KBytes)\n"
    "  FE  1 side, 40 tracks, 8 sectors/track (160 KBytes)\n"
    "  FF  2 sides, 40 tracks, 8 sectors/track (320 KBytes)\n"
    "--boot chooses the boot sector (default msxdos). An existing IMAGE is\n"
    "only replaced with --force, and so is the bad-sector file beside it (its\n"
    "name with the extension .der; IMAGE.der when IMAGE itself ends in .der).\n"
    "\n"
    "       vkdisk new IMAGE --custom [sectors=N,cluster=N,fat=N,fats=N,root=N,\n"
    "                                  reserved=N,heads=N,track=N,media=HEX]\n"
    "\n"
    "Creates a custom FAT12 layout: sectors per disk, sectors per cluster,\n"
    "sectors per FAT, number of FATs, root-directory entries, reserved\n"
    "sectors, heads, sectors per track and the media byte. What is not given\n"
    "takes the Custom disk-format dialog's default (16384 sectors, 8 per\n"
    "cluster, 11 per FAT, 2 FATs, 224 entries, 1 reserved, 4 heads, 40 per\n"
    "track, F8); a layout the dialog refuses is refused the same way.\n"
    "\n"
    "       vkdisk new IMAGE --partitions SIZE[,SIZE...] [--table mbr|msx-ide]\n"
    "                        [--boot msxdos|msxdos2|msdos] [--force]\n"
    "\n"
    "Creates a partitioned hard-disk image: one partition of each SIZE (bytes,\n"
    "or with the suffix K, M or G), laid one after the other from sector 1,\n"
    "each formatted with the boot sector --boot chooses. A partition of up to\n"
    "32M is FAT12, as MSX-DOS 2 reads it (a volume of at most 65535 sectors),\n"
    "a larger one FAT16 (just under 2G at most). An MBR table (the default)\n"
    "takes four primary partitions; with more, the first three are primary\n"
    "and the rest logical partitions in an extended one. An MSX-IDE table\n"
    "takes up to four FAT12 partitions of up to 32M. The partitions' data\n"
    "areas are left unwritten, so the image is sparse where the host allows.\n";

const char kInfoUsage[] =
    "usage: vkdisk info IMAGE [--partition N] [--json]\n"
    "\n"
    "Shows the image's geometry, boot sector, comment, whether its backup FAT\n"
    "matches, and the bad sectors of its .der file with that file's name: the\n"
    "image's name with the extension .der, or with .der appended when the\n"
    "image's own name ends in .der. Of an image with a partition table and no\n"
    "--partition, lists the partitions: number, type, first sector, size,\n"
    "file system, label and free space. --json writes the image's record as\n"
    "vkdisk catalog does, without its files (path, container, size, format,\n"
    "boot, oem, label, serial, free, check), or its error; exit 1 then.\n";

// Where the text of a comment header starts.
constexpr size_t kCommentStart = 40;

bool ParseBootName(const std::string& text, unsigned& index) {
    static const char* const kNames[kBootTemplateCount] = {"msxdos", "msxdos2", "msdos"};
    for (unsigned i = 0; i < kBootTemplateCount; ++i) {
        if (text == kNames[i]) {
            index = i;
            return true;
        }
    }
    return false;
}

bool BackupFatMatches(const ImageDocument& doc) {
    const Layout layout = doc.GetLayout();
    if (layout.fatCount < 2) {
        return true;
    }
    const uint64_t backup = layout.FatCopyStart(1);
    if (doc.AreaLength() < backup + layout.fatBytes) {
        return false;
    }
    return std::memcmp(doc.Area() + layout.fatStart, doc.Area() + backup, static_cast<size_t>(layout.fatBytes)) == 0;
}

// --custom, with or without its list of fields, taken out of the arguments
// before the common parsing: the list is optional, which the parser cannot say.
struct CustomRequest {
    bool given = false;
    std::string fields;  // "sectors=N,cluster=N,..."; may be empty
};

Args TakeCustomOption(const Args& args, CustomRequest& custom) {
    Args rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
            break;
        }
        if (arg.rfind("--custom=", 0) == 0) {
            custom.given = true;
            custom.fields = arg.substr(9);
        } else if (arg == "--custom") {
            custom.given = true;
            if (i + 1 < args.size() && args[i + 1].find('=') != std::string::npos && args[i + 1][0] != '-') {
                custom.fields = args[++i];
            }
        } else {
            rest.push_back(arg);
        }
    }
    return rest;
}

// Fills the dialog's texts from "name=value,..." over its defaults, so that
// the dialog's own parsing and checks apply. False, reported, for an unknown
// name or a value that is no number.
bool ParseCustomFields(const std::string& fields, CustomFormatTexts& texts) {
    static const struct {
        const char* name;
        std::string CustomFormatTexts::*text;
        bool hex;
    } kNames[] = {
        {"sectors", &CustomFormatTexts::totalSectors, false},  {"cluster", &CustomFormatTexts::sectorsPerCluster, false},
        {"fat", &CustomFormatTexts::sectorsPerFat, false},     {"fats", &CustomFormatTexts::fatCount, false},
        {"root", &CustomFormatTexts::rootEntries, false},      {"reserved", &CustomFormatTexts::reservedSectors, false},
        {"heads", &CustomFormatTexts::heads, false},           {"track", &CustomFormatTexts::sectorsPerTrack, false},
        {"media", &CustomFormatTexts::mediaByte, true},
    };
    size_t start = 0;
    while (start < fields.size()) {
        size_t end = fields.find(',', start);
        if (end == std::string::npos) end = fields.size();
        const std::string field = fields.substr(start, end - start);
        start = end + 1;
        const size_t eq = field.find('=');
        const std::string name = field.substr(0, eq);
        const std::string value = eq == std::string::npos ? std::string() : field.substr(eq + 1);
        const auto* known = std::find_if(std::begin(kNames), std::end(kNames),
                                         [&name](const auto& n) { return name == n.name; });
        if (known == std::end(kNames)) {
            Complain("unknown custom field '" + name + "'");
            return false;
        }
        const char* digits = known->hex ? "0123456789abcdefABCDEF" : "0123456789";
        if (value.empty() || value.size() > 10 || value.find_first_not_of(digits) != std::string::npos) {
            Complain("custom field '" + name + "' needs a " + (known->hex ? "hexadecimal" : "decimal") + " number");
            return false;
        }
        texts.*(known->text) = value;
    }
    return true;
}

// "30M" and the like: bytes, or with a suffix K, M or G (powers of 1024), in
// whole sectors. False for anything else, or for less than one sector.
bool ParseSize(const std::string& text, uint64_t& sectors) {
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == 0 || digits > 10 || text.size() - digits > 1) return false;
    uint64_t bytes = std::strtoull(text.substr(0, digits).c_str(), nullptr, 10);
    if (digits < text.size()) {
        static const char kSuffixes[] = "KMG";
        const char* at = std::strchr(kSuffixes, std::toupper(static_cast<unsigned char>(text[digits])));
        if (at == nullptr || *at == '\0') return false;
        for (const char* k = kSuffixes; k <= at; ++k) bytes *= 1024;
    }
    sectors = bytes / kSectorSize;
    return sectors != 0;
}

bool ParseSizes(const std::string& list, std::vector<uint64_t>& sizes) {
    size_t start = 0;
    for (;;) {
        const size_t end = std::min(list.find(',', start), list.size());
        uint64_t sectors = 0;
        if (!ParseSize(list.substr(start, end - start), sectors)) {
            Complain("bad partition size '" + list.substr(start, end - start) +
                     "' (bytes, or a number with K, M or G, at least 512 bytes)");
            return false;
        }
        sizes.push_back(sectors);
        if (end == list.size()) return true;
        start = end + 1;
    }
}

// The image NEW is to be made at may be made: no file there, or --force; and
// a bad-sector list beside it may go (`errorFileExisted` says it was there).
bool NewImageMayReplace(const ParsedArgs& parsed, bool& errorFileExisted) {
    const std::string& path = parsed.positional[0];
    const bool force = parsed.Has("--force") || parsed.Has("-f");
    HostFindData existing;
    if (!force && FindHostFile(path, existing) == 0) {
        Complain(path + " exists; use --force to replace it");
        return false;
    }
    return ErrorFileMayGo(path, force, errorFileExisted);
}

int NewPartitioned(const ParsedArgs& parsed, unsigned boot) {
    if (!parsed.Value("--format").empty()) {
        Complain("give --format or --partitions, not both");
        return kExitUsage;
    }
    PartitionTableKind kind = PartitionTableKind::kMbr;
    const std::string table = parsed.Value("--table");
    if (table == "msx-ide") {
        kind = PartitionTableKind::kMsxIde;
    } else if (!table.empty() && table != "mbr") {
        Complain("unknown partition table '" + table + "' (mbr or msx-ide)");
        return kExitUsage;
    }
    std::vector<uint64_t> sizes;
    if (!ParseSizes(parsed.Value("--partitions"), sizes)) {
        return kExitUsage;
    }
    const std::string& path = parsed.positional[0];
    bool errorFileExisted = false;
    if (!NewImageMayReplace(parsed, errorFileExisted)) {
        return kExitFailure;
    }
    if (!Shown(CreatePartitionedImage(path, kind, sizes, boot, parsed.Has("--force") || parsed.Has("-f")))) {
        return kExitFailure;
    }
    // A bad-sector list of an image that was there before describes nothing of this one.
    if (errorFileExisted) {
        DeleteHostFile(ErrorFileName(path));
        TellErrorFileFate(path, errorFileExisted);
    }
    return kExitOk;
}

}  // namespace

int CmdNew(const Args& args) {
    CustomRequest custom;
    const Args rest = TakeCustomOption(args, custom);
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(rest, {{"--force", "-f"}, {"--format", "--boot", "--partitions", "--table"}}, kNewUsage, 1, 1,
                        parsed, exitCode)) {
        return exitCode;
    }
    unsigned boot = kBootMsxDos;
    if (!parsed.Value("--boot").empty() && !ParseBootName(parsed.Value("--boot"), boot)) {
        Complain("unknown boot sector '" + parsed.Value("--boot") + "' (msxdos, msxdos2 or msdos)");
        return kExitUsage;
    }
    if (parsed.values.count("--partitions") != 0) {
        if (custom.given) {
            Complain("give --custom or --partitions, not both");
            return kExitUsage;
        }
        return NewPartitioned(parsed, boot);
    }
    if (parsed.values.count("--table") != 0) {
        Complain("--table needs --partitions");
        return kExitUsage;
    }
    uint32_t code = kDefaultFormatCode;
    if (!parsed.Value("--format").empty() && !ParseFormatCode(parsed.Value("--format"), code)) {
        Complain("unknown format code '" + parsed.Value("--format") + "'");
        return kExitUsage;
    }
    CustomFormatTexts customTexts = CustomFormatDefaults();
    if (custom.given) {
        if (!parsed.Value("--format").empty()) {
            Complain("give --format or --custom, not both");
            return kExitUsage;
        }
        if (!ParseCustomFields(custom.fields, customTexts)) {
            return kExitUsage;
        }
    }
    const std::string& path = parsed.positional[0];
    bool errorFileExisted = false;
    if (!NewImageMayReplace(parsed, errorFileExisted)) {
        return kExitFailure;
    }
    // A refused layout leaves the custom row alone and creates nothing.
    if (custom.given) {
        const DiskFormat row = ParseCustomFormat(customTexts);
        if (const std::optional<CustomFormatRefusal> refusal = RefuseCustomFormat(row)) {
            Tell(refusal->notice);
            return kExitFailure;
        }
        StoreCustomFormat(row);
        code = kCustomFormatCode;
    }
    ImageDocument& doc = Document();
    if (!Shown(CreateEmptyImage(doc, code, boot))) {
        return kExitFailure;
    }
    CreateErrorList(doc.geometry.totalSectors, doc.errorList);
    if (!Shown(SaveImageToPath(doc, path))) {
        return kExitFailure;
    }
    TellErrorFileFate(path, errorFileExisted);
    CloseDocument();
    return kExitOk;
}

const char* TableName(PartitionTableKind kind) {
    return kind == PartitionTableKind::kMsxIde ? "MSX-IDE" : "MBR";
}

// The partitions of a partitioned image, one line each.
int ListPartitions(const std::string& path, const std::string& member, const PartitionTable& table) {
    PartitionTable described;
    std::vector<PartitionSummary> summaries;
    if (!Shown(DescribeImagePartitions(path, member, described, summaries))) {
        return kExitFailure;
    }
    std::printf("Image:            %s\n", Printable(path).c_str());
    std::printf("Partition table:  %s, %s partitions\n", TableName(table.kind), std::to_string(summaries.size()).c_str());
    if (std::optional<Notice> fault = PartitionFaultNotice(described)) {
        Tell(*fault);
    }
    std::printf("%3s  %-16s %10s %10s  %-6s %-11s %s\n", "#", "type", "start", "size (KB)", "fs", "label",
                "free (KB)");
    for (const PartitionSummary& p : summaries) {
        std::printf("%3u  %-16s %10s %10s  %-6s %-11s %s\n", p.entry.number,
                    (PartitionTypeName(p.entry.type) + (p.entry.logical ? " L" : "")).c_str(),
                    std::to_string(p.entry.startSector).c_str(), std::to_string(p.totalBytes / 1024).c_str(),
                    p.opened ? p.fileSystem.c_str() : "-",
                    Printable(p.label).c_str(),
                    p.opened ? std::to_string(p.freeBytes / 1024).c_str() : "-");
    }
    return kExitOk;
}

int CmdInfo(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, ImageCommand({{"--json"}, {}}), kInfoUsage, 1, 1, parsed, exitCode)) {
        return exitCode;
    }
    if (parsed.Has("--json")) {
        const CatalogRecord record = CatalogImage(parsed.positional[0], false, PartitionOption(parsed));
        PrintJson(RecordJson(record, false));
        return record.readable ? kExitOk : kExitFailure;
    }
    // Looking changes nothing: the backup-FAT question is answered No.
    SetAnswerMode(AnswerMode::kNo);
    ImageDocument& doc = Document();
    if (PartitionOption(parsed) == 0) {
        PartitionTable table;
        if (!Shown(ReadImagePartitions(parsed.positional[0], table, MemberOption(parsed)))) {
            return kExitFailure;
        }
        if (table.HasTable()) {
            return ListPartitions(parsed.positional[0], MemberOption(parsed), table);
        }
    }
    if (!OpenDocument(parsed, true)) {
        return kExitFailure;
    }
    const uint8_t* bs = doc.Area();
    const DiskFormat& g = doc.geometry;
    const Layout layout = doc.GetLayout();
    std::printf("Image:            %s\n", Printable(doc.fileName).c_str());
    const uint32_t headerLength = CheckCommentHeader(doc.imageBuffer.data(), doc.imageSize).length;
    if (headerLength > kCommentStart) {
        const char* comment = reinterpret_cast<const char*>(doc.imageBuffer.data() + kCommentStart);
        const size_t room = headerLength - kCommentStart;
        std::printf("Comment:          %s\n",
                    Printable(std::string_view(comment, std::find(comment, comment + room, '\0') - comment)).c_str());
    }
    std::printf("Size:             %u bytes (%u sectors after the boot sector's offset %u)\n", doc.imageSize,
                doc.AreaLength() / kSectorSize, doc.dataOffset);
    if (const PartitionEntry* p = doc.partitions.Find(doc.partition)) {
        std::printf("Partition:        %u of the %s table, %s%s, sectors %s to %s\n", p->number,
                    TableName(doc.partitions.kind), PartitionTypeName(p->type).c_str(), p->logical ? ", logical" : "",
                    std::to_string(p->startSector).c_str(), std::to_string(p->startSector + p->sectorCount - 1).c_str());
    }
    const char* oem = reinterpret_cast<const char*>(bs + kBsOemName);
    std::printf("OEM name:         %s\n", Printable(std::string_view(oem, std::find(oem, oem + 8, '\0') - oem)).c_str());
    std::printf("Media byte:       %02X\n", bs[kBpbMediaByte]);
    std::printf("Format:           %s\n", FormatName(g, bs[kBpbMediaByte]).c_str());
    std::printf("Total sectors:    %u\n", g.totalSectors);
    std::printf("Heads:            %u\n", g.heads);
    std::printf("Sectors/track:    %u\n", g.sectorsPerTrack);
    std::printf("Reserved sectors: %u\n", g.reservedSectors);
    std::printf("Hidden sectors:   %u\n", Load16(bs + kBpbHiddenSectors));
    std::printf("FATs:             %u of %u sectors, backup %s\n", g.fatCount, g.sectorsPerFat,
                g.fatCount < 2 ? "none" : BackupFatMatches(doc) ? "matches" : "differs");
    std::printf("Root entries:     %u\n", g.rootEntries);
    std::printf("Cluster size:     %u sectors\n", g.sectorsPerCluster);
    std::printf("Data clusters:    %u\n", layout.lastCluster >= 2 ? layout.lastCluster - 1 : 0);
    std::printf("File system:      FAT%u%s\n", ReadersFatBits(doc),
                doc.changeBlock != ChangeBlock::kNone ? " (kept read-only: no change is made)" : "");
    const bool msxVolumeId = std::memcmp(bs + kBsMsxVolumeId, kMsxVolumeIdText, sizeof kMsxVolumeIdText - 1) == 0;
    if (bs[kBsExtendedSignature] == kExtendedBootSignature || msxVolumeId) {
        std::printf("Serial number:    %02X%02X-%02X%02X\n", bs[kBsVolumeSerial + 3], bs[kBsVolumeSerial + 2],
                    bs[kBsVolumeSerial + 1], bs[kBsVolumeSerial]);
    }
    std::string bad;
    unsigned badCount = 0;
    for (uint32_t s = 0; s < g.totalSectors; ++s) {
        if (IsSectorMarked(doc.errorList, s)) {
            bad += (badCount++ ? ", " : "") + std::to_string(s);
        }
    }
    std::printf("Bad sectors:      %s\n", badCount ? bad.c_str() : "none");
    const std::string der = ErrorFileName(doc.fileName);
    HostFindData found;
    const char* state = doc.errorFile.IsOpen()        ? ""
                        : doc.errorFileKept            ? " (cannot be read; saves leave it as it is)"
                        : FindHostFile(der, found) == 0 ? " (not a bad-sector list)"
                                                        : " (none)";
    std::printf("Bad-sector file:  %s%s\n", der.c_str(), state);
    CloseDocument();
    return kExitOk;
}

}  // namespace vk::cli
