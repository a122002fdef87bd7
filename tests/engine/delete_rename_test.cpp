// Deleting selected entries and renaming in the label editor.
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "engine/fat/ops/delete_rename.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/dir/long_names.h"
#include "tests/engine/fat_image_fixture.h"
#include "engine/strings/string_ids.h"
#include "tests/support/box_flags.h"
#include "tests/support/win_codes.h"

namespace vk {
namespace {

constexpr unsigned kAskDelete = test::kBoxYesNoCancel | test::kIconQuestion | test::kDefaultButton2;
// The question about one of several selected entries.
constexpr unsigned kAskDeleteOfMany = test::kBoxYesAllNoCancel | test::kIconQuestion | test::kDefaultButton2;

class DeleteTest : public test::FatImageTest {
protected:
    // Five entries: three files, a folder and a file, listed in that order.
    void SetUp() override {
        FatImageTest::SetUp();
        Put(0, "ONE     TXT", kAttrArchive, {2, 3}, 1500);
        Put(1, "TWO     TXT", kAttrArchive, {4}, 10);
        Put(2, "THREE   TXT", kAttrArchive, {5, 7, 6}, 3000);
        Put(3, "SUB        ", kAttrDirectory, {8}, 0);
        Put(4, "FOUR    TXT", kAttrArchive | kAttrReadOnly, {9}, 1);
        listed = ListedEntries(doc);
        ASSERT_EQ(listed.size(), 5u);
    }
    // Picks the listed entries at `items`, as a user's clicks would.
    void Select(std::initializer_list<int> items) {
        selected.clear();
        for (int i : items) selected.push_back(listed[static_cast<size_t>(i)]);
    }
    void Delete() { result = Shown(DeleteEntries(doc, selected, options)); }

    std::vector<uint32_t> listed;    // the listing before the command
    std::vector<uint32_t> selected;  // in list order
    Result result;
};

TEST_F(DeleteTest, WritesExactlyTheFatZerosAndTheDeletedMark) {
    test::Bytes expected = Snapshot();
    Select({2});
    script.Message(kMsgDeleteFile, kAskDelete, test::kIdYes);
    Delete();

    // THREE.TXT held clusters 5, 7, 6: entries 5 and 6 share bytes with 4 and 7.
    const uint32_t fat = static_cast<uint32_t>(layout.fatStart);
    for (uint32_t c : {5u, 6u, 7u}) {
        const uint32_t p = fat + c * 3 / 2;
        if (c % 2 == 0) {
            expected[p] = 0;
            expected[p + 1] &= 0xF0;
        } else {
            expected[p] &= 0x0F;
            expected[p + 1] = 0;
        }
    }
    expected[Slot(2)] = kEntryDeleted;
    EXPECT_EQ(Snapshot(), expected);
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(Fat(4), kFatEnd);
    EXPECT_EQ(Fat(8), kFatEnd);
    EXPECT_EQ(script.Shown()[0].inserts, std::vector<std::string>{"THREE.TXT"});
    EXPECT_EQ(ListedEntries(doc), (std::vector<uint32_t>{Slot(0), Slot(1), Slot(3), Slot(4)}));
    EXPECT_EQ(result.changes.removed, std::vector<uint32_t>{Slot(2)});
}

TEST_F(DeleteTest, ThreeAdjacentSelectedItemsAreAllDeleted) {
    Select({0, 1, 2});
    script.Message(kMsgDeleteFile, kAskDeleteOfMany, test::kIdYes)
        .Message(kMsgDeleteFile, kAskDeleteOfMany, test::kIdYes)
        .Message(kMsgDeleteFile, kAskDeleteOfMany, test::kIdYes);
    Delete();
    EXPECT_EQ(ListedEntries(doc), (std::vector<uint32_t>{Slot(3), Slot(4)}));
    EXPECT_EQ(result.changes.removed, selected) << "every selected entry left the listing";
    for (uint32_t i : {0u, 1u, 2u}) EXPECT_EQ(At(i)[0], kEntryDeleted) << i;
    for (uint32_t c = 2; c <= 7; ++c) EXPECT_EQ(Fat(c), kFatFree) << c;
    EXPECT_EQ(script.Shown()[1].inserts, std::vector<std::string>{"TWO.TXT"});
}

// The question names the entry as a listing shows it: an escaped E5 as E5,
// other bytes as they are, a blank base as nothing.
TEST_F(DeleteTest, TheQuestionNamesTheEntryAsTheListShowsIt) {
    const struct {
        const char* name11;
        std::string shown;
    } cases[] = {
        {"\x05XTRA   TXT", "\xE5XTRA.TXT"},
        {"A\x01\xFF     B  ", "A\x01\xFF.B"},
        {"        PRO", ".PRO"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        std::memcpy(At(1), c.name11, kDirFullNameLength);
        Select({1});
        script.Message(kMsgDeleteFile, kAskDelete, test::kIdNo);
        Delete();
        EXPECT_EQ(script.Shown().back().inserts, std::vector<std::string>{c.shown});
    }
}

struct AnswerCase {
    const char* name;
    int answer;
    bool deleted;       // ONE.TXT went
    size_t questions;   // boxes shown for the selection ONE, TWO
};
void PrintTo(const AnswerCase& c, std::ostream* os) { *os << c.name; }

class DeleteAnswerTest : public DeleteTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(DeleteAnswerTest, AnswerDecidesTheItemAndTheRest) {
    const AnswerCase& c = GetParam();
    const test::Bytes before = Snapshot();
    Select({0, 1});
    script.Message(kMsgDeleteFile, kAskDeleteOfMany, c.answer);
    if (c.questions == 2) script.Message(kMsgDeleteFile, kAskDeleteOfMany, test::kIdNo);
    Delete();
    EXPECT_EQ(At(0)[0] == kEntryDeleted, c.deleted);
    EXPECT_EQ(At(1)[0], 'T');  // answered No, or never asked after Cancel
    EXPECT_EQ(script.Shown().size(), c.questions);
    if (!c.deleted) {
        EXPECT_EQ(Snapshot(), before);
        EXPECT_FALSE(doc.modified);
        EXPECT_EQ(ListedEntries(doc).size(), 5u);
        EXPECT_TRUE(result.changes.Empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, DeleteAnswerTest,
                         ::testing::Values(AnswerCase{"YesDeletesAndGoesOn", test::kIdYes, true, 2},
                                           AnswerCase{"NoKeepsAndGoesOn", test::kIdNo, false, 2},
                                           AnswerCase{"CancelKeepsAndSkipsTheRest", test::kIdCancel, false, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeleteTest, DirectoryGivesMessage81AndTheWalkGoesOn) {
    Select({3, 4});
    script.Message(kMsgCannotDeleteDir, test::kIconWarning).Message(kMsgDeleteFile, kAskDeleteOfMany, test::kIdYes);
    Delete();
    EXPECT_EQ(script.Shown()[0].inserts, std::vector<std::string>{"SUB"});
    EXPECT_EQ(At(3)[0], 'S');
    EXPECT_EQ(Fat(8), kFatEnd);
    EXPECT_EQ(At(4)[0], kEntryDeleted);  // read-only files are deleted like others
}

// Thirty selected files are one answer, not thirty.
TEST_F(DeleteTest, YesToAllDeletesTheRestWithoutAskingButStillWarnsAboutDirectories) {
    Select({0, 1, 2, 3, 4});
    script.Message(kMsgDeleteFile, kAskDeleteOfMany, test::kIdNo)
        .Message(kMsgDeleteFile, kAskDeleteOfMany, test::kIdYesToAll)
        .Message(kMsgCannotDeleteDir, test::kIconWarning);
    Delete();
    EXPECT_EQ(script.Shown()[1].inserts, std::vector<std::string>{"TWO.TXT"});
    EXPECT_EQ(ListedEntries(doc), (std::vector<uint32_t>{Slot(0), Slot(3)}));
    EXPECT_EQ(At(0)[0], 'O');
    for (uint32_t i : {1u, 2u, 4u}) EXPECT_EQ(At(i)[0], kEntryDeleted) << i;
}

TEST_F(DeleteTest, OneSelectedEntryIsAskedWithoutYesToAll) {
    Select({4});
    script.Message(kMsgDeleteFile, kAskDelete, test::kIdYesToAll);  // not a button of that box
    Delete();
    EXPECT_EQ(At(4)[0], 'F');
    EXPECT_FALSE(doc.modified);
}

TEST_F(DeleteTest, ForceSwitchSkipsQuestionsButNotTheDirectoryWarning) {
    options.forceSwitch = true;
    Select({0, 1, 2, 3, 4});
    script.Message(kMsgCannotDeleteDir, test::kIconWarning);
    Delete();
    EXPECT_EQ(ListedEntries(doc), std::vector<uint32_t>{Slot(3)});
    for (uint32_t i : {0u, 1u, 2u, 4u}) EXPECT_EQ(At(i)[0], kEntryDeleted) << i;
}

// Files with long names as other systems write them: LONGFI~1.TXT behind an
// intact run of two, and DAMAGED.TXT behind a run whose middle entry has
// another file's checksum, so only the entry next to it belongs.
class LongNameEditTest : public test::FatImageTest {
protected:
    void SetUp() override {
        FatImageTest::SetUp();
        const uint8_t sum = Checksum("LONGFI~1TXT");
        test::WriteLongNameEntry(At(0), 2 | kLongNameLastFlag, sum);
        test::WriteLongNameEntry(At(1), 1, sum);
        Put(2, "LONGFI~1TXT", kAttrArchive, {2}, 10);
        const uint8_t damaged = Checksum("DAMAGED TXT");
        test::WriteLongNameEntry(At(3), 3 | kLongNameLastFlag, damaged);
        test::WriteLongNameEntry(At(4), 2, Checksum("OTHER   TXT"));
        test::WriteLongNameEntry(At(5), 1, damaged);
        Put(6, "DAMAGED TXT", kAttrArchive, {3}, 10);
        ASSERT_EQ(ListedEntries(doc), (std::vector<uint32_t>{Slot(2), Slot(6)}));
    }
    // The Delete command over the listed entry at `item`.
    void DeleteItem(size_t item) { Shown(DeleteEntries(doc, {ListedEntries(doc)[item]}, options)); }
    Result Rename(uint32_t entry, const std::string& typed) { return Shown(RenameEntry(doc, entry, &typed, options)); }
    static uint8_t Checksum(const char* name11) { return ShortNameChecksum(reinterpret_cast<const uint8_t*>(name11)); }
    // The image as it was, with byte 0 of the given slots marked deleted.
    test::Bytes WithDeleted(test::Bytes image, std::vector<uint32_t> slots) {
        for (uint32_t i : slots) image[Slot(i)] = kEntryDeleted;
        return image;
    }
};

TEST_F(LongNameEditTest, DeleteTakesTheLongNameAlong) {
    test::Bytes expected = Snapshot();
    options.forceSwitch = true;
    DeleteItem(0);
    expected = WithDeleted(expected, {0, 1, 2});
    // Cluster 2's entry is the even half of bytes 3 and 4 of the FAT.
    const uint32_t fat = static_cast<uint32_t>(layout.fatStart);
    expected[fat + 3] = 0;
    expected[fat + 4] &= 0xF0;
    EXPECT_EQ(Snapshot(), expected);
}

TEST_F(LongNameEditTest, DeleteLeavesWhatDoesNotBelongAlone) {
    const test::Bytes before = Snapshot();
    options.forceSwitch = true;
    DeleteItem(1);
    const test::Bytes after = Snapshot();
    EXPECT_EQ(At(5)[0], kEntryDeleted);
    EXPECT_EQ(At(6)[0], kEntryDeleted);
    for (uint32_t i : {0u, 1u, 2u, 3u, 4u}) {
        EXPECT_TRUE(std::equal(after.begin() + Slot(i), after.begin() + Slot(i + 1), before.begin() + Slot(i))) << i;
    }
}

TEST_F(LongNameEditTest, RenameDeletesTheOldLongName) {
    const test::Bytes before = Snapshot();
    ASSERT_TRUE(Rename(Slot(2), "short.txt").Done());
    test::Bytes expected = WithDeleted(before, {0, 1});
    std::copy_n("SHORT   TXT", 11, expected.begin() + Slot(2));
    EXPECT_EQ(Snapshot(), expected);
}

TEST_F(LongNameEditTest, RenameToTheSameNameKeepsTheLongName) {
    const test::Bytes before = Snapshot();
    ASSERT_TRUE(Rename(Slot(2), "longfi~1.txt").Done());
    EXPECT_EQ(Snapshot(), before) << "the long name still fits the short one";
}

TEST_F(LongNameEditTest, RefusedRenameKeepsTheLongName) {
    const test::Bytes before = Snapshot();
    script.SystemError(test::win_code::kAlreadyExists, "DAMAGED.TXT");
    EXPECT_TRUE(Rename(Slot(2), "damaged.txt").Failed());
    EXPECT_EQ(Snapshot(), before);
}

class RenameTest : public test::FatImageTest {
protected:
    void SetUp() override {
        FatImageTest::SetUp();
        Put(0, "FILE1   TXT", kAttrArchive, {2}, 100);
        Put(1, "FILE2   TXT", kAttrArchive, {3}, 200);
    }
    // Renames slot 0 to `text` as the label editor does; on acceptance
    // `text` becomes what the list shows.
    Result Rename(std::string& text) {
        const std::string typed = text;
        return Shown(RenameEntry(doc, Slot(0), &typed, options, &text));
    }
};

struct AcceptCase {
    const char* name;
    const char* typed;
    const char* stored;  // 11 name bytes
    const char* shown;   // the list's new label
};
void PrintTo(const AcceptCase& c, std::ostream* os) { *os << c.name; }

class RenameAcceptTest : public RenameTest, public ::testing::WithParamInterface<AcceptCase> {};

TEST_P(RenameAcceptTest, StoresTheNameAndShowsTheUpperCaseText) {
    const AcceptCase& c = GetParam();
    const test::Bytes before = Snapshot();
    std::string text = c.typed;
    const Result renamed = Rename(text);
    EXPECT_TRUE(renamed.Done());
    EXPECT_EQ(renamed.changes.changed, std::vector<uint32_t>{Slot(0)});
    EXPECT_EQ(Name11(0), c.stored);
    EXPECT_EQ(text, c.shown);
    EXPECT_TRUE(doc.modified);
    // Only the 11 name bytes change.
    test::Bytes expected = before;
    std::copy(c.stored, c.stored + 11, expected.begin() + Slot(0));
    EXPECT_EQ(Snapshot(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, RenameAcceptTest,
    ::testing::Values(AcceptCase{"LowerCaseIsUpperCased", "notes.txt", "NOTES   TXT", "NOTES.TXT"},
                      AcceptCase{"EightCharactersAndDotLoseTheDot", "ABCDEFGH.", "ABCDEFGH   ", "ABCDEFGH"},
                      AcceptCase{"ShortBaseAndDotKeepsTheDotInTheList", "ABC.", "ABC        ", "ABC."},
                      AcceptCase{"OwnNameInOtherCaseIsAccepted", "file1.txt", "FILE1   TXT", "FILE1.TXT"},
                      AcceptCase{"DollarIsValid", "$A.B$", "$A      B$ ", "$A.B$"},
                      AcceptCase{"TwelveCharacters", "ABCDEFGH.TXT", "ABCDEFGHTXT", "ABCDEFGH.TXT"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RejectCase {
    const char* name;
    std::string typed;
    unsigned message;
    NameStrength strength;
};
void PrintTo(const RejectCase& c, std::ostream* os) { *os << c.name; }

class RenameRejectTest : public RenameTest, public ::testing::WithParamInterface<RejectCase> {};

TEST_P(RenameRejectTest, ShowsTheMessageAndKeepsTheOldName) {
    const RejectCase& c = GetParam();
    options.nameStrength = c.strength;
    const test::Bytes before = Snapshot();
    script.Message(c.message, test::kIconError);
    std::string text = c.typed;
    const Result renamed = Rename(text);
    EXPECT_TRUE(renamed.Failed());
    EXPECT_EQ(renamed.kind, FailureKind::kBadName);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(doc.modified);
}

const NameStrength kRegular = NameStrength::kRegular;
const NameStrength kStrict = NameStrength::kStrict;

INSTANTIATE_TEST_SUITE_P(
    Names, RenameRejectTest,
    ::testing::Values(RejectCase{"Empty", "", kMsgNameBlank, kRegular},
                      RejectCase{"ThirteenCharactersBeforeAnyOtherCheck", "a*c.d?f.h:jkl", kMsgNameTooLong, kRegular},
                      RejectCase{"NoBase", ".TXT", kMsgNameInvalid, kRegular},
                      RejectCase{"BaseOfNine", "ABCDEFGHI", kMsgNameInvalid, kRegular},
                      RejectCase{"ExtensionOfFour", "A.TEXT", kMsgNameInvalid, kRegular},
                      RejectCase{"SecondDot", "A.B.C", kMsgNameBadChars, kRegular},
                      RejectCase{"Blank", "MY FILE", kMsgNameBadChars, kRegular},
                      RejectCase{"Plus", "A+B", kMsgNameBadChars, kRegular},
                      RejectCase{"HighByteUnderStrict", "CAF\xC9", kMsgNameBadChars, kStrict}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RenameTest, HighByteIsAcceptedUnderRegular) {
    std::string text = "CAF\xC9.TXT";
    EXPECT_TRUE(Rename(text).Done());
    EXPECT_EQ(Name11(0), "CAF\xC9    TXT");
}

TEST_F(RenameTest, ByteE5IsNeverStored) {
    std::string text = "A\xE5";
#ifdef _WIN32
    // The ANSI upper-casing turns the small a-ring into the capital one first.
    EXPECT_TRUE(Rename(text).Done());
    EXPECT_EQ(Name11(0), "A\xC5         ");
#else
    script.Message(kMsgNameBadChars, test::kIconError);
    EXPECT_TRUE(Rename(text).Failed());
    EXPECT_EQ(Name11(0), "FILE1   TXT");
#endif
}

TEST_F(RenameTest, ExistingNameShowsSystemError183) {
    const test::Bytes before = Snapshot();
    script.SystemError(test::win_code::kAlreadyExists, "FILE2.TXT");
    std::string text = "file2.txt";
    const Result renamed = Rename(text);
    EXPECT_TRUE(renamed.Failed());
    EXPECT_EQ(renamed.kind, FailureKind::kExists);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(doc.modified);
}

TEST_F(RenameTest, CancelledEditingRejectsSilently) {
    const test::Bytes before = Snapshot();
    const Result renamed = Shown(RenameEntry(doc, Slot(0), nullptr, options));
    EXPECT_FALSE(renamed.Done());
    EXPECT_FALSE(renamed.Failed()) << "nothing to say";
    EXPECT_EQ(Snapshot(), before);
}

}  // namespace
}  // namespace vk
