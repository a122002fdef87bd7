// Making and removing folders anywhere in the tree: what they write, that a
// full subdirectory grows and the root does not, that every write stays
// inside what the plan said, and that a refused change writes nothing.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/fat/dir/dir_make.h"
#include "engine/fat/dir/dir_remove.h"
#include "engine/fat/dir/long_names.h"
#include "engine/strings/string_ids.h"
#include "tests/engine/folder_fixture.h"

namespace vk {
namespace {

using test::kFolderDate;
using test::kFolderTime;

class DirChangeTest : public test::FolderTest {
protected:
    void SetUp() override {
        FolderTest::SetUp();
        fresh = Snapshot();
    }
    uint32_t FreeClusters() const { return CountClusters(ConstVolume(layout, doc.Area(), doc.AreaLength())).free; }
    // Every byte that differs from `before` lies inside one of `ranges`.
    void ExpectOnlyWrites(const test::Bytes& before, const WriteRanges& ranges) {
        const test::Bytes after = Snapshot();
        for (size_t i = 0; i < after.size(); ++i) {
            const bool planned = std::any_of(ranges.begin(), ranges.end(), [i](const ByteRange& r) {
                return i >= r.offset && i < r.offset + r.length;
            });
            ASSERT_TRUE(before[i] == after[i] || planned) << "byte " << i << " changed outside the plan";
        }
    }
    bool AllZero(uint64_t offset, uint64_t count) {
        return std::all_of(Area() + offset, Area() + offset + count, [](uint8_t v) { return v == 0; });
    }
    uint32_t FirstCluster(uint32_t entry) { return Load16(Area() + entry + kDirFirstCluster); }
    static void ExpectFailure(const Result& r, unsigned id, std::vector<std::string> inserts) {
        ASSERT_TRUE(r.failure.has_value());
        EXPECT_EQ(r.failure->id, id);
        EXPECT_EQ(r.failure->inserts, inserts);
        EXPECT_TRUE(r.changes.Empty());
    }
    test::Bytes fresh;  // the empty image; free clusters hold the format's filler bytes
};

// A new folder in a full folder: the parent grows by one cluster, zeroed
// but for the new entry, unless a deleted slot is there to take.
TEST_F(DirChangeTest, MakesAFolderGrowingItsParentWhenFull) {
    for (bool deleteOne : {false, true}) {
        SCOPED_TRACE(deleteOne ? "a deleted slot" : "full");
        Restore(fresh);
        const DirRef a = Mkdir(kRootDir, "", "A");
        Fill(a);
        const uint32_t deleted = static_cast<uint32_t>(layout.ClusterOffset(a.cluster)) + 5 * kDirEntrySize;
        if (deleteOne) Area()[deleted] = kEntryDeleted;
        const uint32_t freeBefore = FreeClusters();
        FolderPlan plan;
        ASSERT_TRUE(PlanFolder(ConstVolume(layout, Area(), Length()), a, "A", "B.DIR", plan).Done());
        const test::Bytes before = Snapshot();
        const uint32_t entry = WriteFolder(Volume(layout, Area(), Length()), plan, kFolderDate, kFolderTime);
        ExpectOnlyWrites(before, plan.Writes(layout));

        const uint8_t* e = Area() + entry;
        EXPECT_EQ(entry, EntryIn(a, "b.dir"));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(e), kDirFullNameLength), "B       DIR");
        EXPECT_EQ(e[kDirAttr], kAttrDirectory);
        EXPECT_EQ(Load16(e + kDirDate), kFolderDate);
        EXPECT_EQ(Load16(e + kDirTime), kFolderTime);
        EXPECT_TRUE(AllZero(entry + kDirReserved, kDirTime - kDirReserved));
        EXPECT_EQ(Load32(e + kDirSize), 0u);
        const uint32_t b = FirstCluster(entry);
        EXPECT_EQ(Fat(b), kFatEnd);
        EXPECT_TRUE(HasDotEntries(Area() + layout.ClusterOffset(b), layout.clusterBytes, b, a.cluster));
        EXPECT_TRUE(AllZero(layout.ClusterOffset(b) + 2 * kDirEntrySize, layout.clusterBytes - 2 * kDirEntrySize));
        const std::vector<uint32_t> chain = ChainOf(a);
        if (deleteOne) {
            EXPECT_EQ(entry, deleted);
            EXPECT_EQ(chain.size(), 1u);
        } else {
            ASSERT_EQ(chain.size(), 2u);
            EXPECT_EQ(entry, layout.ClusterOffset(chain[1]));
            EXPECT_TRUE(AllZero(entry + kDirEntrySize, layout.clusterBytes - kDirEntrySize));
        }
        EXPECT_EQ(FreeClusters(), freeBefore - chain.size());
    }
}

TEST_F(DirChangeTest, RefusedFolderWritesNothing) {
    const auto takeFreeClusters = [&](uint32_t leave) {
        for (uint32_t n = layout.lastCluster; FreeClusters() > leave; --n) {
            if (Fat(n) == kFatFree) SetFat(n, kFatEnd);
        }
    };
    struct Case {
        const char* what;
        std::function<void(DirRef a)> setup;
        bool inA;  // else in the root
        const char* name;
        unsigned id;
        std::vector<std::string> inserts;
        uint32_t length = 0;  // 0: the whole image
        bool fat32 = false;
    } cases[] = {
        {"root full", [&](DirRef) { Fill(kRootDir); }, false, "X", kMsgDirectoryFull, {"X"}},
        {"name taken", [&](DirRef a) { PutFile(a, "X       TXT"); }, true, "x.txt", kMsgFolderNameTaken, {"A\\x.txt"}},
        {"disk full", [&](DirRef) { takeFreeClusters(0); }, false, "X", kMsgDiskFull, {}},
        {"room to grow, none for the folder",
         [&](DirRef a) {
             Fill(a);
             takeFreeClusters(1);
         },
         true, "X", kMsgDiskFull, {}},
        {"free cluster past the image", [](DirRef) {}, false, "X", kMsgImageTooSmall, {},
         static_cast<uint32_t>(layout.ClusterOffset(kFirstDataCluster + 1)) + 100},
        {"parent's chain broken",
         [&](DirRef a) {
             Fill(a);
             SetFat(a.cluster, 1);
         },
         true, "X", kMsgStoredFileCorrupt, {"A"}},
        {"FAT32", [](DirRef) {}, true, "X", kMsgChangeRefused, {}, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Restore(fresh);
        const DirRef a = Mkdir(kRootDir, "", "A");
        c.setup(a);
        Layout used = layout;
        if (c.fat32) used.fatBits = 32;
        const test::Bytes before = Snapshot();
        ExpectFailure(MakeFolder(Volume(used, Area(), c.length ? c.length : Length()), c.inA ? a : kRootDir, c.inA ? "A" : "",
                                 c.name, kFolderDate, kFolderTime),
                      c.id, c.inserts);
        if (c.fat32) {
            ExpectFailure(RemoveFolder(Volume(used, Area(), Length()), kRootDir, EntryIn(kRootDir, "A"), "A", true), c.id, {});
        }
        EXPECT_TRUE(Snapshot() == before);
    }
}

TEST_F(DirChangeTest, RemovesOnlyEmptyFoldersUnlessAskedForTheTree) {
    struct Case {
        const char* what;
        std::function<void(DirRef a)> setup;
        bool recursive;
        bool removed;
    } cases[] = {
        {"empty", [](DirRef) {}, false, true},
        {"deleted entries only", [&](DirRef a) { Area()[PutFile(a, "GONE    TXT")] = kEntryDeleted; }, false, true},
        {"holding a file", [&](DirRef a) { PutFile(a, "KEPT    TXT"); }, false, false},
        {"holding an empty folder", [&](DirRef a) { Mkdir(a, "A", "SUB"); }, false, false},
        {"holding a tree, as a tree",
         [&](DirRef a) {
             PutFile(Mkdir(a, "A", "B"), "DEEP    BIN", {310, 311});
             PutFile(a, "NOTES   TXT", {320});
             Fill(a);
             PutFile(a, "LAST    TXT", {330});  // in A's second cluster
         },
         true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Restore(fresh);
        PutFile(kRootDir, "README     ", {400});
        const uint32_t freeBefore = FreeClusters();
        const uint32_t longName = PutFile(kRootDir, "LONG       ");  // A's long name, as other systems write one
        const DirRef a = Mkdir(kRootDir, "", "A");
        const uint32_t entry = EntryIn(kRootDir, "A");
        test::WriteLongNameEntry(Area() + longName, kLongNameLastFlag | 1, ShortNameChecksum(Area() + entry));
        c.setup(a);
        const std::vector<uint32_t> folderClusters = ChainOf(a);
        const test::Bytes before = Snapshot();

        RemovalPlan plan;
        const Result planned = PlanRemoveFolder(ConstVolume(layout, Area(), Length()), kRootDir, entry, "A", c.recursive, plan);
        EXPECT_TRUE(Snapshot() == before);
        if (!c.removed) {
            ExpectFailure(planned, kMsgCannotDeleteDir, {"A"});
            continue;
        }
        ASSERT_TRUE(planned.Done());
        EXPECT_EQ(ApplyRemoval(Volume(layout, Area(), Length()), plan).removed, std::vector<uint32_t>{entry});
        ExpectOnlyWrites(before, plan.Writes(layout));
        EXPECT_EQ(Area()[entry], kEntryDeleted);
        EXPECT_EQ(Area()[longName], kEntryDeleted);
        EXPECT_EQ(FreeClusters(), freeBefore);
        EXPECT_EQ(TreePaths(kRootDir), std::vector<std::string>{"README"});
        EXPECT_EQ(Fat(400), kFatEnd);
        for (uint32_t cluster : folderClusters) {
            for (uint32_t k = 0; k < SlotsPerCluster(); ++k) {
                const uint8_t first = Area()[layout.ClusterOffset(cluster) + k * kDirEntrySize];
                EXPECT_TRUE(first == kEntryDeleted || first == kEntryNeverUsed) << cluster << " " << k;
            }
        }
    }
    // What is no folder is not removed as one: a file, the root.
    for (uint32_t entry : {EntryIn(kRootDir, "README"), 0u}) {
        ExpectFailure(RemoveFolder(Volume(layout, Area(), Length()), kRootDir, entry, "README", true), kMsgCannotDeleteDir,
                      {"README"});
    }
}

}  // namespace
}  // namespace vk
