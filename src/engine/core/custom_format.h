// A format of the user's own: its default texts, how the typed texts become
// a format row, the two capacity figures shown while typing, and the checks
// a row must pass before it is taken. A front end only moves texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/core/disk_format.h"
#include "engine/common/notice.h"

namespace vk {

// The typed texts, one per field of the row.
struct CustomFormatTexts {
    std::string fatCount;           // 1029 "Number of FAT's"
    std::string totalSectors;       // 1031 "Sectors per disk"
    std::string sectorsPerFat;      // 1032
    std::string sectorsPerCluster;  // 1027
    std::string reservedSectors;    // 1028
    std::string heads;              // 1034
    std::string sectorsPerTrack;    // 1033
    std::string rootEntries;        // 1030 "Directory-entries"
    std::string mediaByte;          // 1001, hexadecimal
};

// The texts a new custom format starts from: an 8 MB layout.
CustomFormatTexts CustomFormatDefaults();

// An edit's text as a signed decimal number: leading blanks and a sign are
// taken, conversion stops at the first non-digit, no digits give 0. Only the
// first 31 characters count, as the fields have always been read.
int32_t ParseDecimalField(std::string_view text);
// The media byte's text: its leading hexadecimal digits, 0 when it has none.
uint32_t ParseMediaByteField(std::string_view text);

// The row the texts describe (descriptionId 0, media kind unknown).
DiskFormat ParseCustomFormat(const CustomFormatTexts& texts);

// The "Capacity" figures in KB, each rounded up to whole KB.
struct CustomCapacity {
    uint64_t totalKb = 0;      // totalSectors × 512
    uint64_t formattedKb = 0;  // whole data clusters × cluster size; 0 when none fits
};
CustomCapacity ComputeCustomCapacity(const DiskFormat& row);

// Why OK refuses a row.
enum class CustomFormatVerdict {
    kAccepted,
    kZeroCapacity,   // a capacity figure is 0
    kZeroFatField,   // 0 FATs, sectors per FAT or sectors per cluster
    kNoTracks,       // 0 heads or sectors per track
    kFieldTooLarge,  // a value larger than its boot-sector field
    // No FAT12 disk to other readers:
    kNoBootOrRoot,          // 0 reserved sectors; directory entries 0 or short of a whole sector
    kClusterNotPowerOfTwo,  // sectors per cluster not 1, 2, 4 .. 128
    kBadMediaByte,          // a media byte other than F0, F8 .. FF
    kTooManyClusters,       // 4085 clusters or more make FAT16 (value: the count, limit: 4084)
    kFatTooSmall,           // the FAT cannot hold every cluster (value: clusters, limit: FAT sectors needed)
};
// The field of the row a refusal is about, so that a front end can lead the
// user to it.
enum class CustomFormatField : uint8_t {
    kNone,
    kFatCount,
    kTotalSectors,
    kSectorsPerFat,
    kSectorsPerCluster,
    kReservedSectors,
    kHeads,
    kSectorsPerTrack,
    kRootEntries,
    kMediaByte,
};
struct CustomFormatCheck {
    CustomFormatVerdict verdict = CustomFormatVerdict::kAccepted;
    CustomFormatField field = CustomFormatField::kNone;
    std::string value;  // kFieldTooLarge: the value, as it was typed in effect; or a cluster count
    std::string limit;  // kFieldTooLarge: the field's largest value; or the count's limit
};
CustomFormatCheck ValidateCustomFormat(const DiskFormat& row);

// What the user is told of a row that is refused: the notice of its first
// fault and the field it concerns. Nothing for an accepted row.
struct CustomFormatRefusal {
    Notice notice;
    CustomFormatField field = CustomFormatField::kNone;
};
std::optional<CustomFormatRefusal> RefuseCustomFormat(const DiskFormat& row);

// Stores an accepted `row` as the custom row of the format table.
void StoreCustomFormat(const DiskFormat& row);

}  // namespace vk
