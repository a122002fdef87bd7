// One walk over the slots of the root or of a subdirectory's chain, and the
// long name in front of an entry wherever its slots lie.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "engine/fat/dir/long_names.h"
#include "tests/engine/folder_fixture.h"

namespace vk {
namespace {

class DirWalkTest : public test::FolderTest {
protected:
    std::vector<uint32_t> Walk(DirRef dir, uint32_t length, DirWalkEnd& end, uint32_t stopAt = 0) {
        std::vector<uint32_t> offsets;
        end = WalkDirectory(ConstVolume(layout, Area(), length), dir, [&](uint32_t offset) {
            offsets.push_back(offset);
            return offset != stopAt;
        });
        return offsets;
    }
    // Slots `from` .. `to` - 1 of `cluster`.
    std::vector<uint32_t> Slots(uint32_t cluster, uint32_t from, uint32_t to) const {
        std::vector<uint32_t> offsets;
        for (uint32_t k = from; k < to; ++k) offsets.push_back(layout.ClusterOffset(cluster) + k * kDirEntrySize);
        return offsets;
    }
};

TEST_F(DirWalkTest, RootGivesWhatTheRootWalkGives) {
    for (const char* name : {"FILE       ", "\xE5OLD       ", "FILE       "}) PutFile(kRootDir, name);
    for (bool full : {false, true}) {
        if (full) Fill(kRootDir);
        std::vector<uint32_t> rootOffsets;
        const RootWalkEnd root = WalkRootEntries(ConstVolume(layout, Area(), Length()), [&](uint32_t offset) {
            rootOffsets.push_back(offset);
            return true;
        });
        DirWalkEnd end;
        EXPECT_EQ(Walk(kRootDir, Length(), end), rootOffsets);
        EXPECT_EQ(end.index, root.index);
        EXPECT_EQ(end.offset, root.offset);
        EXPECT_EQ(end.neverUsed, root.neverUsed);
    }
}

TEST_F(DirWalkTest, FolderGivesEverySlotOfEveryClusterInOrder) {
    const uint32_t per = SlotsPerCluster();
    const DirRef a = Mkdir(kRootDir, "", "A");
    for (uint32_t i = 0; i < per + 8; ++i) PutFile(a, "FILE    TXT");  // after the two dot entries
    const std::vector<uint32_t> chain = ChainOf(a);
    ASSERT_EQ(chain.size(), 2u);
    std::vector<uint32_t> want = Slots(chain[0], 0, per);
    for (uint32_t offset : Slots(chain[1], 0, 10)) want.push_back(offset);

    DirWalkEnd end;
    EXPECT_EQ(Walk(a, Length(), end), want);
    EXPECT_TRUE(end.neverUsed);
    EXPECT_EQ(end.offset, Slots(chain[1], 10, 11).front());
    EXPECT_EQ(end.index, per + 10);
    EXPECT_EQ(end.lastCluster, chain[1]);
    EXPECT_EQ(Walk(a, Length(), end, want[per + 3]).size(), per + 4);
    EXPECT_EQ(end.offset, want[per + 3]);

    // A cluster that does not lie whole inside the image ends the walk before it.
    EXPECT_EQ(Walk(a, static_cast<uint32_t>(layout.ClusterOffset(chain[1])) + 100, end).size(), per);
    EXPECT_TRUE(end.broken);
    EXPECT_EQ(end.offset, 0u);
}

TEST_F(DirWalkTest, LongNameSlotsSpanTwoClusters) {
    const DirRef a = Mkdir(kRootDir, "", "A");
    while (ChainOf(a).size() == 1) PutFile(a, "LONG~1  TXT");
    const std::vector<uint32_t> chain = ChainOf(a);
    const uint32_t part2 = Slots(chain[0], SlotsPerCluster() - 1, SlotsPerCluster()).front();
    const uint32_t part1 = Slots(chain[1], 0, 1).front();
    const uint32_t shortEntry = PutFile(a, "LONG~1  TXT");
    const uint8_t sum = ShortNameChecksum(Area() + shortEntry);
    test::WriteLongNameEntry(Area() + part2, kLongNameLastFlag | 2, sum);
    test::WriteLongNameEntry(Area() + part1, 1, sum);
    EXPECT_EQ(LongNameSlots(ConstVolume(layout, Area(), Length()), a, shortEntry), (std::vector<uint32_t>{part2, part1}));
    Area()[part2] = kEntryDeleted;
    EXPECT_EQ(LongNameSlots(ConstVolume(layout, Area(), Length()), a, shortEntry), std::vector<uint32_t>{part1});
    EXPECT_TRUE(LongNameSlots(ConstVolume(layout, Area(), Length()), kRootDir, shortEntry).empty());
}

}  // namespace
}  // namespace vk
