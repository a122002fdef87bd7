// Outside judges: what we add must come out of mcopy byte for byte and pass
// fsck.fat; what mtools writes must come out of our extraction byte for
// byte, with its attributes and time stamps. Native only: it runs the tools.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/wait.h>

#include "engine/core/document.h"
#include "engine/fat/ops/add_file.h"
#include "engine/fat/ops/delete_rename.h"
#include "engine/fat/ops/directory.h"
#include "engine/fat/dir/entry_chain.h"
#include "engine/fat/ops/extract.h"
#include "engine/fat/ops/file_properties.h"
#include "engine/fat/dir/fs_options.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/ops/volume_info.h"
#include "engine/strings/string_ids.h"
#include "tests/engine/outside_tools.h"
#include "tests/engine/transfer_fixture.h"

namespace vk {
namespace {

using test::Bytes;

using test::HaveTool;
using test::OutputLines;
using test::Quote;
using test::RunTool;

class MtoolsInterop : public test::TransferTest {
protected:
    void SetUp() override {
        if (!HaveTool("mcopy") || !HaveTool("fsck.fat") || !HaveTool("mkfs.fat")) {
            GTEST_SKIP() << "mtools or dosfstools missing";
        }
        TransferTest::SetUp();
        imagePath = dir.Path("disk.dsk");
    }
    // Saves the document as the tools will see it; FAT copy 2 follows copy 1.
    void Save() {
        if (doc.fileName != imagePath) {
            ASSERT_TRUE(test::Shown(SaveImageAsPath(doc, imagePath), test::TestOwner()));
        }
        doc.modified = true;
        ASSERT_TRUE(test::Shown(SaveImage(doc)));
    }
    Bytes Mcopy(const std::string& name) {
        const std::string out = dir.Path("mcopy.out");
        std::remove(out.c_str());
        EXPECT_EQ(RunTool("mcopy -n -i " + Quote(imagePath) + " ::" + name + " " + Quote(out)), 0) << name;
        return test::ReadFile(out);
    }
    int Fsck() { return RunTool("fsck.fat -n " + Quote(imagePath)); }
    std::vector<std::string> FsckFindings() const { return test::FsckFindings(imagePath); }
    // True when a listing shows the entry at `offset`.
    bool IsListed(uint32_t offset) const {
        const std::vector<uint32_t> listed = ListedEntries(doc);
        return std::find(listed.begin(), listed.end(), offset) != listed.end();
    }
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
    for (const Added& f : files) ASSERT_TRUE(Add(HostFile(f.host, f.data)).Done());
    // The rest of the disk, to its last cluster.
    const uint32_t freeBytes = CountClusters(ConstVolume(layout, doc.Area(), doc.AreaLength())).free * 1024;
    files.push_back({"fill.bin", "FILL.BIN", Pattern(freeBytes, 6)});
    ASSERT_TRUE(Add(HostFile("fill.bin", files.back().data)).Done());
    EXPECT_EQ(FindFreeCluster(ConstVolume(layout, doc.Area(), doc.AreaLength())), 0u);
    Save();
    EXPECT_EQ(Fsck(), 0);
    for (const Added& f : files) EXPECT_EQ(Mcopy(f.dos), f.data) << f.dos;

    // Replace one file by a longer one after deleting the big one, then check again.
    FreeChain(Volume(layout, doc.Area(), doc.AreaLength()), EntryNamed("FILL    BIN"));
    options.forceSwitch = true;
    const Bytes longer = Pattern(5000, 7);
    ASSERT_TRUE(Add(HostFile("one.bin", longer)).Done());
    FreeChain(Volume(layout, doc.Area(), doc.AreaLength()), EntryNamed("EXACT   BIN"));
    const Bytes fragmented = Pattern(4000, 8);  // takes the freed cluster, then later ones
    ASSERT_TRUE(Add(HostFile("frag.bin", fragmented)).Done());
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
        test::Close(doc);
        std::remove(imagePath.c_str());
        if (ours) {
            ASSERT_TRUE(test::Shown(CreateEmptyImage(doc, 0xF9, kBootMsDos6), test::TestOwner()));
            Save();
            doc.modified = false;
            test::Close(doc);
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

        ASSERT_TRUE(test::Open(doc, test::TestOwner(), imagePath, true));
        layout = doc.GetLayout();
        const uint32_t label = FindVolumeLabel(ConstVolume(layout, doc.Area(), doc.AreaLength()));
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
            ASSERT_TRUE(Shown(ExtractEntry(doc, e, kReplaceAsk, out)).Done());
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
        ASSERT_TRUE(Shown(ExtractEntry(doc, empty, kReplaceAsk, out)).Done());
        EXPECT_TRUE(test::ReadFile(out).empty());
        EXPECT_GT(ChainOf(EntryNamed("BIG     BIN")).size(), 2u);
    }
}

// An image mtools filled with long names and folders goes through delete,
// rename, add, label and attributes; fsck.fat has nothing to say after any
// of them, and mtools reads the folder we add as a folder of its own.
TEST_F(MtoolsInterop, LongNamesAndFoldersOfMtoolsSurviveOurEdits) {
    doc.modified = false;
    test::Close(doc);
    ASSERT_EQ(RunTool("mkfs.fat -C " + Quote(imagePath) + " 720"), 0);
    const Bytes inner = Pattern(2500, 4);
    const std::string mc = "mcopy -i " + Quote(imagePath) + " ";
    ASSERT_EQ(RunTool(mc + Quote(HostFile("Long File Name.txt", Pattern(3000, 1))) + " ::"), 0);
    ASSERT_EQ(RunTool(mc + Quote(HostFile("Another Long Name.doc", Pattern(1500, 2))) + " ::"), 0);
    ASSERT_EQ(RunTool(mc + Quote(HostFile("Kept Long Name.txt", Pattern(100, 3))) + " ::"), 0);
    ASSERT_EQ(RunTool("mmd -i " + Quote(imagePath) + " '::My Folder'"), 0);
    ASSERT_EQ(RunTool(mc + Quote(HostFile("Inner File.bin", inner)) + " '::My Folder/'"), 0);
    ASSERT_EQ(RunTool("mlabel -i " + Quote(imagePath) + " ::MTLABEL"), 0);
    ASSERT_EQ(FsckFindings(), std::vector<std::string>{}) << "mtools' own image";

    ASSERT_TRUE(test::Open(doc, test::TestOwner(), imagePath));
    layout = doc.GetLayout();
    options.forceSwitch = true;
    const uint32_t longFile = EntryNamed("LONGFI~1TXT");
    const uint32_t another = EntryNamed("ANOTHE~1DOC");
    const uint32_t folder = EntryNamed("MYFOLD~1   ");
    ASSERT_NE(longFile, 0u);
    ASSERT_NE(another, 0u);
    ASSERT_NE(folder, 0u);

    struct Step {
        const char* what;
        std::function<void()> run;
    };
    const Step steps[] = {
        {"rm", [&] {
             ASSERT_TRUE(IsListed(longFile));
             Shown(DeleteEntries(doc, {longFile}, options));
         }},
        {"ren", [&] {
             const std::string text = "short.doc";
             ASSERT_TRUE(Shown(RenameEntry(doc, another, &text, options)).Done());
         }},
        {"add a folder", [&] {
             const std::string path = dir.Path("mydir");
             ASSERT_EQ(RunTool("mkdir " + Quote(path)), 0);
             ASSERT_TRUE(Add(path).Done());
         }},
        {"add names DOS cannot open", [&] {
             for (const char* name : {"WHAT?.TXT", "A*B.C", "X:Y", "LE<SS", "Q\"UOTE", "TAB\t.X", "a.b.c", ".profile"}) {
                 ASSERT_TRUE(Add(HostFile(name, Pattern(10))).Done()) << name;
             }
         }},
        {"add a file over the folder", [&] {
             const Bytes before = test::ImageBytes(doc);
             script.Message(kMsgFileOverFolder, test::kIconError);
             EXPECT_FALSE(Add(HostFile("myfold~1", Pattern(10))).Done());
             EXPECT_TRUE(test::ImageBytes(doc) == before);
         }},
        {"label", [&] { ASSERT_TRUE(Shown(ApplyVolumeLabel(doc, ReadVolumeFigures(doc), "NEWLABEL")).Done()); }},
        {"attr", [&] { ASSERT_TRUE(Shown(ApplyFileAttributes(doc, EntryNamed("KEPTLO~1TXT"), kAttrReadOnly | kAttrHidden)).Done()); }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.run();
        Save();
        EXPECT_EQ(FsckFindings(), std::vector<std::string>{});
    }

    // mtools writes into our folder, not into the root, and reads what was there.
    const std::string listing = [&] {
        std::string all;
        for (const std::string& line : OutputLines("mdir -a -i " + Quote(imagePath) + " ::")) all += line + "\n";
        return all;
    }();
    EXPECT_EQ(listing.find("Long File Name.txt"), std::string::npos) << listing;
    EXPECT_NE(listing.find("Kept Long Name.txt"), std::string::npos) << listing;
    EXPECT_NE(listing.find("SHORT    DOC"), std::string::npos) << listing;
    ASSERT_EQ(RunTool(mc + Quote(HostFile("inside.txt", Pattern(700, 5))) + " ::/MYDIR/"), 0);
    EXPECT_EQ(Mcopy("MYDIR/INSIDE.TXT"), Pattern(700, 5));
    EXPECT_NE(RunTool("mcopy -n -i " + Quote(imagePath) + " ::INSIDE.TXT " + Quote(dir.Path("no"))), 0)
        << "the file went into the root";
    EXPECT_EQ(Mcopy("'My Folder/Inner File.bin'"), inner);
    EXPECT_EQ(FsckFindings(), std::vector<std::string>{});
}

}  // namespace
}  // namespace vk
