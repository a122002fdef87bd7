// The cluster map: who owns each cluster and which damage a walk of the
// tree meets, on small images named after their fault; the guard that
// changes consult; and which boot sectors describe no possible disk.
#include <gtest/gtest.h>

#include <functional>

#include "engine/core/new_image.h"
#include "engine/core/write_safety.h"
#include "engine/fat/ops/cluster_guard.h"
#include "engine/fat/dir/cluster_map.h"
#include "engine/fat/dir/entry_chain.h"
#include "engine/strings/string_ids.h"
#include "tests/engine/folder_fixture.h"

namespace vk::test {
namespace {

using K = DamageKind;

class ClusterMapTest : public FolderTest {
public:  // the fault table's builders use these
    using FolderTest::Area;
    using FolderTest::PutFile;
    using FolderTest::SetFat;
    using FolderTest::layout;
    ClusterMap Map() { return ClusterMap::Build(ConstVolume(layout, Area(), Length())); }
    uint32_t First(uint32_t entry) { return Load16(Area() + entry + kDirFirstCluster); }
    void SetFirst(uint32_t entry, uint32_t cluster) { Store16(Area() + entry + kDirFirstCluster, cluster); }
    void SetSize(uint32_t entry, uint32_t size) { Store32(Area() + entry + kDirSize, size); }
    uint32_t Folder(DirRef parent, const std::string& path, const std::string& name) {
        Mkdir(parent, path, name);
        return EntryIn(parent, name);
    }
};

struct DamageCase {
    const char* name;
    // Builds the fault; returns the entries the first finding must name (entry, other).
    std::function<std::pair<uint32_t, uint32_t>(ClusterMapTest&)> damage;
    std::vector<K> kinds;
};

class DamageKinds : public ClusterMapTest, public testing::WithParamInterface<DamageCase> {};

const DamageCase kDamageCases[] = {
    {"clean_tree",
     [](ClusterMapTest& t) {
         const uint32_t dir = t.Folder(kRootDir, "", "DIR");
         t.PutFile(DirRef{t.First(dir)}, "ONE     BIN", {10, 11});
         return std::make_pair(0u, 0u);
     },
     {}},
    {"cross_link_at_start",
     [](ClusterMapTest& t) {
         const uint32_t one = t.PutFile(kRootDir, "ONE     BIN", {10, 11});
         const uint32_t two = t.PutFile(kRootDir, "TWO     BIN", {20, 21});
         t.SetFirst(two, 10);
         t.SetFat(20, kFatFree);
         t.SetFat(21, kFatFree);
         return std::make_pair(two, one);
     },
     {K::kCrossLink}},
    {"cross_link_in_the_middle",
     [](ClusterMapTest& t) {
         const uint32_t one = t.PutFile(kRootDir, "ONE     BIN", {10, 11, 12});
         const uint32_t two = t.PutFile(kRootDir, "TWO     BIN", {20});
         t.SetFat(20, 11);
         t.SetSize(two, 3 * 1024);
         return std::make_pair(two, one);
     },
     {K::kCrossLink}},
    {"folder_under_two_parents",
     [](ClusterMapTest& t) {
         const DirRef a{t.First(t.Folder(kRootDir, "", "A"))};
         const DirRef b{t.First(t.Folder(kRootDir, "", "B"))};
         const uint32_t sub = t.Folder(a, "A", "SUB");
         const uint32_t sub2 = t.Folder(b, "B", "SUB2");
         t.SetFat(t.First(sub2), kFatFree);
         t.SetFirst(sub2, t.First(sub));
         return std::make_pair(sub2, sub);
     },
     {K::kSharedFolder}},
    {"file_on_a_folder_cluster",
     [](ClusterMapTest& t) {
         const uint32_t dir = t.Folder(kRootDir, "", "DIR");
         const uint32_t file = t.PutFile(kRootDir, "ONE     BIN");
         t.SetFirst(file, t.First(dir));
         t.SetSize(file, 1024);
         return std::make_pair(file, dir);
     },
     {K::kCrossLink}},
    {"chain_into_a_free_cluster",
     [](ClusterMapTest& t) {
         const uint32_t one = t.PutFile(kRootDir, "ONE     BIN", {10, 11});
         t.SetFat(11, kFatFree);
         return std::make_pair(one, 0u);
     },
     {K::kChainIntoFree}},
    {"chain_into_a_reserved_value",
     [](ClusterMapTest& t) {
         const uint32_t one = t.PutFile(kRootDir, "ONE     BIN", {10, 11});
         t.SetFat(11, 0xFF0);
         return std::make_pair(one, 0u);
     },
     {K::kChainIntoReserved}},
    {"chain_into_a_bad_cluster",
     [](ClusterMapTest& t) {
         const uint32_t one = t.PutFile(kRootDir, "ONE     BIN", {10, 11});
         t.SetFat(11, kFatBadCluster);
         return std::make_pair(one, 0u);
     },
     {K::kChainIntoBad}},
    {"chain_past_the_last_cluster",
     [](ClusterMapTest& t) {
         const uint32_t one = t.PutFile(kRootDir, "ONE     BIN", {10, 11});
         t.SetFat(11, 0xFE0);
         return std::make_pair(one, 0u);
     },
     {K::kChainOutOfRange}},
    {"circular_chain",
     [](ClusterMapTest& t) {
         const uint32_t one = t.PutFile(kRootDir, "ONE     BIN", {10, 11});
         t.SetFat(11, 10);
         return std::make_pair(one, 0u);
     },
     {K::kLoop}},
    {"chain_shorter_than_size",
     [](ClusterMapTest& t) {
         const uint32_t one = t.PutFile(kRootDir, "ONE     BIN", {10, 11});
         t.SetSize(one, 5000);
         return std::make_pair(one, 0u);
     },
     {K::kSizeMismatch}},
    {"sized_file_without_chain",
     [](ClusterMapTest& t) {
         const uint32_t one = t.PutFile(kRootDir, "ONE     BIN");
         t.SetSize(one, 100);
         return std::make_pair(one, 0u);
     },
     {K::kSizeMismatch}},
    {"folder_without_dot_entry",
     [](ClusterMapTest& t) {
         const uint32_t dir = t.Folder(kRootDir, "", "DIR");
         t.Area()[t.layout.ClusterOffset(t.First(dir))] = 'X';
         return std::make_pair(dir, 0u);
     },
     {K::kDamagedFolder}},
    {"folder_without_a_cluster",
     [](ClusterMapTest& t) {
         const uint32_t dir = t.Folder(kRootDir, "", "DIR");
         t.SetFat(t.First(dir), kFatFree);
         t.SetFirst(dir, 0);
         return std::make_pair(dir, 0u);
     },
     {K::kDamagedFolder}},
    {"lost_clusters",
     [](ClusterMapTest& t) {
         t.SetFat(30, 31);
         t.SetFat(31, kFatEnd);
         return std::make_pair(0u, 0u);
     },
     {K::kLostClusters}},
};

TEST_P(DamageKinds, AreFoundWithTheirEntries) {
    const auto [entry, other] = GetParam().damage(*this);
    const ClusterMap map = Map();
    std::vector<K> kinds;
    for (const Damage& d : map.Findings()) kinds.push_back(d.kind);
    EXPECT_EQ(kinds, GetParam().kinds);
    if (!map.Findings().empty()) {
        EXPECT_EQ(map.Findings().front().entry, entry);
        EXPECT_EQ(map.Findings().front().other, other);
    }
}

INSTANTIATE_TEST_SUITE_P(Images, DamageKinds, testing::ValuesIn(kDamageCases),
                         [](const testing::TestParamInfo<DamageCase>& info) { return info.param.name; });

TEST_F(ClusterMapTest, GivesEachClusterItsUseAndOwners) {
    const uint32_t one = PutFile(kRootDir, "ONE     BIN", {10, 11});
    const uint32_t two = PutFile(kRootDir, "TWO     BIN", {11});  // links 11 to its end: ONE stays 10, 11
    SetFat(12, kFatEnd);                                            // lost
    SetFat(13, kFatBadCluster);
    SetFat(14, 0xFF3);
    const ClusterMap map = Map();
    EXPECT_EQ(map.Use(9), ClusterUse::kFree);
    EXPECT_EQ(map.Use(10), ClusterUse::kOwned);
    EXPECT_EQ(map.Use(12), ClusterUse::kLost);
    EXPECT_EQ(map.Use(13), ClusterUse::kBad);
    EXPECT_EQ(map.Use(14), ClusterUse::kReserved);
    EXPECT_EQ(map.Owners(10), std::vector<uint32_t>{one});
    EXPECT_EQ(map.Owners(11), (std::vector<uint32_t>{one, two}));
    EXPECT_TRUE(map.Owners(12).empty());
}

TEST_F(ClusterMapTest, GuardRefusesFreeingSharedClustersNamingBoth) {
    const uint32_t one = PutFile(kRootDir, "ONE     BIN", {10, 11});
    const uint32_t two = PutFile(kRootDir, "TWO     BIN", {20});
    const uint32_t three = PutFile(kRootDir, "THREE   BIN", {30});
    SetFat(20, 11);
    const ClusterGuard guard(ConstVolume(layout, Area(), Length()));
    const std::optional<Notice> refusal = guard.CheckRelease(one);
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->id, kMsgClustersShared);
    EXPECT_EQ(refusal->inserts, (std::vector<std::string>{"ONE.BIN", "TWO.BIN"}));
    EXPECT_TRUE(guard.CheckRelease(two).has_value());
    EXPECT_FALSE(guard.CheckRelease(three).has_value());
    // Both leaving together free the shared cluster with no one left owning it.
    std::vector<uint32_t> both{one, two};
    std::sort(both.begin(), both.end());
    EXPECT_FALSE(guard.CheckRelease(guard.Chain(one), both).has_value());
}

TEST_F(ClusterMapTest, AllocationPassesOverFreeClustersAChainReaches) {
    PutFile(kRootDir, "ONE     BIN", {2, 3});
    SetFat(3, kFatFree);
    ClusterGuard guard(ConstVolume(layout, Area(), Length()));
    EXPECT_EQ(FindFreeCluster(ConstVolume(layout, Area(), Length())), 3u);
    EXPECT_EQ(FindFreeCluster(ConstVolume(layout, Area(), Length()), guard.Keep()), 4u);
}

TEST_F(ClusterMapTest, ReleasedClustersBecomeFreeForTheNextStep) {
    const uint32_t one = PutFile(kRootDir, "ONE     BIN", {2, 3});
    ClusterGuard guard(ConstVolume(layout, Area(), Length()));
    const std::vector<uint32_t> chain = guard.Chain(one);
    FreeChain(Volume(layout, Area(), Length()), one);
    guard.Released(chain, {one});
    EXPECT_EQ(guard.Map().Use(2), ClusterUse::kFree);
    EXPECT_EQ(FindFreeCluster(ConstVolume(layout, Area(), Length()), guard.Keep()), 2u);
}

// Boot sectors that describe no possible disk, each by its one wrong field.
TEST_F(ClusterMapTest, ImpossibleBootSectorsAreNamedByTheirField) {
    const struct {
        const char* what;
        uint32_t offset;
        uint32_t width;
        uint32_t value;
        LayoutFault fault;
    } cases[] = {
        {"0 sectors per FAT", kBpbSectorsPerFat, 2, 0, LayoutFault::kNoSectorsPerFat},
        {"0 FATs", kBpbFatCount, 1, 0, LayoutFault::kNoFats},
        {"0 reserved sectors", kBpbReservedSectors, 2, 0, LayoutFault::kNoReservedSectors},
        {"1000-byte sectors", kBpbBytesPerSector, 2, 1000, LayoutFault::kSectorSize},
        {"64-byte sectors", kBpbBytesPerSector, 2, 64, LayoutFault::kSectorSize},
        {"a one-sector FAT for 713 clusters", kBpbSectorsPerFat, 2, 1, LayoutFault::kFatTooSmall},
    };
    const Bytes sound = Snapshot();
    for (const auto& c : cases) {
        Restore(sound);
        if (c.width == 1) {
            Area()[c.offset] = static_cast<uint8_t>(c.value);
        } else {
            Store16(Area() + c.offset, static_cast<uint16_t>(c.value));
        }
        std::vector<Notice> warnings;
        ParseBootSector(doc, warnings);
        EXPECT_EQ(ImpossibleLayout(doc), c.fault) << c.what;
    }
    // 0 total sectors: the geometry's count, as ParseBootSector takes it.
    Restore(sound);
    Store16(Area() + kBpbTotalSectors, 0);
    Area()[kBsExtendedSignature] = 0;
    std::vector<Notice> warnings;
    ParseBootSector(doc, warnings);
    EXPECT_EQ(ImpossibleLayout(doc), LayoutFault::kNoTotalSectors);
}

TEST_F(ClusterMapTest, EveryListedFormatAndTemplateIsPossible) {
    std::array<uint32_t, kFormatRows> codes{};
    const size_t count = ListedFormatCodes(codes);
    for (size_t i = 0; i < count; ++i) {
        for (unsigned boot = 0; boot < kBootTemplateCount; ++boot) {
            ASSERT_TRUE(test::Shown(CreateEmptyImage(doc, codes[i], boot), test::TestOwner()));
            std::vector<Notice> warnings;
            ParseBootSector(doc, warnings);
            EXPECT_EQ(ImpossibleLayout(doc), LayoutFault::kNone) << std::hex << codes[i] << " boot " << boot;
        }
    }
}

// An MSX-DOS 1 disk keeps no BPB: its geometry is the media byte's row.
TEST_F(ClusterMapTest, MediaByteGeometryIsPossible) {
    std::memset(Area() + kBpbBytesPerSector, 0, kBsFileSystemType - kBpbBytesPerSector);
    Store16(Area() + kBpbBytesPerSector, 512);
    Area()[kBpbMediaByte] = 0xF9;
    std::vector<Notice> warnings;
    ASSERT_TRUE(ParseBootSector(doc, warnings));
    EXPECT_EQ(ImpossibleLayout(doc), LayoutFault::kNone);
}

}  // namespace
}  // namespace vk::test
