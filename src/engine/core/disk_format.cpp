#include "engine/core/disk_format.h"

#include "engine/strings/string_ids.h"

namespace vk {
namespace {

constexpr MediaKind kMediaUnknown = MediaKind::kUnknown;
constexpr MediaKind kF3_1Pt44_512 = MediaKind::k3_5Inch1440K;
constexpr MediaKind kF3_720_512 = MediaKind::k3_5Inch720K;
constexpr MediaKind kF5_360_512 = MediaKind::k5_25Inch360K;
constexpr MediaKind kF5_180_512 = MediaKind::k5_25Inch180K;
constexpr MediaKind kF5_160_512 = MediaKind::k5_25Inch160K;

constexpr DiskFormat Empty(uint32_t code) {
    return DiskFormat{kNoDescription, 0, 0, 0, 0, 0, 0, 0, 0, code, kMediaUnknown};
}

// descriptionId, fatCount, totalSectors, sectorsPerFat, sectorsPerCluster,
// reservedSectors, heads, sectorsPerTrack, rootEntries, mediaByte, mediaType
std::array<DiskFormat, kFormatRows> table = {{
    {kStrFormatF0, 2, 2880, 9, 1, 1, 2, 18, 224, 0xF0, kF3_1Pt44_512},
    Empty(0xF1), Empty(0xF2), Empty(0xF3), Empty(0xF4), Empty(0xF5), Empty(0xF6), Empty(0xF7),
    {kStrFormatF8, 2, 720, 2, 2, 1, 1, 9, 112, 0xF8, kF3_720_512},
    {kStrFormatF9, 2, 1440, 3, 2, 1, 2, 9, 112, 0xF9, kF3_720_512},
    {kStrFormatFA, 2, 640, 1, 2, 1, 1, 8, 112, 0xFA, kF5_360_512},
    {kStrFormatFB, 2, 1280, 2, 2, 1, 2, 8, 112, 0xFB, kMediaUnknown},
    {kStrFormatFC, 2, 360, 2, 1, 1, 1, 9, 64, 0xFC, kF5_180_512},
    {kStrFormatFD, 2, 720, 2, 2, 1, 2, 9, 112, 0xFD, kF5_360_512},
    {kStrFormatFE, 2, 320, 1, 1, 1, 1, 8, 64, 0xFE, kF5_160_512},
    {kStrFormatFF, 2, 640, 1, 2, 1, 2, 8, 112, 0xFF, kF5_360_512},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF8, kMediaUnknown},  // custom row, set by StoreCustomFormat
}};

}  // namespace

bool operator==(const DiskFormat& a, const DiskFormat& b) {
    return a.descriptionId == b.descriptionId && a.fatCount == b.fatCount && a.totalSectors == b.totalSectors &&
           a.sectorsPerFat == b.sectorsPerFat && a.sectorsPerCluster == b.sectorsPerCluster &&
           a.reservedSectors == b.reservedSectors && a.heads == b.heads && a.sectorsPerTrack == b.sectorsPerTrack &&
           a.rootEntries == b.rootEntries && a.mediaByte == b.mediaByte && a.mediaType == b.mediaType;
}

bool IsFormatCode(uint32_t code) { return code >= kFirstFormatCode && code <= kCustomFormatCode; }

DiskFormat& FormatRow(uint32_t code) { return table[code - kFirstFormatCode]; }

bool IsUsableFormat(const DiskFormat& row) { return row.totalSectors != 0; }

size_t ListedFormatCodes(std::array<uint32_t, kFormatRows>& codes) {
    size_t count = 0;
    for (uint32_t code = kFirstFormatCode; code <= kCustomFormatCode; ++code) {
        const DiskFormat& row = FormatRow(code);
        if (row.descriptionId == 0) {
            break;
        }
        if (IsUsableFormat(row)) {
            codes[count++] = code;
        }
    }
    return count;
}

unsigned BootTemplateNameId(unsigned index) {
    static constexpr unsigned kNames[kBootTemplateCount] = {kStrBootMsxDos, kStrBootMsxDos22, kStrBootMsDos6};
    return index < kBootTemplateCount ? kNames[index] : kStrBootMsxDos;
}

}  // namespace vk
