#include "engine/core/partition_table.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <set>

#include "engine/common/bytes.h"

namespace vk {
namespace {

using Sector = std::array<uint8_t, kPartitionSectorSize>;

constexpr uint8_t kSignature[2] = {0x55, 0xAA};
constexpr uint64_t kMaxEntryValue = 0xFFFFFFFFull;

// The boot sector fields that tell a FAT volume at sector 0 from a table.
constexpr uint32_t kBpbBytesPerSectorAt = 0x0B;
constexpr uint32_t kBpbSectorsPerClusterAt = 0x0D;
constexpr uint32_t kBpbReservedAt = 0x0E;
constexpr uint32_t kBpbFatCountAt = 0x10;
constexpr uint32_t kBpbMediaAt = 0x15;

// The jumps a boot sector begins with: x86 short and near, Z80 relative.
constexpr uint8_t kJumps[] = {0xEB, 0xE9, 0x18};

// CHS fields of an entry for a sector beyond what CHS can address.
constexpr uint32_t kChsHeads = 255;
constexpr uint32_t kChsSectors = 63;
constexpr uint32_t kChsMaxCylinder = 1023;

bool HasSignature(const Sector& s) { return s[kMbrSignature] == kSignature[0] && s[kMbrSignature + 1] == kSignature[1]; }

bool IsMsxIde(const Sector& s) {
    return std::find(std::begin(kJumps), std::end(kJumps), s[0]) != std::end(kJumps) &&
           std::memcmp(s.data() + kMsxIdeMagicAt, kMsxIdeMagic, kMsxIdeMagicLength) == 0;
}

bool IsFatBootSector(const Sector& s) {
    const uint32_t spc = s[kBpbSectorsPerClusterAt];
    return Load16(s.data() + kBpbBytesPerSectorAt) == kPartitionSectorSize && spc != 0 && (spc & (spc - 1)) == 0 &&
           Load16(s.data() + kBpbReservedAt) != 0 && s[kBpbFatCountAt] >= 1 &&
           s[kBpbMediaAt] >= 0xF0;
}

struct RawEntry {
    uint8_t flag = 0;
    uint8_t type = 0;
    uint64_t start = 0;
    uint64_t count = 0;
    bool Used() const { return type != kTypeEmpty && count != 0; }
};

RawEntry EntryAt(const Sector& s, uint32_t offset) {
    const uint8_t* e = s.data() + offset;
    return RawEntry{e[kPeBootFlag], e[kPeType], Load32(e + kPeStartSector), Load32(e + kPeSectorCount)};
}

bool IsMbr(const Sector& s) {
    if (!HasSignature(s) || IsFatBootSector(s)) return false;
    uint32_t used = 0;
    bool fromSectorZero = false;
    for (uint32_t slot = 0; slot < kMbrEntryCount; ++slot) {
        const RawEntry e = EntryAt(s, kMbrEntries + slot * kPartitionEntrySize);
        if (e.flag != 0 && e.flag != kBootFlagActive) return false;
        used += e.Used() ? 1 : 0;
        fromSectorZero = fromSectorZero || (e.Used() && e.start == 0);
    }
    // One entry over the whole disk from sector 0 on (mtools writes one) says
    // that sector 0 is the disk's own boot sector, even one whose BPB is
    // damaged: no table.
    return used > 1 || (used == 1 && !fromSectorZero);
}

void SetFault(PartitionTable& table, PartitionFault fault, uint32_t partition) {
    if (table.fault == PartitionFault::kNone) {
        table.fault = fault;
        table.faultPartition = partition;
    }
}

uint32_t LastNumber(const PartitionTable& table) {
    return table.partitions.empty() ? 0 : table.partitions.back().number;
}

void Add(PartitionTable& table, const RawEntry& e, uint64_t start, bool logical) {
    PartitionEntry p;
    p.number = LastNumber(table) + 1;
    p.type = e.type;
    p.logical = logical;
    p.active = e.flag == kBootFlagActive;
    p.startSector = start;
    p.sectorCount = e.count;
    table.partitions.push_back(p);
}

// Follows the chain of extended boot records from the extended partition's
// first sector, each record once, none outside the extended partition or
// the image. `records` gets the sectors the chain holds.
void WalkExtended(PartitionTable& table, const SectorReader& read, uint64_t imageSectors, const RawEntry& extended,
                  std::vector<uint64_t>& records) {
    const uint64_t first = extended.start;
    const uint64_t end = first + extended.count;
    std::set<uint64_t> seen;
    uint64_t record = first;
    Sector s{};
    for (uint32_t logicals = 0;; ++logicals) {
        if (record < first || record >= end || record >= imageSectors || record == 0) {
            SetFault(table, PartitionFault::kChainOutside, LastNumber(table));
            return;
        }
        if (!seen.insert(record).second) {
            SetFault(table, PartitionFault::kChainLoop, LastNumber(table));
            return;
        }
        if (logicals == kMaxLogicalPartitions) {
            SetFault(table, PartitionFault::kChainTooLong, LastNumber(table));
            return;
        }
        // A record without the signature ends the chain: an extended
        // partition that holds no logical one yet.
        if (!read(record, s.data()) || !HasSignature(s)) return;
        records.push_back(record);
        const RawEntry logical = EntryAt(s, kMbrEntries);
        if (logical.Used()) {
            Add(table, logical, record + logical.start, true);
            const PartitionEntry& p = table.partitions.back();
            if (p.startSector < first || p.startSector + p.sectorCount > end) {
                SetFault(table, PartitionFault::kOutsideExtended, p.number);
            }
        }
        const RawEntry link = EntryAt(s, kMbrEntries + kPartitionEntrySize);
        if (!IsExtendedType(link.type) || link.count == 0) return;
        record = first + link.start;
    }
}

// Partitions past the image's end or over each other or over a table's sector.
void JudgeExtents(PartitionTable& table, uint64_t imageSectors, const std::vector<uint64_t>& records) {
    struct Extent {
        uint64_t start;
        uint64_t count;
        uint32_t number;  // 0: a table's sector
    };
    std::vector<Extent> extents;
    extents.push_back({0, 1, 0});
    for (uint64_t record : records) extents.push_back({record, 1, 0});
    for (const PartitionEntry& p : table.partitions) {
        if (p.startSector + p.sectorCount > imageSectors) {
            SetFault(table, PartitionFault::kPastEnd, p.number);
        }
        extents.push_back({p.startSector, p.sectorCount, p.number});
    }
    std::sort(extents.begin(), extents.end(),
              [](const Extent& a, const Extent& b) { return a.start < b.start || (a.start == b.start && a.number < b.number); });
    for (size_t i = 1; i < extents.size(); ++i) {
        const Extent& before = extents[i - 1];
        const Extent& after = extents[i];
        if (before.start + before.count > after.start) {
            SetFault(table, PartitionFault::kOverlap, after.number != 0 ? after.number : before.number);
        }
    }
}

void PutChs(uint8_t* at, uint64_t sector) {
    uint64_t cylinder = sector / (kChsHeads * kChsSectors);
    uint32_t head = static_cast<uint32_t>(sector / kChsSectors % kChsHeads);
    uint32_t sec = static_cast<uint32_t>(sector % kChsSectors) + 1;
    if (cylinder > kChsMaxCylinder) {
        cylinder = kChsMaxCylinder;
        head = kChsHeads - 1;
        sec = kChsSectors;
    }
    at[0] = static_cast<uint8_t>(head);
    at[1] = static_cast<uint8_t>(sec | ((cylinder >> 2) & 0xC0));
    at[2] = static_cast<uint8_t>(cylinder);
}

// Writes one entry; `base` is the sector its start counts from.
void PutEntry(uint8_t* at, uint8_t type, uint64_t start, uint64_t count, uint64_t base) {
    at[kPeBootFlag] = 0;
    at[kPeType] = type;
    PutChs(at + kPeFirstChs, start);
    PutChs(at + kPeLastChs, start + count - 1);
    Store32(at + kPeStartSector, static_cast<uint32_t>(start - base));
    Store32(at + kPeSectorCount, static_cast<uint32_t>(count));
}

TableSector NewTableSector(uint64_t sector) {
    TableSector t;
    t.sector = sector;
    t.bytes.assign(kPartitionSectorSize, 0);
    t.bytes[kMbrSignature] = kSignature[0];
    t.bytes[kMbrSignature + 1] = kSignature[1];
    return t;
}

PartitionEntry Planned(uint32_t number, uint8_t type, uint64_t start, uint64_t count, bool logical) {
    PartitionEntry p;
    p.number = number;
    p.type = type;
    p.logical = logical;
    p.startSector = start;
    p.sectorCount = count;
    return p;
}

}  // namespace

const PartitionEntry* PartitionTable::Find(uint32_t number) const {
    for (const PartitionEntry& p : partitions) {
        if (p.number == number) return &p;
    }
    return nullptr;
}

PartitionTable ReadPartitionTable(const SectorReader& read, uint64_t imageSectors) {
    PartitionTable table;
    Sector s{};
    if (imageSectors == 0 || !read(0, s.data())) return table;
    std::vector<uint64_t> records;
    if (IsMsxIde(s)) {
        table.kind = PartitionTableKind::kMsxIde;
        for (uint32_t slot = 0; slot < kMbrEntryCount; ++slot) {
            const RawEntry e = EntryAt(s, kMsxIdeFirstEntry - slot * kPartitionEntrySize);
            if (e.Used()) Add(table, e, e.start, false);
        }
    } else if (IsMbr(s)) {
        table.kind = PartitionTableKind::kMbr;
        RawEntry extended;
        for (uint32_t slot = 0; slot < kMbrEntryCount; ++slot) {
            const RawEntry e = EntryAt(s, kMbrEntries + slot * kPartitionEntrySize);
            if (!e.Used()) continue;
            if (IsExtendedType(e.type)) {
                if (extended.count == 0) extended = e;  // one extended partition; DOS knows no second
                continue;
            }
            Add(table, e, e.start, false);
        }
        if (extended.count != 0) WalkExtended(table, read, imageSectors, extended, records);
    } else {
        return table;
    }
    JudgeExtents(table, imageSectors, records);
    return table;
}

PartitionTable ReadPartitionTable(const uint8_t* image, uint64_t size) {
    const uint64_t sectors = size / kPartitionSectorSize;
    return ReadPartitionTable(
        [&](uint64_t sector, uint8_t* out) {
            if (sector >= sectors) return false;
            std::memcpy(out, image + sector * kPartitionSectorSize, kPartitionSectorSize);
            return true;
        },
        sectors);
}

std::string PartitionTypeName(uint8_t type) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", type);
    if (type == kTypeFat12) return std::string("FAT12 (") + hex + ")";
    if (type == kTypeFat16Small || type == kTypeFat16 || type == kTypeFat16Lba) return std::string("FAT16 (") + hex + ")";
    if (IsExtendedType(type)) return std::string("extended (") + hex + ")";
    return hex;
}

uint8_t FatPartitionType(uint32_t fatBits, uint64_t sectors) {
    if (fatBits == 12) return kTypeFat12;
    return sectors < 0x10000 ? kTypeFat16Small : kTypeFat16;
}

bool MakePartitionTable(PartitionTableKind kind, const std::vector<uint64_t>& sizes,
                        const std::vector<uint8_t>& types, uint64_t firstSector, PartitionPlan& plan) {
    plan = PartitionPlan();
    const size_t n = sizes.size();
    if (n == 0 || types.size() != n || firstSector == 0 || kind == PartitionTableKind::kNone) return false;
    for (size_t i = 0; i < n; ++i) {
        if (sizes[i] == 0 || types[i] == kTypeEmpty || IsExtendedType(types[i])) return false;
        if (kind == PartitionTableKind::kMsxIde && (types[i] != kTypeFat12 || sizes[i] > kMsxIdeMaxSectors)) return false;
    }
    if (kind == PartitionTableKind::kMsxIde && n > kMbrEntryCount) return false;

    TableSector zero = NewTableSector(0);
    const size_t primaries = n <= kMbrEntryCount ? n : kMbrEntryCount - 1;
    uint64_t cursor = firstSector;
    for (size_t i = 0; i < primaries; ++i) {
        const uint32_t at = kind == PartitionTableKind::kMsxIde
                                ? kMsxIdeFirstEntry - static_cast<uint32_t>(i) * kPartitionEntrySize
                                : kMbrEntries + static_cast<uint32_t>(i) * kPartitionEntrySize;
        PutEntry(zero.bytes.data() + at, types[i], cursor, sizes[i], 0);
        plan.partitions.push_back(Planned(static_cast<uint32_t>(i + 1), types[i], cursor, sizes[i], false));
        cursor += sizes[i];
    }
    if (kind == PartitionTableKind::kMsxIde) {
        zero.bytes[0] = 0xEB;
        zero.bytes[1] = 0xFE;
        zero.bytes[2] = 0x90;
        std::memcpy(zero.bytes.data() + kMsxIdeMagicAt, kMsxIdeMagic, kMsxIdeMagicLength);
    }
    plan.sectors.push_back(zero);
    if (n > primaries) {
        // Each logical partition sits right behind its record; the extended
        // partition holds the records and the logicals, nothing else.
        const uint64_t extendedStart = cursor;
        uint64_t extendedCount = 0;
        for (size_t i = primaries; i < n; ++i) extendedCount += 1 + sizes[i];
        if (extendedStart + extendedCount > kMaxEntryValue) {
            plan = PartitionPlan();
            return false;
        }
        PutEntry(plan.sectors[0].bytes.data() + kMbrEntries + static_cast<uint32_t>(primaries) * kPartitionEntrySize,
                 kTypeExtended, extendedStart, extendedCount, 0);
        for (size_t i = primaries; i < n; ++i) {
            TableSector record = NewTableSector(cursor);
            PutEntry(record.bytes.data() + kMbrEntries, types[i], cursor + 1, sizes[i], cursor);
            const uint64_t next = cursor + 1 + sizes[i];
            if (i + 1 < n) {
                PutEntry(record.bytes.data() + kMbrEntries + kPartitionEntrySize, kTypeExtended, next,
                         1 + sizes[i + 1], extendedStart);
            }
            plan.partitions.push_back(Planned(static_cast<uint32_t>(i + 1), types[i], cursor + 1, sizes[i], true));
            plan.sectors.push_back(std::move(record));
            cursor = next;
        }
    }
    if (cursor > kMaxEntryValue + 1) {
        plan = PartitionPlan();
        return false;
    }
    plan.totalSectors = cursor;
    return true;
}

}  // namespace vk
