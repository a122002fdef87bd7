// Walking a folder tree depth first: every path once, and damaged or looping
// folders reported, skipped and never followed, by the walk and by every
// operation that walks.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/fat/dir/dir_remove.h"
#include "engine/fat/ops/file_properties.h"
#include "engine/strings/string_ids.h"
#include "tests/engine/folder_fixture.h"

namespace vk {
namespace {

const std::vector<std::string> kAllPaths = {"A", "A\\B", "A\\B\\DEEP.BIN", "A\\NOTES.TXT", "README", "C"};

// root: A\ README C\; A: B\ NOTES.TXT; A\B: DEEP.BIN; C: empty.
class DirTreeTest : public test::FolderTest {
protected:
    void SetUp() override {
        FolderTest::SetUp();
        a = Mkdir(kRootDir, "", "A");
        PutFile(kRootDir, "README     ", {100, 101});
        c = Mkdir(kRootDir, "", "C");
        b = Mkdir(a, "A", "B");
        PutFile(a, "NOTES   TXT", {102});
        PutFile(b, "DEEP    BIN", {103});
    }
    uint8_t* EntryOf(DirRef dir, const char* name) { return Area() + EntryIn(dir, name); }
    DirRef a, b, c;
};

TEST_F(DirTreeTest, ListsEveryPathDepthFirst) {
    TreeWalkEnd end;
    EXPECT_EQ(TreePaths(kRootDir, &end), kAllPaths);
    EXPECT_TRUE(end.problems.empty());

    std::vector<TreeItem> items;
    end = WalkTree(ConstVolume(layout, Area(), Length()), a, "A", [&](const TreeItem& item) {
        items.push_back(item);
        return items.size() < 2;
    });
    EXPECT_TRUE(end.stopped);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].path, "A\\B\\DEEP.BIN");
    EXPECT_EQ(items[1].depth, 1u);
    EXPECT_EQ(items[1].dir, b);
    EXPECT_EQ(items[1].entryOffset, EntryIn(b, "DEEP.BIN"));
}

TEST_F(DirTreeTest, DamagedFoldersAreReportedAndSkipped) {
    const auto firstCluster = [&](DirRef dir, const char* name, uint32_t cluster) {
        Store16(EntryOf(dir, name) + kDirFirstCluster, cluster);
    };
    struct Case {
        const char* what;
        std::function<void()> damage;
        const char* folder;  // the one skipped
        FolderFault fault;
        uint32_t length = 0;  // 0: the whole image
    } cases[] = {
        {"B points back at its parent", [&] { firstCluster(a, "B", a.cluster); }, "A\\B", FolderFault::kRevisit},
        {"B's chain runs into its parent's", [&] { SetFat(b.cluster, a.cluster); }, "A\\B", FolderFault::kRevisit},
        {"C is A once more", [&] { firstCluster(kRootDir, "C", a.cluster); }, "C", FolderFault::kRevisit},
        {"B's '.' names A", [&] { Store16(Area() + layout.ClusterOffset(b.cluster) + kDirFirstCluster, a.cluster); },
         "A\\B", FolderFault::kNoDotEntry},
        {"B's first cluster holds a file", [&] { firstCluster(a, "B", 103); }, "A\\B", FolderFault::kNoDotEntry},
        {"B's first cluster is 0, the root's", [&] { firstCluster(a, "B", 0); }, "A\\B", FolderFault::kFirstCluster},
        {"B's first cluster is 1", [&] { firstCluster(a, "B", 1); }, "A\\B", FolderFault::kFirstCluster},
        {"B's chain links to 1, into the FAT area", [&] { SetFat(b.cluster, 1); }, "A\\B", FolderFault::kBrokenChain},
        {"B's chain loops on itself", [&] { SetFat(b.cluster, b.cluster); }, "A\\B", FolderFault::kBrokenChain},
        {"B lies past the end of the image", [] {}, "A\\B", FolderFault::kPastImage,
         static_cast<uint32_t>(layout.ClusterOffset(b.cluster)) + 16},
    };
    const test::Bytes sound = Snapshot();
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Restore(sound);
        k.damage();
        const uint32_t length = k.length ? k.length : Length();
        const test::Bytes damaged = Snapshot();

        std::vector<std::string> paths;
        const TreeWalkEnd end = WalkTree(ConstVolume(layout, Area(), length), kRootDir, "", [&](const TreeItem& item) {
            paths.push_back(item.path);
            return true;
        });
        ASSERT_EQ(end.problems.size(), 1u);
        EXPECT_EQ(end.problems[0].path, k.folder);
        EXPECT_EQ(end.problems[0].fault, k.fault);
        std::vector<std::string> want = kAllPaths;
        const bool underA = k.folder != std::string("C");
        if (underA) want.erase(want.begin() + 2);  // B is listed, not entered
        EXPECT_EQ(paths, want);
        const std::vector<Notice> notices = ProblemNotices(end);
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].id, unsigned{kMsgStoredFileCorrupt});
        EXPECT_EQ(notices[0].inserts, std::vector<std::string>{k.folder});

        // Every operation that walks into the damaged folder refuses, writing
        // nothing. (C on its own is a sound folder that is A once more.)
        if (!underA) continue;
        const Result removed = RemoveFolder(Volume(layout, Area(), length), kRootDir, EntryIn(kRootDir, "A"), "A", true);
        ASSERT_TRUE(removed.failure.has_value());
        EXPECT_EQ(removed.failure->id, unsigned{kMsgStoredFileCorrupt});
        EXPECT_EQ(removed.failure->inserts, std::vector<std::string>{k.folder});
        DirRef into;
        const Result resolved = ResolveDirectory(ConstVolume(layout, Area(), length), "A/B", into);
        ASSERT_TRUE(resolved.failure.has_value());
        EXPECT_EQ(resolved.failure->inserts, std::vector<std::string>{"A\\B"});
        EXPECT_TRUE(Snapshot() == damaged);
    }
}

// A file's size text as a folder shows it: "Bytes" where a file says "Byte".
std::string FolderSized(std::string text) {
    for (size_t at = text.find(" Byte"); at != std::string::npos; at = text.find(" Byte", at + 6)) {
        text.insert(at + 5, "s");
    }
    return text;
}

// A folder's properties: where it lies, and as its size what the files below
// it hold; a damaged folder has no size to show.
TEST_F(DirTreeTest, FolderPropertiesSumTheFilesBelow) {
    const std::string ini = "no-such.ini";
    const uint32_t cluster = static_cast<uint32_t>(layout.clusterBytes);
    const struct {
        DirRef dir;
        const char* path;
        const char* name;
        uint32_t bytes;  // NOTES.TXT and DEEP.BIN take one cluster each
    } cases[] = {
        {kRootDir, "", "A", 2 * cluster},
        {a, "A", "B", cluster},
        {kRootDir, "", "C", 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        const FileProperties p = ReadFileProperties(doc, EntryIn(k.dir, k.name), ini, k.path);
        EXPECT_EQ(p.location, std::string("\\") + k.path);
        EXPECT_EQ(p.size, FolderSized(FileSizeText(k.bytes, layout.clusterBytes)));
    }
    Store16(Area() + layout.ClusterOffset(b.cluster) + kDirFirstCluster, a.cluster);  // B's "." names A
    EXPECT_EQ(ReadFileProperties(doc, EntryIn(a, "B"), ini, "A").size, "");
    Store16(EntryOf(kRootDir, "C") + kDirFirstCluster, 0);  // C names the root
    EXPECT_EQ(ReadFileProperties(doc, EntryIn(kRootDir, "C"), ini).size, "");
    EXPECT_EQ(ReadFileProperties(doc, EntryIn(kRootDir, "A"), ini).size,
              FolderSized(FileSizeText(cluster, layout.clusterBytes)))
        << "the damaged B adds nothing";
}

}  // namespace
}  // namespace vk
