// Outside judges of the folder primitives: a tree mtools made is walked
// whole, and the folders we make, grow and remove pass fsck.fat and read
// back in mtools as the same tree. Native only: it runs the tools.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/document.h"
#include "engine/fat/dir/dir_make.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/dir_remove.h"
#include "engine/fat/dir/dir_tree.h"
#include "tests/support/front_end.h"
#include "tests/engine/outside_tools.h"
#include "tests/support/test_files.h"

namespace vk {
namespace {

using test::OutputLines;
using test::Quote;
using test::RunTool;

constexpr uint16_t kDate = PackDosDate(2020, 1, 2);
constexpr uint16_t kTime = PackDosTime(3, 4, 6);
// 1.44 MB: one sector, 16 slots, per cluster; D's 30 files and dot entries fill two.
constexpr int kFilesInD = 30;

class FolderTools : public test::EngineTest {
protected:
    void SetUp() override {
        if (!test::HaveTool("mformat") || !test::HaveTool("fsck.fat")) {
            GTEST_SKIP() << "mtools or dosfstools missing";
        }
        EngineTest::SetUp();
        image = dir.Path("tree.img");
    }
    // root: README.TXT A\ D\; A: B\; A\B: F1.TXT C\; A\B\C: F2.BIN; D: 30 files.
    void MakeTree() {
        const std::string i = " -i " + Quote(image) + " ";
        ASSERT_EQ(RunTool("mformat -f 1440 -C" + i + "::"), 0);
        for (const char* folder : {"::A", "::A/B", "::A/B/C", "::D"}) ASSERT_EQ(RunTool("mmd" + i + folder), 0);
        const std::string host = dir.Path("f");
        test::WriteFile(host, test::Bytes(700, 0x5A));
        for (const char* target : {"::README.TXT", "::A/B/F1.TXT", "::A/B/C/F2.BIN"}) {
            ASSERT_EQ(RunTool("mcopy" + i + Quote(host) + " " + target), 0);
        }
        ASSERT_EQ(RunTool("mkdir " + Quote(dir.Path("many"))), 0);
        for (int n = 0; n < kFilesInD; ++n) {
            test::WriteFile(dir.Path("many/F" + std::to_string(10 + n) + ".TXT"), test::Bytes(n, 1));
        }
        ASSERT_EQ(RunTool("mcopy" + i + Quote(dir.Path("many")) + "/* ::D/"), 0);
        ASSERT_EQ(test::FsckFindings(image), std::vector<std::string>{}) << "mtools' own image";
        ASSERT_TRUE(test::Open(doc, test::TestOwner(), image));
        layout = doc.GetLayout();
    }
    // What mdir lists, recursively, as our paths, sorted.
    std::vector<std::string> MdirPaths() {
        std::vector<std::string> paths;
        for (std::string line : OutputLines("mdir -/ -b -i " + Quote(image) + " ::")) {
            if (line.rfind("::/", 0) != 0) {
                ADD_FAILURE() << "mdir: " << line;
                continue;
            }
            line.erase(0, 3);
            if (!line.empty() && line.back() == '/') line.pop_back();
            std::replace(line.begin(), line.end(), '/', kPathSeparator);
            paths.push_back(line);
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }
    std::vector<std::string> OurPaths() {
        std::vector<std::string> paths;
        const TreeWalkEnd end = WalkTree(ConstVolume(layout, doc.Area(), doc.AreaLength()), kRootDir, "",
                                         [&](const TreeItem& item) {
                                             paths.push_back(item.path);
                                             return true;
                                         });
        EXPECT_TRUE(end.problems.empty());
        std::sort(paths.begin(), paths.end());
        return paths;
    }
    DirRef Folder(const std::string& path) {
        DirRef found;
        EXPECT_TRUE(ResolveDirectory(ConstVolume(layout, doc.Area(), doc.AreaLength()), path, found).Done()) << path;
        return found;
    }
    Result Mkdir(const std::string& parent, const std::string& name) {
        return MakeFolder(Volume(layout, doc.Area(), doc.AreaLength()), Folder(parent), parent, name, kDate, kTime);
    }
    Result Rmdir(const std::string& path, bool recursive) {
        PathTarget target;
        EXPECT_TRUE(ResolvePath(ConstVolume(layout, doc.Area(), doc.AreaLength()), path, target).Done()) << path;
        return RemoveFolder(Volume(layout, doc.Area(), doc.AreaLength()), target.dir, target.entryOffset, path, recursive);
    }
    std::string image;
    Layout layout;
};

TEST_F(FolderTools, TreesOfMtoolsAndOursReadTheSameToBoth) {
    MakeTree();
    EXPECT_EQ(OurPaths().size(), 4u + 3u + kFilesInD);
    EXPECT_EQ(OurPaths(), MdirPaths());
    FolderPlan inD;  // mtools filled D's two clusters: a folder more makes it grow
    ASSERT_TRUE(PlanFolder(ConstVolume(layout, doc.Area(), doc.AreaLength()), Folder("D"), "D", "GROWN", inD).Done());
    EXPECT_NE(inD.slot.growCluster, 0u);
    struct Step {
        const char* what;
        std::function<Result()> run;
    } steps[] = {
        {"mkdir in a folder", [&] { return Mkdir("A\\B", "NEW"); }},
        {"mkdir in a full folder, which grows", [&] { return Mkdir("D", "GROWN"); }},
        {"mkdir in our folder", [&] { return Mkdir("A/B/NEW", "DEEPER"); }},
        {"rmdir an empty folder", [&] { return Rmdir("A/B/NEW/DEEPER", false); }},
        {"rm -r a tree", [&] { return Rmdir("A", true); }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        ASSERT_TRUE(step.run().Done());
        doc.modified = true;
        ASSERT_TRUE(SaveImage(doc).Done());
        EXPECT_EQ(test::FsckFindings(image), std::vector<std::string>{});
        EXPECT_EQ(OurPaths(), MdirPaths());
    }

    // mtools writes into the grown folder and reads it back.
    const test::Bytes data(3000, 0x33);
    test::WriteFile(dir.Path("IN.BIN"), data);
    ASSERT_EQ(RunTool("mcopy -i " + Quote(image) + " " + Quote(dir.Path("IN.BIN")) + " ::D/GROWN/"), 0);
    ASSERT_EQ(RunTool("mcopy -n -i " + Quote(image) + " ::D/GROWN/IN.BIN " + Quote(dir.Path("out"))), 0);
    EXPECT_EQ(test::ReadFile(dir.Path("out")), data);
    EXPECT_EQ(test::FsckFindings(image), std::vector<std::string>{});
}

}  // namespace
}  // namespace vk
