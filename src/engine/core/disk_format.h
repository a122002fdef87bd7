// Floppy formats: the format table every list, the new-image code and the
// drive code draw from, and the three boot-sector templates.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vk {

constexpr uint32_t kSectorSize = 512;

// The kind of floppy a format is laid down on: what a drive needs to be told
// to format a track for it. kUnknown for formats no drive formats.
enum class MediaKind : uint8_t {
    kUnknown,
    k3_5Inch1440K,
    k3_5Inch720K,
    k5_25Inch360K,
    k5_25Inch180K,
    k5_25Inch160K,
};

// One row of the format table, also the geometry of an open image. The field
// order is the one a custom format is typed in.
struct DiskFormat {
    uint32_t descriptionId = 0;  // string id of the row's text; 0 for the custom row
    uint32_t fatCount = 0;
    uint32_t totalSectors = 0;   // 0: the row holds no format
    uint32_t sectorsPerFat = 0;
    uint32_t sectorsPerCluster = 0;
    uint32_t reservedSectors = 0;
    uint32_t heads = 0;
    uint32_t sectorsPerTrack = 0;
    uint32_t rootEntries = 0;
    uint32_t mediaByte = 0;
    MediaKind mediaType = MediaKind::kUnknown;  // what formatting a track needs
};

bool operator==(const DiskFormat& a, const DiskFormat& b);

constexpr uint32_t kFirstFormatCode = 0xF0;
constexpr uint32_t kCustomFormatCode = 0x100;
constexpr uint32_t kDefaultFormatCode = 0xF9;
constexpr std::size_t kFormatRows = kCustomFormatCode - kFirstFormatCode + 1;
constexpr uint32_t kNoDescription = 0xFFFFFFFF;

// Row `code` (0xF0 .. 0x100). The table is constant but for the custom row.
DiskFormat& FormatRow(uint32_t code);
// True for the codes a caller may pass: 0xF0 .. 0x100.
bool IsFormatCode(uint32_t code);
bool IsUsableFormat(const DiskFormat& row);

// The offered formats in list order: 0xF0, 0xF8 .. 0xFF (the walk stops at
// the custom row and skips empty rows). Returns the count written.
std::size_t ListedFormatCodes(std::array<uint32_t, kFormatRows>& codes);

// Boot-sector templates, by index.
enum BootTemplateIndex : unsigned { kBootMsxDos = 0, kBootMsxDos22 = 1, kBootMsDos6 = 2 };
constexpr unsigned kBootTemplateCount = 3;
const std::array<uint8_t, kSectorSize>& BootTemplate(unsigned index);
// The template for a volume whose sector count needs the 32-bit field: the
// MS-DOS one as it is; both MSX ones as one with the DOS 4 extended BPB, the
// loader moved behind it.
const std::array<uint8_t, kSectorSize>& BootTemplateWithExtendedBpb(unsigned index);
// String id of a template's name.
unsigned BootTemplateNameId(unsigned index);

}  // namespace vk
