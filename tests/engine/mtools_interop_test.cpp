// Outside judges: what we add must come out of mcopy byte for byte and pass
// fsck.fat; what mtools writes must come out of our extraction byte for
// byte, with its attributes and time stamps. Native only: it runs the tools.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/wait.h>

#include "core/document.h"
#include "fat/add_file.h"
#include "fat/directory.h"
#include "fat/extract.h"
#include "fat/fs_options.h"
#include "transfer_fixture.h"

namespace vk {
namespace {

using test::Bytes;

bool HaveTool(const char* name) { return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0; }

int RunTool(const std::string& command) {
    const int status = std::system(("MTOOLS_SKIP_CHECK=1 " + command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

class MtoolsInterop : public test::TransferTest {
protected:
    void SetUp() override {
        if (!HaveTool("mcopy") || !HaveTool("fsck.fat") || !HaveTool("mkfs.fat")) {
            GTEST_SKIP() << "mtools or dosfstools missing";
        }
        TransferTest::SetUp();
        imagePath = dir.Path("disk.dsk");
    }
    void TearDown() override {
        FsOptions().forceSwitch = false;
        TransferTest::TearDown();
    }
    // Saves the document as the tools will see it; FAT copy 2 follows copy 1.
    void Save() {
        if (doc.fileName != imagePath) {
            ASSERT_TRUE(SaveImageAsPath(doc, MainWindow(), imagePath));
        }
        doc.modified = true;
        ASSERT_TRUE(SaveImage(doc));
    }
    Bytes Mcopy(const std::string& name) {
        const std::string out = dir.Path("mcopy.out");
        std::remove(out.c_str());
        EXPECT_EQ(RunTool("mcopy -n -i " + Quote(imagePath) + " ::" + name + " " + Quote(out)), 0) << name;
        return test::ReadFile(out);
    }
    int Fsck() { return RunTool("fsck.fat -n " + Quote(imagePath)); }
    std::string imagePath;
};

TEST_F(MtoolsInterop, AddedFilesComeOutOfMcopyUnchanged) {
    struct Added {
        const char* host;
        const char* dos;
        Bytes data;
    };
    std::vector<Added> files = {
        {"empty.bin", "EMPTY.BIN", {}},
        {"one.bin", "ONE.BIN", Pattern(1, 3)},
        {"exact.bin", "EXACT.BIN", Pattern(1024, 4)},
        {"over.bin", "OVER.BIN", Pattern(1025, 5)},
    };
    for (const Added& f : files) ASSERT_TRUE(AddHostFile(doc, HostFile(f.host, f.data)));
    // The rest of the disk, to its last cluster.
    const uint32_t freeBytes = CountClusters(layout, doc.Area(), doc.AreaLength()).free * 1024;
    files.push_back({"fill.bin", "FILL.BIN", Pattern(freeBytes, 6)});
    ASSERT_TRUE(AddHostFile(doc, HostFile("fill.bin", files.back().data)));
    EXPECT_EQ(FindFreeCluster(layout, doc.Area(), doc.AreaLength()), 0u);
    Save();
    EXPECT_EQ(Fsck(), 0);
    for (const Added& f : files) EXPECT_EQ(Mcopy(f.dos), f.data) << f.dos;

    // Replace one file by a longer one after deleting the big one, then check again.
    FreeChain(layout, doc.Area(), doc.AreaLength(), EntryNamed("FILL    BIN"));
    FsOptions().forceSwitch = true;
    const Bytes longer = Pattern(5000, 7);
    ASSERT_TRUE(AddHostFile(doc, HostFile("one.bin", longer)));
    FreeChain(layout, doc.Area(), doc.AreaLength(), EntryNamed("EXACT   BIN"));
    const Bytes fragmented = Pattern(4000, 8);  // takes the freed cluster, then later ones
    ASSERT_TRUE(AddHostFile(doc, HostFile("frag.bin", fragmented)));
    Save();
    EXPECT_EQ(Fsck(), 0);
    EXPECT_EQ(Mcopy("ONE.BIN"), longer);
    EXPECT_EQ(Mcopy("FRAG.BIN"), fragmented);
    EXPECT_EQ(Mcopy("OVER.BIN"), files[3].data);
    EXPECT_NE(RunTool("mcopy -n -i " + Quote(imagePath) + " ::EXACT.BIN " + Quote(dir.Path("x"))), 0) << "deleted";
}

// Images made by mkfs.fat and by us, filled by mtools, read by us.
TEST_F(MtoolsInterop, FilesWrittenByMtoolsExtractUnchanged) {
    for (bool ours : {false, true}) {
        SCOPED_TRACE(ours ? "our empty image" : "mkfs.fat image");
        doc.modified = false;
        CloseImage(doc, false);
        std::remove(imagePath.c_str());
        if (ours) {
            ASSERT_TRUE(CreateEmptyImage(doc, MainWindow(), 0xF9, kBootMsDos6));
            Save();
            doc.modified = false;
            CloseImage(doc, false);
        } else {
            ASSERT_EQ(RunTool("mkfs.fat -C " + Quote(imagePath) + " 720"), 0);
        }
        const Bytes a = Pattern(3000, 1), b = Pattern(1, 2), big = Pattern(20000, 3);
        HostFile("a.txt", a);
        HostFile("b.dat", b);
        HostFile("big.bin", big);
        HostFile("gap.bin", Pattern(2048));
        HostFile("empty", {});
        ASSERT_EQ(RunTool("touch -d '2011-05-06 07:08:10' " + Quote(dir.Path("a.txt"))), 0);
        ASSERT_EQ(RunTool("touch -d '1980-01-01 00:00:00' " + Quote(dir.Path("b.dat"))), 0);
        const std::string mc = "mcopy -m -i " + Quote(imagePath) + " ";
        ASSERT_EQ(RunTool(mc + Quote(dir.Path("a.txt")) + " ::A.TXT"), 0);
        ASSERT_EQ(RunTool(mc + Quote(dir.Path("gap.bin")) + " ::GAP.BIN"), 0);
        ASSERT_EQ(RunTool(mc + Quote(dir.Path("b.dat")) + " ::B.DAT"), 0);
        ASSERT_EQ(RunTool("mdel -i " + Quote(imagePath) + " ::GAP.BIN"), 0);
        ASSERT_EQ(RunTool(mc + Quote(dir.Path("big.bin")) + " ::BIG.BIN"), 0);  // fills the gap, then goes on
        ASSERT_EQ(RunTool(mc + Quote(dir.Path("empty")) + " ::EMPTY"), 0);
        ASSERT_EQ(RunTool("mattrib -i " + Quote(imagePath) + " +r +h ::B.DAT"), 0);
        ASSERT_EQ(RunTool("mattrib -i " + Quote(imagePath) + " -a ::A.TXT"), 0);
        ASSERT_EQ(RunTool("mlabel -i " + Quote(imagePath) + " ::MTLABEL"), 0);

        ASSERT_TRUE(OpenImage(doc, MainWindow(), imagePath, true));
        layout = doc.GetLayout();
        const uint32_t label = FindVolumeLabel(layout, doc.Area(), doc.AreaLength());
        ASSERT_NE(label, 0u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(doc.Area() + label), 11), "MTLABEL    ");

        struct Want {
            const char* packed;
            const char* host;
            const Bytes* data;
            uint8_t attr;
        } wants[] = {
            {"A       TXT", "a.txt", &a, 0},
            {"B       DAT", "b.dat", &b, kAttrReadOnly | kAttrHidden | kAttrArchive},
            {"BIG     BIN", "big.bin", &big, kAttrArchive},
        };
        const Bytes none;
        for (const Want& w : wants) {
            SCOPED_TRACE(w.packed);
            const uint32_t e = EntryNamed(w.packed);
            ASSERT_NE(e, 0u);
            EXPECT_EQ(Entry(e)[kDirAttr], w.attr);
            const std::string out = dir.Path(std::string("out-") + w.host + (ours ? "1" : "0"));
            ASSERT_TRUE(ExtractEntry(doc, test::TestOwner(), e, kReplaceAsk, out));
            EXPECT_EQ(test::ReadFile(out), *w.data);
            HostFindData original, extracted;
            ASSERT_EQ(FindHostFile(dir.Path(w.host), original), 0u);
            ASSERT_EQ(FindHostFile(out, extracted), 0u);
            // DOS stamps count in two-second steps.
            EXPECT_EQ(extracted.lastWriteTime / 20000000, original.lastWriteTime / 20000000);
            EXPECT_EQ(extracted.attributes & kHostReadOnly, static_cast<uint32_t>(w.attr & kAttrReadOnly));
        }
        const uint32_t empty = EntryNamed("EMPTY      ");
        ASSERT_NE(empty, 0u);
        const std::string out = dir.Path(ours ? "empty1" : "empty0");
        ASSERT_TRUE(ExtractEntry(doc, test::TestOwner(), empty, kReplaceAsk, out));
        EXPECT_TRUE(test::ReadFile(out).empty());
        EXPECT_GT(ChainOf(EntryNamed("BIG     BIN")).size(), 2u);
    }
}

}  // namespace
}  // namespace vk
