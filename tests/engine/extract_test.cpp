// Extracting entries to host files: data, stamps and attributes, the replace
// question, corrupt chains that must never lead outside the image, and the
// two commands that drive ExtractEntry.
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/document.h"
#include "engine/core/media_errors.h"
#include "engine/fat/ops/extract.h"
#include "engine/strings/string_ids.h"
#include "tests/engine/transfer_fixture.h"
#include "tests/support/box_flags.h"
#include "tests/support/win_codes.h"

namespace vk {
namespace {

using test::Bytes;

constexpr unsigned kAskReplaceFlags = test::kBoxYesNo | test::kIconQuestion | test::kDefaultButton2;

class ExtractTest : public test::TransferTest {
protected:
    // ExtractEntry as a front end runs it, its failure shown: false when it failed.
    bool Extract(uint32_t entryOffset, unsigned replaceFlags, const std::string& out) {
        return !Shown(ExtractEntry(doc, entryOffset, replaceFlags, out)).Failed();
    }
    // The drag-out extraction of `entries` into `folder`, what it says shown.
    Result IntoFolder(const std::vector<uint32_t>& entries, const std::string& folder) {
        return Shown(ExtractEntriesToFolder(doc, entries, folder, paths));
    }
    // The paths as the drop list carries them: each ended by a zero byte, one more at the end.
    std::string PathListText() const {
        std::string text;
        for (const std::string& path : paths) text += path + '\0';
        return text + '\0';
    }
    std::vector<std::string> paths;
    HostTime StampOf(uint32_t entryOffset) {
        DosDateTime dos{Load16(Entry(entryOffset) + kDirDate), Load16(Entry(entryOffset) + kDirTime)};
        HostTime t = 0;
        EXPECT_TRUE(LocalDosToHostTime(dos, t));
        return t;
    }
    HostFindData Found(const std::string& path) {
        HostFindData data;
        EXPECT_EQ(FindHostFile(path, data), 0u) << path;
        return data;
    }

public:
    // Damages named after their fault: the 3-cluster file at slot 0 (clusters
    // 2, 3, 4) gets its second link replaced.
    uint32_t FileWithSecondLink(uint32_t link) {
        const uint32_t e = PlaceFile(0, "BROKEN  BIN", Pattern(3000), {2, 3, 4});
        SetFat(3, link);
        return e;
    }
    uint32_t CircularChain() { return FileWithSecondLink(2); }
    uint32_t ChainLinkingToFree() { return FileWithSecondLink(0); }
    uint32_t ChainLinkingToOne() { return FileWithSecondLink(1); }
    uint32_t ChainLinkingToBadCluster() { return FileWithSecondLink(kFatBadCluster); }
    uint32_t ChainLinkingBeyondLastCluster() { return FileWithSecondLink(layout.lastCluster + 1); }
    uint32_t ChainStartingBeyondLastCluster() {
        const uint32_t e = PlaceFile(0, "BROKEN  BIN", Pattern(3000), {2, 3, 4});
        Store16(Entry(e) + kDirFirstCluster, 0xFF0);
        return e;
    }
};

TEST_F(ExtractTest, DataStampAndAttributesReachTheHost) {
    const Bytes data = Pattern(2500);
    const uint32_t e = PlaceFile(0, "DATA    BIN", data, {7, 3, 9}, kAttrArchive | kAttrHidden);
    const std::string out = dir.Path("data.bin");
    ASSERT_TRUE(Extract(e, kReplaceAsk, out));
    EXPECT_EQ(test::ReadFile(out), data);
    const HostFindData found = Found(out);
    EXPECT_EQ(found.lastWriteTime, StampOf(e));
#ifdef _WIN32
    EXPECT_EQ(found.attributes & (kHostHidden | kHostArchive | kHostReadOnly), uint32_t{kHostHidden | kHostArchive});
#endif
    EXPECT_FALSE(doc.modified);
}

TEST_F(ExtractTest, ChainsOfRunsAndJumpsArriveInChainOrder) {
    struct Case {
        const char* what;
        size_t size;
        std::vector<uint32_t> clusters;
    } cases[] = {
        {"one run", 9500, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        {"run, jump back, run", 5800, {8, 9, 10, 2, 3, 4}},
        {"runs around single clusters", 6500, {20, 21, 5, 30, 31, 32, 6}},
        {"a run that ends mid-cluster", 2100, {12, 13, 14}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.what);
        const Bytes data = Pattern(c.size, static_cast<uint8_t>(i + 1));
        const uint32_t e = PlaceFile(static_cast<uint32_t>(i), "RUNS    BIN", data, c.clusters);
        const std::string out = dir.Path("runs" + std::to_string(i) + ".bin");
        ASSERT_TRUE(Extract(e, kReplaceAsk, out));
        EXPECT_EQ(test::ReadFile(out), data);
    }
}

TEST_F(ExtractTest, EmptyFileIgnoresItsFirstCluster) {
    const uint32_t e = PlaceFile(0, "EMPTY   BIN", {}, {});
    Store16(Entry(e) + kDirFirstCluster, kFatBadCluster);
    const std::string out = dir.Path("empty.bin");
    ASSERT_TRUE(Extract(e, kReplaceAsk, out));
    EXPECT_TRUE(test::ReadFile(out).empty());
    EXPECT_EQ(Found(out).lastWriteTime, StampOf(e));
}

TEST_F(ExtractTest, EntryWithoutAttributesGivesANormalFile) {
    const uint32_t e = PlaceFile(0, "PLAIN   BIN", Pattern(10), {2}, 0);
    const std::string out = dir.Path("plain.bin");
    ASSERT_TRUE(Extract(e, kReplaceAsk, out));
    uint32_t attributes = 0;
    ASSERT_EQ(GetHostFileAttributes(out, attributes), 0u);
    EXPECT_EQ(attributes & (kHostReadOnly | kHostHidden | kHostSystem), 0u);
}

TEST_F(ExtractTest, EarliestDosStampArrivesExactly) {
    const uint32_t e = PlaceFile(0, "OLD     BIN", Pattern(10), {2});
    Store16(Entry(e) + kDirDate, 1 << 5 | 1);  // 1980-01-01
    Store16(Entry(e) + kDirTime, 0);
    const std::string out = dir.Path("old.bin");
    ASSERT_TRUE(Extract(e, kReplaceAsk, out));
    DosDateTime back;
    ASSERT_TRUE(HostTimeToLocalDos(Found(out).lastWriteTime, back));
    EXPECT_EQ(back.date, PackDosDate(kDosFirstYear, 1, 1));
    EXPECT_EQ(back.time, 0);
}

TEST_F(ExtractTest, ExistingHostFileIsReplacedOnlyAfterYes) {
    const uint32_t e = PlaceFile(0, "DATA    BIN", Pattern(100), {2});
    const std::string out = HostFile("data.bin", {1, 2, 3});

    script.Message(kMsgReplaceHostFile, kAskReplaceFlags, test::kIdNo);
    EXPECT_TRUE(Extract(e, kReplaceAsk, out)) << "declining is no failure";
    EXPECT_EQ(test::ReadFile(out), (Bytes{1, 2, 3}));
    EXPECT_EQ(script.Shown().back().inserts, std::vector<std::string>{out});

    script.Message(kMsgReplaceHostFile, kAskReplaceFlags, test::kIdYes);
    EXPECT_TRUE(Extract(e, kReplaceAsk, out));
    EXPECT_EQ(test::ReadFile(out), Pattern(100));

    test::WriteFile(out, {9});
    EXPECT_TRUE(Extract(e, kReplaceSilently, out));
    EXPECT_EQ(test::ReadFile(out), Pattern(100));
}

// The new file is written beside its target and takes its place whole, or
// is removed: whatever the answer, the folder holds the target alone.
TEST_F(ExtractTest, ReplacingLeavesTheTargetAloneInItsFolder) {
    const uint32_t e = PlaceFile(0, "DATA    BIN", Pattern(3000), {2, 3, 4});
    const Bytes old{1, 2, 3};
    const struct {
        const char* what;
        unsigned flags;
        int answer;  // to kMsgReplaceHostFile; 0: not asked
        bool readOnlyTarget;
        bool replaced;
    } kCases[] = {
        {"declined", kReplaceAsk, test::kIdNo, false, false},
        {"accepted", kReplaceAsk, test::kIdYes, false, true},
        {"silent", kReplaceSilently, 0, false, true},
        {"read-only target", kReplaceSilently, 0, true, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        const std::string folder = dir.Path(c.what);
        ASSERT_TRUE(std::filesystem::create_directory(folder));
        const std::string out = folder + HostPathSeparator() + "data.bin";
        test::WriteFile(out, old);
        if (c.readOnlyTarget) {
            ASSERT_EQ(SetHostFileAttributes(out, kHostReadOnly), 0u);
        }
        if (c.answer != 0) script.Message(kMsgReplaceHostFile, kAskReplaceFlags, c.answer);
        if (c.readOnlyTarget) script.SystemError(test::win_code::kAccessDenied, out);
        EXPECT_EQ(Extract(e, c.flags, out), !c.readOnlyTarget);
        EXPECT_EQ(test::ReadFile(out), c.replaced ? Pattern(3000) : old);
        std::vector<std::string> names;
        for (const auto& item : std::filesystem::directory_iterator(folder)) {
            names.push_back(item.path().filename().string());
        }
        EXPECT_EQ(names, std::vector<std::string>{"data.bin"});
        if (c.readOnlyTarget) SetHostFileAttributes(out, kHostNormal);
    }
}

TEST_F(ExtractTest, ReadOnlyEntryGivesAReadOnlyFileThatRefusesReplacing) {
    const uint32_t e = PlaceFile(0, "LOCKED  BIN", Pattern(100), {2}, kAttrReadOnly);
    const std::string out = dir.Path("locked.bin");
    ASSERT_TRUE(Extract(e, kReplaceAsk, out));
    uint32_t attributes = 0;
    ASSERT_EQ(GetHostFileAttributes(out, attributes), 0u);
    EXPECT_TRUE(attributes & kHostReadOnly);
    // Refused by the engine itself, even where root could write the file.
    script.Message(kMsgReplaceHostFile, kAskReplaceFlags, test::kIdYes).SystemError(test::win_code::kAccessDenied, out);
    EXPECT_FALSE(Extract(e, kReplaceAsk, out));
    EXPECT_EQ(test::ReadFile(out), Pattern(100));
}

#ifndef _WIN32
// The access error after Yes to kMsgReplaceHostFile, on a target no one may write:
// a folder stands where the file should go.
TEST_F(ExtractTest, ReplacingAnUnwritableTargetAfterYesIsAnAccessError) {
    const uint32_t e = PlaceFile(0, "DATA    BIN", Pattern(100), {2});
    const std::string out = dir.Path("taken");
    ASSERT_TRUE(std::filesystem::create_directory(out));
    script.Message(kMsgReplaceHostFile, kAskReplaceFlags, test::kIdYes).SystemError(test::win_code::kAccessDenied, out);
    EXPECT_FALSE(Extract(e, kReplaceAsk, out));
}
#endif

#ifndef _WIN32
// Replacing an entry of the target folder replaces that entry: a link there
// must not carry the data to a file outside the folder.
TEST_F(ExtractTest, ALinkAtTheTargetIsReplacedItselfNeverFollowed) {
    const uint32_t e = PlaceFile(0, "NOTES   TXT", Pattern(100), {2});
    const std::string outside = HostFile("outside.txt", {1, 2, 3});
    const std::string folder = dir.Path("out");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    const std::string link = folder + "/NOTES.TXT";
    std::filesystem::create_symlink("../outside.txt", link);
    EXPECT_TRUE(Extract(e, kReplaceSilently, link));
    EXPECT_EQ(test::ReadFile(outside), (Bytes{1, 2, 3}));
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_EQ(test::ReadFile(link), Pattern(100));
}
#endif

// The image being read, and its .der file, are never extraction targets,
// however their paths are spelt; both stay byte for byte as they were.
TEST_F(ExtractTest, TheOpenImageAndItsErrorFileAreNeverOverwritten) {
    const uint32_t e = PlaceFile(0, "GAME    DSK", Pattern(5), {2});
    ASSERT_TRUE(CreateErrorList(doc.geometry.totalSectors, doc.errorList));
    MarkBadSector(doc.errorList, 100);
    const std::string image = dir.Path("game.dsk");
    ASSERT_TRUE(test::Shown(SaveImageAsPath(doc, image), test::TestOwner()) && test::Shown(SaveImage(doc)));
    ASSERT_TRUE(doc.errorFile.IsOpen());
    const std::string sep(1, HostPathSeparator());
    const std::string targets[] = {image, dir.Root() + sep + "." + sep + "game.dsk", ErrorFileName(image)};
    const Bytes imageBefore = test::ReadFile(image);
    const Bytes errorsBefore = test::ReadFile(ErrorFileName(image));
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        script.Message(kMsgExtractOntoOpenImage, test::kIconError);
        EXPECT_FALSE(Extract(e, kReplaceSilently, target));
        ASSERT_FALSE(script.Shown().empty());
        EXPECT_EQ(script.Shown().back().inserts, std::vector<std::string>{target});
    }
    EXPECT_EQ(test::ReadFile(image), imageBefore);
    EXPECT_EQ(test::ReadFile(ErrorFileName(image)), errorsBefore);
}

TEST_F(ExtractTest, SizeBeyondTheChainKeepsTheChainAndWarnsOnce) {
    const Bytes data = Pattern(2048);
    const uint32_t e = PlaceFile(0, "SHORT   BIN", data, {2, 3});
    Store32(Entry(e) + kDirSize, 5000);
    const std::string out = dir.Path("short.bin");
    script.Message(kMsgStoredFileCorrupt, test::kIconWarning);
    EXPECT_FALSE(Extract(e, kReplaceAsk, out));
    EXPECT_EQ(test::ReadFile(out), data);
    EXPECT_EQ(Found(out).lastWriteTime, StampOf(e)) << "the partial file is stamped too";
}

TEST_F(ExtractTest, CorruptChainsNeverReadOutsideTheVolume) {
    struct Case {
        const char* fault;
        uint32_t (ExtractTest::*make)();
        size_t goodBytes;  // what the intact part of the chain holds
    } cases[] = {
        {"circular chain", &ExtractTest::CircularChain, 2048},
        {"link to a free cluster", &ExtractTest::ChainLinkingToFree, 2048},
        {"link to cluster 1", &ExtractTest::ChainLinkingToOne, 2048},
        {"link to the bad-cluster mark", &ExtractTest::ChainLinkingToBadCluster, 2048},
        {"link beyond the last cluster", &ExtractTest::ChainLinkingBeyondLastCluster, 2048},
        {"first cluster beyond the last", &ExtractTest::ChainStartingBeyondLastCluster, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        const uint32_t e = (this->*c.make)();
        const std::string out = dir.Path(std::string(c.fault) + ".bin");
        script.Message(kMsgStoredFileCorrupt, test::kIconWarning);
        EXPECT_FALSE(Extract(e, kReplaceAsk, out));
        const Bytes whole = Pattern(3000);
        const Bytes want(whole.begin(), whole.begin() + static_cast<long>(c.goodBytes));
        EXPECT_EQ(test::ReadFile(out), want);
        EXPECT_EQ(script.Pending(), 0u);
    }
}

TEST_F(ExtractTest, ClusterPastTheEndOfAShortImageIsCorruptData) {
    const uint32_t e = PlaceFile(0, "TAIL    BIN", Pattern(3000), {2, 3, 4});
    Bytes bytes = test::ImageBytes(doc);
    bytes.resize(static_cast<size_t>(layout.ClusterOffset(4)) + 10);
    doc.imageBuffer.Reset();
    test::InstallImage(doc, bytes);
    const std::string out = dir.Path("tail.bin");
    script.Message(kMsgStoredFileCorrupt, test::kIconWarning);
    EXPECT_FALSE(Extract(e, kReplaceAsk, out));
    EXPECT_EQ(test::ReadFile(out).size(), 2048u);
}

TEST_F(ExtractTest, UncreatableTargetIsASystemError) {
    const uint32_t e = PlaceFile(0, "DATA    BIN", Pattern(10), {2});
    const std::string out = dir.Path("no-such-folder") + HostPathSeparator() + "data.bin";
#ifdef _WIN32
    script.SystemError(test::win_code::kPathNotFound, out);
#else
    script.SystemError(test::win_code::kFileNotFound, out);  // ENOENT serves both
#endif
    EXPECT_FALSE(Extract(e, kReplaceAsk, out));
}

// The Extract file command over three selected items, as the window runs it.
TEST_F(ExtractTest, SaveEntryAsStepsOverTheSelection) {
    const uint32_t a = PlaceFile(0, "A       BIN", Pattern(10, 1), {2});
    const uint32_t folder = PlaceFile(1, "SUB        ", {}, {}, kAttrDirectory);
    const uint32_t b = PlaceFile(2, "B       BIN", Pattern(10, 2), {3});
    const uint32_t c = PlaceFile(3, "C       BIN", Pattern(10, 3), {4});
    std::vector<std::string> answers = {dir.Path("a.out"), "", dir.Path("c.out")};
    std::vector<std::string> suggested;
    const SavePathChooser chooser = [&](std::string_view name, std::string& path) {
        EXPECT_EQ(test::PromptOwner(), test::TestOwner());
        suggested.emplace_back(name);
        path = answers[suggested.size() - 1];
        return !path.empty();
    };
    script.Message(kMsgCannotSaveEntry, test::kIconWarning);
    size_t visited = 0;
    for (const uint32_t entry : {a, folder, b, c}) {
        ++visited;
        if (!Shown(SaveEntryAs(doc, entry, chooser)).goOn) break;
    }
    EXPECT_EQ(visited, 3u) << "cancelling the second dialog stops the command";
    EXPECT_EQ(suggested, (std::vector<std::string>{"A.BIN", "B.BIN"}));
    EXPECT_EQ(script.Shown().front().inserts, std::vector<std::string>{"SUB"});
    EXPECT_EQ(test::ReadFile(dir.Path("a.out")), Pattern(10, 1));
    EXPECT_FALSE(test::FileExists(dir.Path("c.out")));
}

TEST_F(ExtractTest, ExtractToFolderWritesEachEntryAndListsThePaths) {
    const uint32_t a = PlaceFile(0, "A       BIN", Pattern(10, 1), {2});
    const uint32_t b = PlaceFile(1, "B       TXT", Pattern(1500, 2), {3, 4});
    const std::string folder = dir.Root();
    test::WriteFile(dir.Path("B.TXT"), {1});  // replaced without a question
    const Result result = IntoFolder({a, b}, folder);
    EXPECT_TRUE(result.Done());
    EXPECT_TRUE(result.changes.Empty()) << "the image never changes";
    const std::string sep(1, HostPathSeparator());
    const std::string want = folder + sep + "A.BIN" + '\0' + folder + sep + "B.TXT" + '\0' + '\0';
    EXPECT_EQ(PathListText(), want);
    EXPECT_EQ(test::ReadFile(dir.Path("A.BIN")), Pattern(10, 1));
    EXPECT_EQ(test::ReadFile(dir.Path("B.TXT")), Pattern(1500, 2));
}

TEST_F(ExtractTest, ExtractToFolderRefusesASelectionWithDirectoriesOrLabels) {
    for (uint8_t attr : {kAttrDirectory, kAttrVolume}) {
        const uint32_t a = PlaceFile(0, "A       BIN", Pattern(10), {2});
        const uint32_t odd = PlaceFile(1, "ODD        ", {}, {}, attr);
        script.Message(kMsgCannotSaveDirOrLabel, test::kIconWarning);
        EXPECT_TRUE(IntoFolder({a, odd}, dir.Root()).Failed());
        EXPECT_FALSE(test::FileExists(dir.Path("A.BIN")));
    }
}

TEST_F(ExtractTest, FailedExtractionStopsTheFolderExtraction) {
    const uint32_t bad = CircularChain();
    const uint32_t good = PlaceFile(1, "GOOD    BIN", Pattern(10), {9});
    script.Message(kMsgStoredFileCorrupt, test::kIconWarning);
    EXPECT_TRUE(IntoFolder({bad, good}, dir.Root()).Failed());
    EXPECT_FALSE(test::FileExists(dir.Path("GOOD.BIN")));
}

TEST_F(ExtractTest, ExtractToFolderWritesExactlyTheEntriesGiven) {
    const uint32_t a = PlaceFile(0, "A       BIN", Pattern(10, 1), {2});
    PlaceFile(1, "B       BIN", Pattern(700, 2), {3, 4});  // left out
    const uint32_t c = PlaceFile(2, "C       TXT", Pattern(1500, 3), {5, 6, 7});
    ASSERT_TRUE(IntoFolder({a, c}, dir.Root()).Done());
    const std::string sep(1, HostPathSeparator());
    const std::string want = dir.Root() + sep + "A.BIN" + '\0' + dir.Root() + sep + "C.TXT" + '\0' + '\0';
    EXPECT_EQ(PathListText(), want);
    EXPECT_EQ(test::ReadFile(dir.Path("A.BIN")), Pattern(10, 1));
    EXPECT_EQ(test::ReadFile(dir.Path("C.TXT")), Pattern(1500, 3));
    EXPECT_FALSE(test::FileExists(dir.Path("B.BIN")));
}

TEST_F(ExtractTest, ExtractToFolderWritesNothingWhenADirectoryIsAmongTheEntries) {
    const uint32_t a = PlaceFile(0, "A       BIN", Pattern(10), {2});
    const uint32_t sub = PlaceFile(1, "SUB        ", {}, {}, kAttrDirectory);
    script.Message(kMsgCannotSaveDirOrLabel, test::kIconWarning);
    EXPECT_TRUE(IntoFolder({a, sub}, dir.Root()).Failed());
    EXPECT_FALSE(test::FileExists(dir.Path("A.BIN")));
}

TEST(SafeHostName, NamesFromTheImageStayInsideTheFolder) {
    struct Case {
        const char* name;
        const char* safe;
    } cases[] = {
        {"NOTES.TXT", "NOTES.TXT"},
        {"LETTER T.DOC", "LETTER T.DOC"},
        {"..", "__"},
        {".", "_"},
        {"", "_"},
        {"A/B.TXT", "A_B.TXT"},
        {"..\\..\\X", ".._.._X"},
        {"C:EVIL", "C_EVIL"},
        {"A*?\"<>|.X", "A______.X"},
        {"TAB\tX", "TAB_X"},
        {"DOTS..", "DOTS__"},
        {"BLANK ", "BLANK_"},
        {"CON", "_CON"},
        {"con.txt", "_con.txt"},
        {"LPT1.BIN", "_LPT1.BIN"},
        {"COM0", "COM0"},
        {"CONSOLE", "CONSOLE"},
        {"\xE9T\xC9.TXT", "\xE9T\xC9.TXT"},
    };
    for (const Case& c : cases) EXPECT_EQ(SafeHostName(c.name), c.safe) << c.name;
}

TEST_F(ExtractTest, EntryNamedDotDotLandsInsideTheFolder) {
    const uint32_t e = PlaceFile(0, "..         ", Pattern(10), {2});
    const std::string inner = dir.Path("inner");
    ASSERT_TRUE(std::filesystem::create_directory(inner));
    ASSERT_TRUE(IntoFolder({e}, inner).Done());
    EXPECT_EQ(test::ReadFile(inner + HostPathSeparator() + "__"), Pattern(10));
}

// Entries of one host name dragged out together: none is written over
// another, and a tail passes a host file that was there.
TEST_F(ExtractTest, EntriesOfOneHostNameGetTails) {
    const uint32_t colon = PlaceFile(0, "A:B     TXT", Pattern(10, 1), {2});
    const uint32_t query = PlaceFile(1, "A?B     TXT", Pattern(20, 2), {3});
    const uint32_t under = PlaceFile(2, "A_B     TXT", Pattern(30, 3), {4});
    test::WriteFile(dir.Path("A_B~1.TXT"), {7});
    script.Message(kMsgExtractedUnderTail, test::kIconInformation).Message(kMsgExtractedUnderTail, test::kIconInformation);
    ASSERT_TRUE(IntoFolder({colon, query, under}, dir.Root()).Done());
    const std::string sep = dir.Root() + HostPathSeparator();
    EXPECT_EQ(PathListText(), sep + "A_B.TXT" + '\0' + sep + "A_B~2.TXT" + '\0' + sep + "A_B~3.TXT" + '\0' + '\0');
    EXPECT_EQ(test::ReadFile(dir.Path("A_B.TXT")), Pattern(10, 1));
    EXPECT_EQ(test::ReadFile(dir.Path("A_B~1.TXT")), (Bytes{7}));
    EXPECT_EQ(test::ReadFile(dir.Path("A_B~2.TXT")), Pattern(20, 2));
    EXPECT_EQ(test::ReadFile(dir.Path("A_B~3.TXT")), Pattern(30, 3));
}

}  // namespace
}  // namespace vk
