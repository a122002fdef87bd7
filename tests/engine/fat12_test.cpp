// The FAT12 layer on real 720K and 1.44M images: packing, allocation, freeing,
// counting, and chains damaged in every way a reader must survive.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "engine/common/bytes.h"
#include "engine/core/new_image.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/dir/entry_chain.h"
#include "engine/fat/table/fat12.h"
#include "tests/support/test_files.h"

namespace vk {
namespace {

class Fat12Test : public test::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ASSERT_TRUE(test::Shown(CreateEmptyImage(doc, 0xF9, kBootMsDos6), test::TestOwner()));
        layout = doc.GetLayout();
    }
    uint8_t* Area() { return doc.Area(); }
    uint32_t Length() { return doc.AreaLength(); }
    uint32_t Read(uint32_t n) { return ReadFatEntry(ConstVolume(layout, Area(), Length()), n); }
    void Write(uint32_t n, uint32_t v) { ASSERT_TRUE(WriteFatEntry(Volume(layout, Area(), Length()), n, v)); }
    // Links the clusters in order and ends the chain with 0xFFF.
    void Chain(const std::vector<uint32_t>& clusters) {
        for (size_t i = 0; i < clusters.size(); ++i) {
            Write(clusters[i], i + 1 < clusters.size() ? clusters[i + 1] : kFatEnd);
        }
    }
    // A directory entry in root slot `slot` whose chain starts at `first`.
    uint32_t Entry(uint32_t slot, uint32_t first) {
        const uint32_t offset = static_cast<uint32_t>(layout.rootStart) + slot * kDirEntrySize;
        std::memcpy(Area() + offset, "FILE    BIN", 11);
        Store16(Area() + offset + kDirFirstCluster, first);
        return offset;
    }
    std::vector<uint32_t> Walk(uint32_t first, ChainState& end) {
        std::vector<uint32_t> seen;
        ChainWalker walk(ConstVolume(layout, Area(), Length()), first);
        for (; walk.State() == ChainState::kCluster; walk.Advance()) seen.push_back(walk.Cluster());
        end = walk.State();
        return seen;
    }
    Layout layout;
};

TEST_F(Fat12Test, LayoutOf720KMatchesTheWorkedValues) {
    EXPECT_EQ(layout.rootStart, 3584u);
    EXPECT_EQ(layout.ClusterOffset(2), 7168u);
    EXPECT_EQ(layout.lastCluster, 714u);
}

TEST_F(Fat12Test, EvenAndOddEntriesShareTheMiddleByte) {
    Write(2, 0x003);
    Write(3, 0xFFF);
    EXPECT_EQ(Area()[515], 0x03);
    EXPECT_EQ(Area()[516], 0xF0);
    EXPECT_EQ(Area()[517], 0xFF);
    // Rewriting either leaves the other's twelve bits alone.
    Write(2, 0xABC);
    EXPECT_EQ(Read(3), 0xFFFu);
    Write(3, 0x123);
    EXPECT_EQ(Read(2), 0xABCu);
    EXPECT_EQ(Area()[516], 0x3A);
    // Entries 3 and 4 share no byte.
    Write(4, 0xFFF);
    EXPECT_EQ(Read(3), 0x123u);
    EXPECT_EQ(Area()[518], 0xFF);
    EXPECT_EQ(Area()[519] & 0x0F, 0x0F);
}

TEST_F(Fat12Test, EntriesBeyondTheAreaReadAsEndAndRefuseWrites) {
    const uint32_t shortLength = 512 + 6;  // entries 0..3 fit, entry 4 starts at byte 518
    EXPECT_EQ(ReadFatEntry(ConstVolume(layout, Area(), shortLength), 4), kFatEnd);
    Write(4, 0x005);
    const std::vector<uint8_t> before(Area(), Area() + Length());
    EXPECT_FALSE(WriteFatEntry(Volume(layout, Area(), shortLength), 4, 0x000));
    // Past FAT copy 1 nothing is written either, whatever the area holds.
    EXPECT_FALSE(WriteFatEntry(Volume(layout, Area(), Length()), 0xFFF, 0x000));
    EXPECT_EQ(std::vector<uint8_t>(Area(), Area() + Length()), before);
}

TEST_F(Fat12Test, FirstFitHandsOutAscendingClustersAndRefillsGaps) {
    for (uint32_t want = 2; want <= 9; ++want) {
        const uint32_t got = FindFreeCluster(ConstVolume(layout, Area(), Length()));
        EXPECT_EQ(got, want);
        Write(got, kFatEnd);
    }
    Chain({5, 6});
    FreeChain(Volume(layout, Area(), Length()), Entry(0, 5));
    EXPECT_EQ(Read(4), kFatEnd) << "neighbours of the freed chain stay";
    for (uint32_t want : {5u, 6u, 10u}) {
        EXPECT_EQ(FindFreeCluster(ConstVolume(layout, Area(), Length())), want);
        Write(want, kFatEnd);
    }
}

TEST_F(Fat12Test, FullDiskHasNoFreeClusterAnd713Used) {
    for (uint32_t n = 2; n <= layout.lastCluster; ++n) Write(n, kFatEnd);
    EXPECT_EQ(FindFreeCluster(ConstVolume(layout, Area(), Length())), 0u);
    const ClusterCounts counts = CountClusters(ConstVolume(layout, Area(), Length()));
    EXPECT_EQ(counts.used, 713u);
    EXPECT_EQ(counts.free, 0u);
}

TEST_F(Fat12Test, CountClustersTakesEveryNonZeroValueAsUsed) {
    Write(2, 0x001);
    Write(3, kFatBadCluster);
    Write(4, 0xFF0);
    Write(5, 0x999);
    const ClusterCounts counts = CountClusters(ConstVolume(layout, Area(), Length()));
    EXPECT_EQ(counts.used, 4u);
    EXPECT_EQ(counts.free, 713u - 4u);
}

struct FreeCase {
    const char* name;
    std::vector<uint32_t> chain;  // linked in order
    uint32_t lastLink;            // what the last cluster holds
    std::vector<uint32_t> freed;
};

TEST_F(Fat12Test, FreeChainStopsAtEveryKindOfEnd) {
    const FreeCase cases[] = {
        {"end mark FF8", {2, 3, 4}, 0xFF8, {2, 3, 4}},
        {"end mark FFF", {2, 3}, 0xFFF, {2, 3}},
        {"link to free cluster", {2, 3}, 0x000, {2, 3}},
        {"link to 1", {2, 3}, 0x001, {2, 3}},
        {"bad-cluster mark", {2, 3}, kFatBadCluster, {2, 3}},
        {"beyond last cluster", {2, 3}, 715, {2, 3}},
        {"cycle back to start", {2, 3, 4}, 2, {2, 3, 4}},
        {"self link", {7}, 7, {7}},
    };
    for (const FreeCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (uint32_t n = 2; n <= 20; ++n) Write(n, 0);
        Write(10, kFatEnd);  // another file, which must stay
        for (size_t i = 0; i + 1 < c.chain.size(); ++i) Write(c.chain[i], c.chain[i + 1]);
        Write(c.chain.back(), c.lastLink);
        const uint32_t e = Entry(0, c.chain.front());
        FreeChain(Volume(layout, Area(), Length()), e);
        for (uint32_t n : c.freed) EXPECT_EQ(Read(n), 0u) << n;
        EXPECT_EQ(Read(10), kFatEnd);
        EXPECT_EQ(Area()[e], kEntryDeleted);
        EXPECT_EQ(Load16(Area() + e + kDirFirstCluster), c.chain.front()) << "other fields stay";
    }
}

TEST_F(Fat12Test, FreeChainOfAnEmptyFileOnlyMarksTheEntry) {
    Write(2, kFatEnd);
    const std::vector<uint8_t> fatBefore(Area() + layout.fatStart, Area() + layout.fatStart + layout.fatBytes);
    const uint32_t e = Entry(3, 0);
    FreeChain(Volume(layout, Area(), Length()), e);
    EXPECT_EQ(std::vector<uint8_t>(Area() + layout.fatStart, Area() + layout.fatStart + layout.fatBytes), fatBefore);
    EXPECT_EQ(Area()[e], kEntryDeleted);
}

TEST_F(Fat12Test, WalkerNamesTheEndOfEveryChain) {
    ChainState end;
    Chain({2, 5, 3});
    EXPECT_EQ(Walk(2, end), (std::vector<uint32_t>{2, 5, 3}));
    EXPECT_EQ(end, ChainState::kEnd);

    Write(3, 5);  // 2 -> 5 -> 3 -> 5: a cycle
    EXPECT_EQ(Walk(2, end), (std::vector<uint32_t>{2, 5, 3}));
    EXPECT_EQ(end, ChainState::kBroken);

    for (uint32_t bad : {0u, 1u, kFatBadCluster, 715u, 0xFF0u}) {
        SCOPED_TRACE(bad);
        Write(3, bad);
        EXPECT_EQ(Walk(2, end).size(), 3u);
        EXPECT_EQ(end, ChainState::kBroken);
        EXPECT_TRUE(Walk(bad, end).empty());
        EXPECT_EQ(end, ChainState::kBroken);
    }
    EXPECT_TRUE(Walk(kFatEnd, end).empty());
    EXPECT_EQ(end, ChainState::kEnd);
}

TEST(Fat12Layout, LastClusterIsLimitedByTheFatCopy) {
    // 2880 sectors of one sector per cluster need more than one FAT sector.
    DiskFormat g;
    g.fatCount = 2;
    g.totalSectors = 2880;
    g.sectorsPerFat = 1;
    g.sectorsPerCluster = 1;
    g.reservedSectors = 1;
    g.rootEntries = 224;
    const Layout layout = ComputeLayout(g);
    EXPECT_EQ(layout.lastCluster, 340u);
    std::vector<uint8_t> area(2880 * 512, 0);
    for (uint32_t n = 2; n <= layout.lastCluster; ++n) {
        ASSERT_TRUE(WriteFatEntry(Volume(layout, area.data(), static_cast<uint32_t>(area.size())), n, kFatEnd));
    }
    EXPECT_EQ(FindFreeCluster(ConstVolume(layout, area.data(), static_cast<uint32_t>(area.size()))), 0u);
    // The FAT copy 2 that follows was not written into.
    EXPECT_EQ(area[512 + 512], 0);
}

}  // namespace
}  // namespace vk
