#include "engine/core/custom_format.h"

#include <cctype>
#include <cstdio>

#include "engine/core/layout.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

// The characters of a field that count: a longer text is cut, as the fields
// have always been read into 32-character buffers.
constexpr size_t kFieldTextLimit = 31;
constexpr uint32_t kByteFieldMax = 0xFF;
constexpr uint32_t kWordFieldMax = 0xFFFF;

uint64_t RoundUpKb(uint64_t sectors) { return (sectors * kSectorSize + 1023) / 1024; }

bool IsPowerOfTwo(uint32_t n) { return n != 0 && (n & (n - 1)) == 0; }

// The media bytes FAT readers accept.
bool IsMediaByte(uint32_t byte) { return byte == 0xF0 || (byte >= 0xF8 && byte <= 0xFF); }

constexpr uint32_t kMaxSectorsPerCluster = 128;

// The data clusters of a row, counted as every FAT reader counts them (0
// sectors per cluster taken as 1, as the image layout takes it).
uint32_t ClusterSectors(const DiskFormat& r) { return r.sectorsPerCluster == 0 ? 1 : r.sectorsPerCluster; }

uint64_t DataClusters(const DiskFormat& r) {
    const int64_t rootSectors = (int64_t{r.rootEntries} + kEntriesPerSector - 1) / kEntriesPerSector;
    const int64_t data = int64_t{r.totalSectors} - int64_t{r.sectorsPerFat} * r.fatCount - rootSectors -
                         int64_t{r.reservedSectors};
    return data > 0 ? static_cast<uint64_t>(data) / ClusterSectors(r) : 0;
}

// FAT12 sectors that hold the entries of `clusters` data clusters and the two
// reserved entries, 1.5 bytes each.
uint64_t Fat12SectorsFor(uint64_t clusters) {
    const uint64_t bytes = ((clusters + 2) * 3 + 1) / 2;
    return (bytes + kSectorSize - 1) / kSectorSize;
}

}  // namespace

CustomFormatTexts CustomFormatDefaults() {
    CustomFormatTexts t;
    t.fatCount = "2";
    t.totalSectors = "16384";
    t.sectorsPerFat = "11";
    // 8 sectors per cluster: the nearest FAT12 layout of an 8 MB disk, whose
    // 4 KB clusters number 2043 and fit its 11 FAT sectors.
    t.sectorsPerCluster = "8";
    t.reservedSectors = "1";
    t.heads = "4";
    t.sectorsPerTrack = "40";
    t.rootEntries = "224";
    t.mediaByte = "F8";
    return t;
}

int32_t ParseDecimalField(std::string_view text) {
    text = text.substr(0, kFieldTextLimit);
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT32_MAX) {
            value = int64_t{INT32_MAX} + 1;  // saturate: the sign decides below
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT32_MAX) {
        value = INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

uint32_t ParseMediaByteField(std::string_view text) {
    text = text.substr(0, kFieldTextLimit);
    uint64_t value = 0;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            break;
        }
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                                                        : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10;
        value = std::min<uint64_t>(value * 16 + static_cast<uint64_t>(digit), 0xFFFFFFFFull);
    }
    return static_cast<uint32_t>(value);
}

DiskFormat ParseCustomFormat(const CustomFormatTexts& t) {
    auto field = [](const std::string& text) { return static_cast<uint32_t>(ParseDecimalField(text)); };
    DiskFormat row;
    row.descriptionId = 0;
    row.fatCount = field(t.fatCount);
    row.totalSectors = field(t.totalSectors);
    row.sectorsPerFat = field(t.sectorsPerFat);
    row.sectorsPerCluster = field(t.sectorsPerCluster);
    row.reservedSectors = field(t.reservedSectors);
    row.heads = field(t.heads);
    row.sectorsPerTrack = field(t.sectorsPerTrack);
    row.rootEntries = field(t.rootEntries);
    row.mediaByte = ParseMediaByteField(t.mediaByte);
    row.mediaType = MediaKind::kUnknown;
    return row;
}

CustomCapacity ComputeCustomCapacity(const DiskFormat& r) {
    CustomCapacity c;
    c.totalKb = RoundUpKb(r.totalSectors);
    // What files can fill: whole clusters behind the FATs and the root
    // directory; sectors left over after the last cluster hold nothing.
    c.formattedKb = RoundUpKb(DataClusters(r) * ClusterSectors(r));
    return c;
}

CustomFormatCheck ValidateCustomFormat(const DiskFormat& r) {
    using Field = CustomFormatField;
    CustomFormatCheck check;
    auto refuse = [&check](CustomFormatVerdict verdict, Field field) {
        check.verdict = verdict;
        check.field = field;
        return check;
    };
    const CustomCapacity capacity = ComputeCustomCapacity(r);
    if (capacity.totalKb == 0 || capacity.formattedKb == 0) {
        return refuse(CustomFormatVerdict::kZeroCapacity, Field::kTotalSectors);
    }
    if (r.fatCount == 0 || r.sectorsPerFat == 0 || r.sectorsPerCluster == 0) {
        const Field field = r.fatCount == 0 ? Field::kFatCount
                            : r.sectorsPerFat == 0 ? Field::kSectorsPerFat
                                                   : Field::kSectorsPerCluster;
        return refuse(CustomFormatVerdict::kZeroFatField, field);
    }
    if (r.heads == 0 || r.sectorsPerTrack == 0) {
        return refuse(CustomFormatVerdict::kNoTracks, r.heads == 0 ? Field::kHeads : Field::kSectorsPerTrack);
    }
    // Each value must survive being stored in its BPB field of 8 or 16 bits.
    const struct {
        uint32_t value;
        uint32_t max;
        Field field;
    } fields[] = {
        {r.fatCount, kByteFieldMax, Field::kFatCount},
        {r.totalSectors, kWordFieldMax, Field::kTotalSectors},
        {r.sectorsPerFat, kWordFieldMax, Field::kSectorsPerFat},
        {r.sectorsPerCluster, kByteFieldMax, Field::kSectorsPerCluster},
        {r.reservedSectors, kWordFieldMax, Field::kReservedSectors},
        {r.heads, kWordFieldMax, Field::kHeads},
        {r.sectorsPerTrack, kWordFieldMax, Field::kSectorsPerTrack},
        {r.rootEntries, kWordFieldMax, Field::kRootEntries},
    };
    for (const auto& f : fields) {
        if (f.value > f.max) {
            check.value = std::to_string(f.value);
            check.limit = std::to_string(f.max);
            return refuse(CustomFormatVerdict::kFieldTooLarge, f.field);
        }
    }
    if (r.mediaByte > kByteFieldMax) {
        char text[16];
        std::snprintf(text, sizeof text, "%X", r.mediaByte);
        check.value = text;
        check.limit = "FF";
        return refuse(CustomFormatVerdict::kFieldTooLarge, Field::kMediaByte);
    }
    // What other FAT readers demand of a FAT12 disk.
    if (r.reservedSectors == 0 || r.rootEntries == 0 || r.rootEntries % kEntriesPerSector != 0) {
        return refuse(CustomFormatVerdict::kNoBootOrRoot,
                      r.reservedSectors == 0 ? Field::kReservedSectors : Field::kRootEntries);
    }
    if (!IsPowerOfTwo(r.sectorsPerCluster) || r.sectorsPerCluster > kMaxSectorsPerCluster) {
        return refuse(CustomFormatVerdict::kClusterNotPowerOfTwo, Field::kSectorsPerCluster);
    }
    if (!IsMediaByte(r.mediaByte)) {
        return refuse(CustomFormatVerdict::kBadMediaByte, Field::kMediaByte);
    }
    if (DataClusters(r) >= kFat16MinClusters) {
        check.value = std::to_string(DataClusters(r));
        check.limit = std::to_string(kFat16MinClusters - 1);
        return refuse(CustomFormatVerdict::kTooManyClusters, Field::kSectorsPerCluster);
    }
    if (Fat12SectorsFor(DataClusters(r)) > r.sectorsPerFat) {
        check.value = std::to_string(DataClusters(r));
        check.limit = std::to_string(Fat12SectorsFor(DataClusters(r)));
        return refuse(CustomFormatVerdict::kFatTooSmall, Field::kSectorsPerFat);
    }
    return check;
}

std::optional<CustomFormatRefusal> RefuseCustomFormat(const DiskFormat& row) {
    const CustomFormatCheck check = ValidateCustomFormat(row);
    auto refusal = [&check](unsigned id, std::initializer_list<std::string_view> inserts = {}) {
        return CustomFormatRefusal{TextNotice(id, Tone::kWarning, inserts), check.field};
    };
    switch (check.verdict) {
    case CustomFormatVerdict::kAccepted: break;
    case CustomFormatVerdict::kZeroCapacity: return refusal(kMsgZeroCapacity);
    case CustomFormatVerdict::kZeroFatField: return refusal(kMsgFormatZeroField);
    case CustomFormatVerdict::kNoTracks: return refusal(kMsgFormatNoTracks);
    case CustomFormatVerdict::kFieldTooLarge: return refusal(kMsgFormatFieldTooLarge, {check.value, check.limit});
    case CustomFormatVerdict::kNoBootOrRoot: return refusal(kMsgFormatNoBootOrRoot);
    case CustomFormatVerdict::kClusterNotPowerOfTwo: return refusal(kMsgFormatClusterSize);
    case CustomFormatVerdict::kBadMediaByte: return refusal(kMsgFormatMediaByte);
    case CustomFormatVerdict::kTooManyClusters:
        return refusal(kMsgFormatTooManyClusters, {check.value, check.limit});
    case CustomFormatVerdict::kFatTooSmall: return refusal(kMsgFormatFatTooSmall, {check.value, check.limit});
    }
    return std::nullopt;
}

void StoreCustomFormat(const DiskFormat& row) {
    DiskFormat stored = row;
    stored.descriptionId = 0;
    stored.mediaType = MediaKind::kUnknown;
    FormatRow(kCustomFormatCode) = stored;
}

}  // namespace vk
