// Partition tables of hard-disk and memory-card images: the MBR with its four
// primary entries and the logical partitions chained in an extended one, and
// the older MSX-IDE table. Reading one never leaves the image and ends on
// any chain; a table that makes no sense is listed with what is wrong with it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vk {

// The partition sector (MBR, or an extended boot record in a chain).
constexpr uint32_t kPartitionSectorSize = 512;
constexpr uint32_t kMbrEntries = 0x1BE;           // four 16-byte entries
constexpr uint32_t kMbrEntryCount = 4;
constexpr uint32_t kMbrSignature = 0x1FE;         // 0x55, 0xAA
constexpr uint32_t kMbrDiskId = 0x1B8;            // 32 bits, written by some tools

// One 16-byte entry.
constexpr uint32_t kPartitionEntrySize = 16;
constexpr uint32_t kPeBootFlag = 0x00;            // 0x80 active, 0x00 not
constexpr uint32_t kPeFirstChs = 0x01;            // 3 bytes
constexpr uint32_t kPeType = 0x04;
constexpr uint32_t kPeLastChs = 0x05;             // 3 bytes
constexpr uint32_t kPeStartSector = 0x08;         // 32 bits: from the table's sector (see below)
constexpr uint32_t kPeSectorCount = 0x0C;         // 32 bits
constexpr uint8_t kBootFlagActive = 0x80;

// Partition types.
constexpr uint8_t kTypeEmpty = 0x00;
constexpr uint8_t kTypeFat12 = 0x01;
constexpr uint8_t kTypeFat16Small = 0x04;         // FAT16 below 32 MB
constexpr uint8_t kTypeExtended = 0x05;
constexpr uint8_t kTypeFat16 = 0x06;
constexpr uint8_t kTypeFat16Lba = 0x0E;
constexpr uint8_t kTypeExtendedLba = 0x0F;

// The MSX-IDE table: sector 0 begins with a jump and this text at 0x03, and
// keeps its entries in the MBR's slots numbered from the last down
// (partition 1 at 0x1EE, 2 at 0x1DE, ...). Its partitions are FAT12.
constexpr uint32_t kMsxIdeMagicAt = 0x03;
constexpr char kMsxIdeMagic[] = "MSX_IDE ";       // 8 bytes, no terminator on disk
constexpr uint32_t kMsxIdeMagicLength = 8;
constexpr uint32_t kMsxIdeFirstEntry = 0x1EE;
constexpr uint64_t kMsxIdeMaxSectors = 32ull * 1024 * 1024 / kPartitionSectorSize;

// A logical partition's start counts from its own extended boot record; the
// link to the next record counts from the start of the outermost extended
// partition. Walks stop after this many logical partitions.
constexpr uint32_t kMaxLogicalPartitions = 128;

inline bool IsExtendedType(uint8_t type) { return type == kTypeExtended || type == kTypeExtendedLba; }
inline bool IsFatType(uint8_t type) {
    return type == kTypeFat12 || type == kTypeFat16Small || type == kTypeFat16 || type == kTypeFat16Lba;
}

enum class PartitionTableKind : uint8_t {
    kNone,    // no table: a floppy, or a volume from sector 0 of a large image
    kMbr,
    kMsxIde,
};

struct PartitionEntry {
    uint32_t number = 0;       // from 1, as MSX-DOS counts them: primaries in slot order, then logicals
    uint8_t type = 0;
    bool logical = false;      // inside the extended partition
    bool active = false;       // boot flag 0x80
    uint64_t startSector = 0;  // from the image's first sector
    uint64_t sectorCount = 0;
};

// What makes a table make no sense: the first fault found.
enum class PartitionFault : uint8_t {
    kNone,
    kPastEnd,           // `partition` reaches past the end of the image
    kOverlap,           // `partition` overlaps another one or a partition-table sector
    kOutsideExtended,   // logical `partition` reaches outside its extended partition
    kChainLoop,         // the chain of extended boot records comes back to a record (after `partition`)
    kChainOutside,      // a link of the chain points outside the image or the extended partition
    kChainTooLong,      // more than kMaxLogicalPartitions logical partitions
};

struct PartitionTable {
    PartitionTableKind kind = PartitionTableKind::kNone;
    std::vector<PartitionEntry> partitions;
    PartitionFault fault = PartitionFault::kNone;
    uint32_t faultPartition = 0;  // the partition the fault names; 0 when it lies before the first one

    bool HasTable() const { return kind != PartitionTableKind::kNone; }
    // The partition numbered `number`, or nullptr.
    const PartitionEntry* Find(uint32_t number) const;
};

// Reads sector `sector` (512 bytes) into `out`; false when it cannot be read.
using SectorReader = std::function<bool(uint64_t sector, uint8_t* out)>;

// Reads the table of an image of `imageSectors` sectors. Sector 0 holds an
// MSX-IDE table when it says so, an MBR when it carries the signature, no
// FAT boot sector and at least one entry that is used and well formed;
// anything else has no table. Never asks for a sector at or past
// `imageSectors`.
PartitionTable ReadPartitionTable(const SectorReader& read, uint64_t imageSectors);
// The same over the image's bytes in memory.
PartitionTable ReadPartitionTable(const uint8_t* image, uint64_t size);

// The name of a partition type: "FAT12", "FAT16", "extended", or its number in hex.
std::string PartitionTypeName(uint8_t type);

// The table to write for new partitions of `sizes` sectors each, laid one
// after the other from sector `firstSector` on (at least 1), `types` giving
// each one's type. An MBR takes up to four primaries; with more, the first
// three are primary and the rest are logical partitions chained in an
// extended partition in the fourth slot, each behind its own extended boot
// record (the sector before it). The MSX-IDE table takes up to four FAT12
// partitions (type 0x01) of at most 32 MB. False, the plan empty, for what
// the table cannot hold.
struct TableSector {
    uint64_t sector = 0;
    std::vector<uint8_t> bytes;  // 512
};
struct PartitionPlan {
    std::vector<TableSector> sectors;        // sector 0 first, then each extended boot record
    std::vector<PartitionEntry> partitions;  // as ReadPartitionTable will list them
    uint64_t totalSectors = 0;               // the image's length: the end of the last partition
};
bool MakePartitionTable(PartitionTableKind kind, const std::vector<uint64_t>& sizes,
                        const std::vector<uint8_t>& types, uint64_t firstSector, PartitionPlan& plan);

// The type a FAT partition of `sectors` sectors gets: 0x01 for FAT12, 0x04
// for a FAT16 one below 65536 sectors, 0x06 above.
uint8_t FatPartitionType(uint32_t fatBits, uint64_t sectors);

}  // namespace vk
