#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "engine/common/bytes.h"
#include "engine/core/partition_table.h"

namespace vk::test {
namespace {

using Bytes = std::vector<uint8_t>;

// An image holding the plan's table sectors, `extra` sectors past its end.
Bytes ImageOf(const PartitionPlan& plan, int64_t extra = 0) {
    Bytes image(static_cast<size_t>((plan.totalSectors + extra) * kPartitionSectorSize));
    for (const TableSector& s : plan.sectors) {
        std::memcpy(image.data() + s.sector * kPartitionSectorSize, s.bytes.data(), kPartitionSectorSize);
    }
    return image;
}

PartitionPlan Plan(PartitionTableKind kind, const std::vector<uint64_t>& sizes) {
    PartitionPlan plan;
    EXPECT_TRUE(MakePartitionTable(kind, sizes, std::vector<uint8_t>(sizes.size(), kTypeFat12), 1, plan));
    return plan;
}

void ExpectSameEntries(const std::vector<PartitionEntry>& read, const std::vector<PartitionEntry>& planned) {
    ASSERT_EQ(read.size(), planned.size());
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].number, i + 1);
        EXPECT_EQ(read[i].startSector, planned[i].startSector) << "partition " << i + 1;
        EXPECT_EQ(read[i].sectorCount, planned[i].sectorCount) << "partition " << i + 1;
        EXPECT_EQ(read[i].logical, planned[i].logical) << "partition " << i + 1;
        EXPECT_EQ(read[i].type, kTypeFat12);
    }
}

struct RoundTrip {
    const char* name;
    PartitionTableKind kind;
    std::vector<uint64_t> sizes;
    size_t logicals;
};

TEST(PartitionTable, WrittenTablesReadBackAsPlanned) {
    const RoundTrip cases[] = {
        {"one primary", PartitionTableKind::kMbr, {100}, 0},
        {"four primaries", PartitionTableKind::kMbr, {10, 20, 30, 40}, 0},
        {"five: three primaries, two logicals", PartitionTableKind::kMbr, {6144, 20480, 1638, 1638, 1638}, 2},
        {"MSX-IDE, numbered from the last slot", PartitionTableKind::kMsxIde, {65536, 50, 60}, 0},
    };
    for (const RoundTrip& c : cases) {
        SCOPED_TRACE(c.name);
        const PartitionPlan plan = Plan(c.kind, c.sizes);
        const Bytes image = ImageOf(plan);
        const PartitionTable table = ReadPartitionTable(image.data(), image.size());
        EXPECT_EQ(table.kind, c.kind);
        EXPECT_EQ(table.fault, PartitionFault::kNone);
        ExpectSameEntries(table.partitions, plan.partitions);
        size_t logicals = 0;
        for (const PartitionEntry& p : table.partitions) logicals += p.logical;
        EXPECT_EQ(logicals, c.logicals);
    }
}

TEST(PartitionTable, MsxIdePartitionOneSitsInTheLastSlot) {
    const PartitionPlan plan = Plan(PartitionTableKind::kMsxIde, {100, 200});
    const uint8_t* zero = plan.sectors[0].bytes.data();
    EXPECT_EQ(std::memcmp(zero + kMsxIdeMagicAt, "MSX_IDE ", 8), 0);
    EXPECT_EQ(Load32(zero + 0x1EE + kPeSectorCount), 100u);
    EXPECT_EQ(Load32(zero + 0x1DE + kPeSectorCount), 200u);
    EXPECT_EQ(zero[0x1BE + kPeType], kTypeEmpty);
}

TEST(PartitionTable, TablesThatCannotHoldThePartitionsAreNotMade) {
    PartitionPlan plan;
    EXPECT_FALSE(MakePartitionTable(PartitionTableKind::kMsxIde, {kMsxIdeMaxSectors + 1}, {kTypeFat12}, 1, plan));
    EXPECT_FALSE(MakePartitionTable(PartitionTableKind::kMsxIde, {100}, {kTypeFat16}, 1, plan));
    EXPECT_FALSE(MakePartitionTable(PartitionTableKind::kMsxIde, {1, 1, 1, 1, 1}, Bytes(5, kTypeFat12), 1, plan));
    EXPECT_FALSE(MakePartitionTable(PartitionTableKind::kMbr, {0xFFFFFFFFull, 10}, {kTypeFat16, kTypeFat16}, 1, plan));
    EXPECT_FALSE(MakePartitionTable(PartitionTableKind::kMbr, {100}, {kTypeFat12, kTypeFat12}, 1, plan));
    EXPECT_TRUE(plan.sectors.empty());
}

// Faults of tables no tool writes, each made from a sound one by one change.
struct Damage {
    const char* name;
    std::function<void(Bytes&, const PartitionPlan&)> change;
    PartitionFault fault;
    uint32_t partition;
};

TEST(PartitionTable, TablesThatMakeNoSenseAreListedWithTheirFault) {
    const std::vector<uint64_t> sizes = {100, 100, 100, 100, 100, 100};  // logicals 4, 5, 6
    const auto record = [](const PartitionPlan& plan, size_t logical) { return plan.sectors[logical].sector; };
    const auto at = [](uint64_t sector, uint32_t offset) { return static_cast<size_t>(sector * 512 + offset); };
    const Damage cases[] = {
        {"image cut short in the last partition", [](Bytes& b, const PartitionPlan&) { b.resize(b.size() - 512); },
         PartitionFault::kPastEnd, 6},
        {"primary over sector 0",
         [&](Bytes& b, const PartitionPlan&) { Store32(b.data() + at(0, kMbrEntries + 8), 0); },
         PartitionFault::kOverlap, 1},
        {"primary over the next one",
         [&](Bytes& b, const PartitionPlan&) { Store32(b.data() + at(0, kMbrEntries + 12), 150); },
         PartitionFault::kOverlap, 2},
        {"logical reaching past its extended partition",
         [&](Bytes& b, const PartitionPlan& p) { Store32(b.data() + at(record(p, 3), kMbrEntries + 12), 200); },
         PartitionFault::kOutsideExtended, 6},
        {"link back to the first record",
         [&](Bytes& b, const PartitionPlan& p) { Store32(b.data() + at(record(p, 2), kMbrEntries + 24), 0); },
         PartitionFault::kChainLoop, 5},
        {"link past the image",
         [&](Bytes& b, const PartitionPlan& p) { Store32(b.data() + at(record(p, 1), kMbrEntries + 24), 0x7FFFFFFF); },
         PartitionFault::kChainOutside, 4},
        {"extended partition starting past the image",
         [&](Bytes& b, const PartitionPlan&) { Store32(b.data() + at(0, kMbrEntries + 48 + 8), 0x7FFFFFFF); },
         PartitionFault::kChainOutside, 3},
    };
    for (const Damage& c : cases) {
        SCOPED_TRACE(c.name);
        const PartitionPlan plan = Plan(PartitionTableKind::kMbr, sizes);
        Bytes image = ImageOf(plan);
        c.change(image, plan);
        const PartitionTable table = ReadPartitionTable(image.data(), image.size());
        EXPECT_EQ(table.kind, PartitionTableKind::kMbr);
        EXPECT_EQ(table.fault, c.fault);
        EXPECT_EQ(table.faultPartition, c.partition);
    }
}

TEST(PartitionTable, LongChainsEndAfterTheLimit) {
    const PartitionPlan plan = Plan(PartitionTableKind::kMbr, std::vector<uint64_t>(kMaxLogicalPartitions + 10, 1));
    const Bytes image = ImageOf(plan);
    const PartitionTable table = ReadPartitionTable(image.data(), image.size());
    EXPECT_EQ(table.fault, PartitionFault::kChainTooLong);
    EXPECT_EQ(table.partitions.size(), 3 + kMaxLogicalPartitions);
}

TEST(PartitionTable, SectorZeroWithoutATableHasNone) {
    Bytes image(64 * 512);
    EXPECT_FALSE(ReadPartitionTable(image.data(), image.size()).HasTable()) << "zeros";
    // A FAT boot sector at sector 0 of a large image, signature and all,
    // whose bytes at 0x1BE happen to look like an entry.
    image[0] = 0xEB;
    Store16(image.data() + 0x0B, 512);
    image[0x0D] = 4;
    Store16(image.data() + 0x0E, 1);
    image[0x10] = 2;
    image[0x15] = 0xF8;
    image[0x1FE] = 0x55;
    image[0x1FF] = 0xAA;
    image[kMbrEntries + kPeType] = kTypeFat12;
    Store32(image.data() + kMbrEntries + kPeStartSector, 1);
    Store32(image.data() + kMbrEntries + kPeSectorCount, 10);
    EXPECT_FALSE(ReadPartitionTable(image.data(), image.size()).HasTable()) << "superfloppy";
    image[0x0D] = 0;  // no BPB: the entry is a table's
    EXPECT_TRUE(ReadPartitionTable(image.data(), image.size()).HasTable());
    image[kMbrEntries + kPeBootFlag] = 0x41;  // text, not a boot flag
    EXPECT_FALSE(ReadPartitionTable(image.data(), image.size()).HasTable());
}

}  // namespace
}  // namespace vk::test
