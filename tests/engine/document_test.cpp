#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <cstring>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "engine/common/bytes.h"
#include "engine/core/media_errors.h"
#include "engine/core/new_image.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "tests/support/image_builder.h"
#include "tests/support/test_files.h"
#include "tests/support/win_codes.h"

namespace vk::test {
namespace {

class Document : public EngineTest {
protected:
    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = dir.Path(name);
        WriteFile(path, bytes);
        return path;
    }
    // An image whose second FAT differs from the first in one byte.
    static Bytes WithBadBackup(uint32_t code = 0xF9) {
        Bytes image = MakeImage(code);
        const Layout l = ComputeLayout(FormatRow(code));
        image[l.FatCopyStart(1) + 5] ^= 0x5A;
        return image;
    }
};

TEST_F(Document, OpenAndSaveRoundTripByteExactWithComment) {
    Bytes file = CommentHeader("abc");
    const Bytes image = MakeImage(0xF9);
    file.insert(file.end(), image.begin(), image.end());
    const std::string path = Write("c.dsk", file);

    script.TextBox("abc");
    ASSERT_TRUE(Open(doc, TestOwner(), path));
    EXPECT_EQ(doc.dataOffset, 44u);
    EXPECT_EQ(script.Shown().back().id, static_cast<unsigned>(kStrCommentCaption));
    EXPECT_EQ(script.Shown().back().flags, static_cast<unsigned>(kIconInformation));
    EXPECT_EQ(doc.geometry.totalSectors, 1440u);
    EXPECT_EQ(doc.fileName, path);
    EXPECT_FALSE(doc.readOnly);
    EXPECT_TRUE(doc.IsOpen());

    doc.modified = true;
    ASSERT_TRUE(test::Shown(SaveImage(doc)));
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(ReadFile(path), file);
}

TEST_F(Document, RefusedFilesLeaveNoDocument) {
    struct Case {
        const char* name;
        Bytes bytes;
        unsigned message;
    };
    Bytes compressed = CommentHeader("abc", 1);
    Bytes unterminated = CommentHeader("abc");
    unterminated.pop_back();
    unterminated.resize(600, 'x');
    Bytes shortAfterHeader = CommentHeader("abc");
    shortAfterHeader.resize(shortAfterHeader.size() + 511, 0);
    const Case cases[] = {
        {"511 bytes", Bytes(511, 0), kMsgFileTooSmall},
        {"compressed", [&] { Bytes b = compressed; b.resize(2000); return b; }(), kMsgImageCompressed},
        {"comment without terminator", unterminated, kMsgFileTooSmall},
        {"under a sector behind the comment", shortAfterHeader, kMsgFileTooSmall},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Another image was open before: it is closed first.
        ASSERT_TRUE(Open(doc, TestOwner(), Write("good.dsk", MakeImage(0xF9))));
        script.Message(c.message, kIconError);
        EXPECT_FALSE(Open(doc, TestOwner(), Write("bad.dsk", c.bytes)));
        EXPECT_FALSE(doc.IsOpen());
        EXPECT_TRUE(doc.fileName.empty()) << "the image opened first is closed";
    }
}

TEST_F(Document, MissingFileShowsTheSystemErrorUnderItsPath) {
    const std::string path = dir.Path("none.dsk");
    script.SystemError(test::win_code::kFileNotFound, path);
    EXPECT_FALSE(Open(doc, TestOwner(), path));
    EXPECT_FALSE(doc.IsOpen());
    EXPECT_FALSE(Open(doc, TestOwner(), "")) << "an empty path fails silently";
}

TEST_F(Document, UnusableBootSectorOpensButSkipsTheFatCheck) {
    Bytes image = WithBadBackup();
    std::memset(image.data(), 0, 512);
    // The FAT ID byte gives the geometry, but the boot sector stays invalid.
    script.Message(kMsgFormatByteUsed, kIconWarning)
        .Message(kMsgNotValidImage, kIconWarning)
        .Message(kMsgGuessedLayoutReadOnly, kIconWarning);
    ASSERT_TRUE(Open(doc, TestOwner(), Write("z.dsk", image)));
    EXPECT_EQ(doc.geometry.sectorsPerCluster, 2u);
}

TEST_F(Document, DifferingFatsAskAndYesRepairsAtOnce) {
    script.Message(kMsgBackupFatMismatch, kBoxYesNo | kIconQuestion, kIdYes);
    ASSERT_TRUE(Open(doc, TestOwner(), Write("f.dsk", WithBadBackup())));
    EXPECT_TRUE(doc.modified);
    const Layout l = doc.GetLayout();
    EXPECT_EQ(std::memcmp(doc.Area() + l.fatStart, doc.Area() + l.FatCopyStart(1), l.fatBytes), 0);
}

// The question comes after the list is filled: the opening only reads.
TEST_F(Document, OpeningLeavesTheBackupFatQuestionToItsCaller) {
    const Result opened = OpenImage(doc, Write("f.dsk", WithBadBackup()));
    ASSERT_TRUE(opened.Done());
    EXPECT_TRUE(opened.notices.empty());
    EXPECT_TRUE(script.Shown().empty());
    script.Message(kMsgBackupFatMismatch, kBoxYesNo | kIconQuestion, kIdNo);
    CheckBackupFat(doc);
}

TEST_F(Document, NoLeavesTheBackupUntilAModifiedSave) {
    const std::string path = Write("f.dsk", WithBadBackup());
    const Bytes before = ReadFile(path);
    script.Message(kMsgBackupFatMismatch, kBoxYesNo | kIconQuestion, kIdNo);
    ASSERT_TRUE(Open(doc, TestOwner(), path));
    EXPECT_FALSE(doc.modified);
    ASSERT_TRUE(test::Shown(SaveImage(doc)));
    EXPECT_EQ(ReadFile(path), before) << "a clean save leaves copy 2 alone";
    doc.modified = true;
    ASSERT_TRUE(test::Shown(SaveImage(doc)));
    const Bytes after = ReadFile(path);
    const Layout l = doc.GetLayout();
    EXPECT_EQ(std::memcmp(after.data() + l.fatStart, after.data() + l.FatCopyStart(1), l.fatBytes), 0);
}

TEST_F(Document, OneFatIsNeverComparedOrCopied) {
    Bytes image = MakeImage(0xF9);
    image[0x10] = 1;
    // What would be copy 2 is the root directory now: it must stay as it is.
    const Layout l = ComputeLayout(FormatRow(0xF9));
    image[l.FatCopyStart(1)] = 'X';
    const std::string path = Write("one.dsk", image);
    ASSERT_TRUE(Open(doc, TestOwner(), path));
    doc.modified = true;
    ASSERT_TRUE(test::Shown(SaveImage(doc)));
    EXPECT_EQ(ReadFile(path), image);
}

TEST_F(Document, LargeFatsAreComparedAndCopiedToTheirEnd) {
    // 200 sectors per FAT: 102,400 bytes, past what 16 bits can count.
    Bytes image = MakeImage(0xF9);
    image.resize(1000 * 512, 0);
    std::memset(image.data() + 512, 0, image.size() - 512);
    Put16(image, 0x16, 200);
    Put16(image, 0x13, 1000);
    const uint32_t fat2 = 512 + 200 * 512;
    for (uint32_t fat : {512u, fat2}) {
        image[fat] = 0xF9;
        image[fat + 1] = image[fat + 2] = 0xFF;
    }
    image[fat2 + 70000] = 0x42;
    const std::string path = Write("big.dsk", image);
    script.Message(kMsgBackupFatMismatch, kBoxYesNo | kIconQuestion, kIdNo);
    ASSERT_TRUE(Open(doc, TestOwner(), path));
    doc.modified = true;
    ASSERT_TRUE(test::Shown(SaveImage(doc)));
    const Bytes after = ReadFile(path);
    EXPECT_EQ(after[fat2 + 70000], 0x00);
    EXPECT_EQ(std::memcmp(after.data() + 512, after.data() + fat2, 200 * 512), 0);
}

TEST_F(Document, SaveOfAnUntitledImageAsksForAName) {
    ASSERT_TRUE(test::Shown(CreateEmptyImage(doc, 0xF9, 0), TestOwner()));
    doc.modified = true;
    script.SavePath("");
    EXPECT_FALSE(test::Shown(SaveImage(doc)));
    EXPECT_TRUE(doc.modified);

    // Yes to "save changes", then cancel in the dialog: the document stays.
    script.Message(kMsgImageModified, kBoxYesNoCancel | kIconQuestion, kIdYes).SavePath("");
    EXPECT_FALSE(Close(doc));
    EXPECT_TRUE(doc.IsOpen());

    const std::string path = dir.Path("new.dsk");
    script.SavePath(path);
    ASSERT_TRUE(test::Shown(SaveImage(doc)));
    EXPECT_EQ(doc.fileName, path);
    EXPECT_EQ(ReadFile(path), ImageBytes(doc));
}

TEST_F(Document, SaveAsKeepsAnExistingFileUntilTheSaveReplacesIt) {
    ASSERT_TRUE(Open(doc, TestOwner(), Write("a.dsk", MakeImage(0xF9))));
    const std::string target = Write("b.dsk", Bytes(5000, 'q'));
    ASSERT_TRUE(test::Shown(SaveImageAsPath(doc, target), TestOwner()));
    EXPECT_EQ(ReadFile(target), Bytes(5000, 'q'));
    ASSERT_TRUE(test::Shown(SaveImage(doc)));
    EXPECT_EQ(ReadFile(target), ImageBytes(doc));
}

TEST_F(Document, CloseAsksOnlyWhenModified) {
    ASSERT_TRUE(Open(doc, TestOwner(), Write("a.dsk", MakeImage(0xF9))));
    doc.modified = true;
    script.Message(kMsgImageModified, kBoxYesNoCancel | kIconQuestion, kIdCancel);
    EXPECT_FALSE(Close(doc));
    EXPECT_TRUE(doc.modified);

    script.Message(kMsgImageModified, kBoxYesNoCancel | kIconQuestion, kIdNo);
    EXPECT_TRUE(Close(doc));
    EXPECT_FALSE(doc.IsOpen());
    EXPECT_TRUE(doc.fileName.empty());
}

TEST_F(Document, FailedSaveKeepsTheDocumentOnClose) {
    ASSERT_TRUE(Open(doc, TestOwner(), Write("a.dsk", MakeImage(0xF9))));
    doc.Area()[600] ^= 1;
    doc.modified = true;
    doc.fileName = dir.Path("gone/a.dsk");  // a folder that is not there
    script.Message(kMsgImageModified, kBoxYesNoCancel | kIconQuestion, kIdYes);
    std::string noJournal;  // the journal's folder is missing, and named
    ExpandInserts(LoadText(kMsgNoSaveJournal), {doc.fileName, dir.Path("gone")}, noJournal);
#ifdef _WIN32
    script.SystemError(test::win_code::kPathNotFound, noJournal);
#else
    script.SystemError(test::win_code::kFileNotFound, noJournal);
#endif
    EXPECT_FALSE(Close(doc));
    EXPECT_TRUE(doc.modified);
}

TEST_F(Document, AnImageOpenForWritingRefusesASecondWriterAlsoAfterASave) {
    const std::string path = Write("a.dsk", MakeImage(0xF9));
    ASSERT_TRUE(Open(doc, TestOwner(), path));
    ImageDocument second;
    script.SystemError(test::win_code::kSharingViolation, path);
    EXPECT_FALSE(Open(second, TestOwner(), path));

    // The save puts a new file in the path's place: it is held just the same.
    doc.modified = true;
    ASSERT_TRUE(test::Shown(SaveImage(doc)));
    script.SystemError(test::win_code::kSharingViolation, path);
    EXPECT_FALSE(Open(second, TestOwner(), path));

    Close(doc);
    EXPECT_TRUE(Open(second, TestOwner(), path)) << "closing lets the next one in";
    Close(second);
}

#ifndef _WIN32
// The file-size limit stops a write part-way, as a full disk does.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(Document, SaveThatBreaksOffLeavesTheOldImageWhole) {
    const std::string path = Write("a.dsk", MakeImage(0xF9));
    const Bytes before = ReadFile(path);
    ASSERT_TRUE(Open(doc, TestOwner(), path));
    std::memset(doc.Area() + 40 * 512, 0x5A, 600 * 512);
    doc.modified = true;
    {
        FileSizeLimit limit(100 * 1024);
        script.SystemError(test::win_code::kDiskFull, path);
        EXPECT_FALSE(test::Shown(SaveImage(doc)));
    }
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 1) << "no half file is left";
    ASSERT_TRUE(test::Shown(SaveImage(doc))) << "the document can be saved once there is room";
    EXPECT_EQ(ReadFile(path), ImageBytes(doc));
}

TEST_F(Document, SavingUnderANewNameThatFailsLeavesNoFileBehind) {
    ASSERT_TRUE(test::Shown(CreateEmptyImage(doc, 0xF9, 0), TestOwner()));
    const std::string fresh = dir.Path("fresh.dsk");
    const std::string existing = Write("old.dsk", Bytes(3000, 'o'));
    {
        FileSizeLimit limit(100 * 1024);
        script.SystemError(test::win_code::kDiskFull, fresh).SystemError(test::win_code::kDiskFull, existing);
        EXPECT_FALSE(test::Shown(SaveImageToPath(doc, fresh), TestOwner()));
        EXPECT_FALSE(test::Shown(SaveImageToPath(doc, existing), TestOwner()));
    }
    EXPECT_FALSE(FileExists(fresh));
    EXPECT_EQ(ReadFile(existing), Bytes(3000, 'o')) << "a file that was there keeps its bytes";
}

TEST_F(Document, SaveKeepsTheFilesModeAndASymbolicLink) {
    const std::string target = Write("real.dsk", MakeImage(0xF9));
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    const std::string link = dir.Path("link.dsk");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    ASSERT_TRUE(Open(doc, TestOwner(), link));
    doc.Area()[600] = 0x42;
    doc.modified = true;
    ASSERT_TRUE(test::Shown(SaveImage(doc)));
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFile(target), ImageBytes(doc));
}
#endif

}  // namespace
}  // namespace vk::test
