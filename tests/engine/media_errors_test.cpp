#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "engine/core/media_errors.h"
#include "tests/support/box_flags.h"
#include "engine/strings/string_ids.h"
#include "tests/support/image_builder.h"
#include "tests/support/test_files.h"

namespace vk::test {
namespace {

Bytes ErrorFileBytes(size_t bitmapBytes) {
    Bytes bytes(kErrorListHeader, kErrorListHeader + kErrorListHeaderSize);
    bytes.resize(kErrorListHeaderSize + bitmapBytes, 0);
    return bytes;
}

TEST(MediaErrorList, BitsRunMostSignificantFirst) {
    ByteBlock list;
    ASSERT_TRUE(CreateErrorList(1440, list));
    EXPECT_EQ(list.size(), 20u + 180u);
    EXPECT_EQ(std::memcmp(list.data(), "DiskImage errors\r\n\x1A\0", 20), 0);
    MarkBadSector(list, 0);
    MarkBadSector(list, 1439);
    EXPECT_EQ(list.data()[20], 0x80);
    EXPECT_EQ(list.data()[199], 0x01);
    MarkBadSector(list, 1440);  // beyond the list: ignored
    EXPECT_TRUE(IsSectorMarked(list, 1439));
    EXPECT_FALSE(IsSectorMarked(list, 1438));

    ByteBlock custom;
    ASSERT_TRUE(CreateErrorList(1441, custom));
    EXPECT_EQ(custom.size(), 20u + 181u);
    MarkBadSector(custom, 1440);
    EXPECT_EQ(custom.data()[200], 0x80);

    ByteBlock none;
    MarkBadSector(none, 3);  // an absent list is ignored too
    EXPECT_TRUE(none.empty());
}

TEST(MediaErrorList, FileNameReplacesOnlyTheLastNamesExtension) {
    const struct {
        const char* image;
        const char* der;
    } cases[] = {
        {"C:\\img\\disk.dsk", "C:\\img\\disk.der"},
        {"C:\\img\\disk", "C:\\img\\disk.der"},
        {"C:\\img.old\\disk", "C:\\img.old\\disk.der"},
        {"C:\\img\\disk.", "C:\\img\\disk.der"},
        {"A:disk", "A:disk.der"},
        {"/home/u/img.old/disk", "/home/u/img.old/disk.der"},
        // An image named like its own list gets a list of another name.
        {"C:\\img\\victim.der", "C:\\img\\victim.der.der"},
        {"/home/u/VICTIM.DER", "/home/u/VICTIM.DER.der"},
        {"/home/u/victim.Der", "/home/u/victim.Der.der"},
        {"/home/u/victim.der.dsk", "/home/u/victim.der.der"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorFileName(c.image), c.der) << c.image;
    }
}

// Takes away the right to write `path` while it lives: the read-only
// attribute, and where that does not hold (root) the immutable flag.
class Unwritable {
public:
    explicit Unwritable(const std::string& path) : path_(path) {
        SetHostFileAttributes(path_, kHostReadOnly);
        if (!Writable()) {
            held_ = true;
            return;
        }
#ifndef _WIN32
        immutable_ = std::system(("chattr +i '" + path_ + "' 2>/dev/null").c_str()) == 0;
        held_ = immutable_ && !Writable();
#endif
    }
    ~Unwritable() {
#ifndef _WIN32
        if (immutable_) {
            EXPECT_EQ(std::system(("chattr -i '" + path_ + "'").c_str()), 0);
        }
#endif
        SetHostFileAttributes(path_, 0);
    }
    bool Held() const { return held_; }

private:
    bool Writable() const {
        HostFile file;
        return OpenHostFile(path_, kAccessRead | kAccessWrite, kShareRead | kShareWrite, Disposition::kOpenExisting,
                            0, file) == 0;
    }
    std::string path_;
    bool held_ = false;
    bool immutable_ = false;
};

class ErrorFile : public EngineTest {
protected:
    std::string image;
    std::string der;
    void SetUp() override {
        EngineTest::SetUp();
        image = dir.Path("disk.dsk");
        der = dir.Path("disk.der");
        WriteFile(image, MakeImage(0xF9));
    }
    // A list with sectors 1 and 23 marked.
    static Bytes ListWithTwoErrors() {
        Bytes bytes = ErrorFileBytes(180);
        bytes[20] = 0x40;
        bytes[22] = 0x01;
        return bytes;
    }
};

TEST_F(ErrorFile, LoadsTheBitsItHas) {
    Bytes bytes = ErrorFileBytes(3);  // shorter than the 180-byte bitmap
    bytes[20] = 0x40;
    bytes[22] = 0x01;
    WriteFile(der, bytes);
    ASSERT_TRUE(Open(doc, TestOwner(), image));
    EXPECT_TRUE(HasMediaErrors(doc));
    EXPECT_TRUE(IsSectorMarked(doc.errorList, 1));
    EXPECT_TRUE(IsSectorMarked(doc.errorList, 23));
    EXPECT_EQ(doc.ErrorListSize(), 200u);
    EXPECT_TRUE(doc.errorFile.IsOpen());
}

TEST_F(ErrorFile, UnknownFormatWarnsAndIsReplacedOnSave) {
    WriteFile(der, Bytes(10, 'x'));
    script.Message(kMsgErrorFileUnknown, kIconWarning);
    ASSERT_TRUE(Open(doc, TestOwner(), image));
    EXPECT_FALSE(HasMediaErrors(doc));
    EXPECT_FALSE(doc.errorFile.IsOpen());
    EXPECT_EQ(ReadFile(der), Bytes(10, 'x')) << "left untouched at load";
    MarkBadSector(doc.errorList, 7);
    ASSERT_TRUE(test::Shown(SaveImage(doc)));
    Bytes expected = ErrorFileBytes(180);
    expected[20] = 0x01;
    EXPECT_EQ(ReadFile(der), expected);
}

TEST_F(ErrorFile, ClearedListDeletesTheFileAndSavingAgainIsSilent) {
    Bytes bytes = ErrorFileBytes(180);
    bytes[25] = 0x10;
    WriteFile(der, bytes);
    ASSERT_TRUE(Open(doc, TestOwner(), image));
    ASSERT_TRUE(HasMediaErrors(doc));
    std::memset(doc.errorList.data() + 20, 0, 180);
    ASSERT_TRUE(test::Shown(SaveImage(doc)));
    EXPECT_FALSE(FileExists(der));
    ASSERT_TRUE(test::Shown(SaveImage(doc)));
    EXPECT_FALSE(FileExists(der));
}

TEST_F(ErrorFile, OpenFileIsOverwrittenFromItsStartAndNotShortened) {
    Bytes bytes = ErrorFileBytes(180);
    bytes[20] = 0x80;
    bytes.resize(260, 0x77);  // trailing bytes beyond the bitmap are not read
    WriteFile(der, bytes);
    ASSERT_TRUE(Open(doc, TestOwner(), image));
    MarkBadSector(doc.errorList, 8);
    ASSERT_TRUE(test::Shown(SaveImage(doc)));
    const Bytes after = ReadFile(der);
    ASSERT_EQ(after.size(), 260u);
    EXPECT_EQ(after[20], 0x80);
    EXPECT_EQ(after[21], 0x80);
    EXPECT_EQ(after[259], 0x77);
}

TEST_F(ErrorFile, SaveAsLeavesTheOldFileAndStartsANewOne) {
    Bytes bytes = ErrorFileBytes(180);
    bytes[20] = 0x80;
    WriteFile(der, bytes);
    ASSERT_TRUE(Open(doc, TestOwner(), image));
    const std::string other = dir.Path("copy.dsk");
    ASSERT_TRUE(test::Shown(SaveImageAsPath(doc, other), TestOwner()));
    EXPECT_FALSE(doc.errorFile.IsOpen());
    ASSERT_TRUE(test::Shown(SaveImage(doc)));
    EXPECT_EQ(ReadFile(der), bytes);
    EXPECT_EQ(ReadFile(dir.Path("copy.der")), bytes);
}

TEST_F(ErrorFile, NoErrorsNoFile) {
    ASSERT_TRUE(Open(doc, TestOwner(), image));
    EXPECT_FALSE(HasMediaErrors(doc));
    doc.modified = true;
    ASSERT_TRUE(test::Shown(SaveImage(doc)));
    EXPECT_FALSE(FileExists(der));
}

TEST_F(ErrorFile, AnImageNamedDerIsNeverItsOwnList) {
    const std::string victim = dir.Path("victim.der");
    WriteFile(victim, MakeImage(0xF9));
    ASSERT_TRUE(Open(doc, TestOwner(), victim));  // no "unknown format" warning: it is not read as a list
    EXPECT_FALSE(doc.errorFile.IsOpen());
    MarkBadSector(doc.errorList, 3);
    doc.modified = true;
    ASSERT_TRUE(test::Shown(SaveImage(doc)));
    EXPECT_EQ(ReadFile(victim), ImageBytes(doc));
    Bytes expected = ErrorFileBytes(180);
    expected[20] = 0x10;
    EXPECT_EQ(ReadFile(victim + ".der"), expected);

    std::memset(doc.errorList.data() + 20, 0, 180);
    ASSERT_TRUE(test::Shown(SaveImage(doc)));
    EXPECT_EQ(ReadFile(victim), ImageBytes(doc)) << "deleting the clear list leaves the image";
    EXPECT_FALSE(FileExists(victim + ".der"));
}

TEST_F(ErrorFile, ReadOnlyListIsLoadedAndLeftAsItIs) {
    WriteFile(der, ListWithTwoErrors());
    Unwritable guard(der);
    if (!guard.Held()) GTEST_SKIP() << "this host lets every file be written";
    ASSERT_TRUE(Open(doc, TestOwner(), image));
    EXPECT_FALSE(doc.readOnly);
    EXPECT_TRUE(IsSectorMarked(doc.errorList, 1));
    EXPECT_TRUE(IsSectorMarked(doc.errorList, 23));

    doc.modified = true;
    EXPECT_TRUE(test::Shown(SaveImage(doc))) << "the file already says what the list says: nothing to tell";
    EXPECT_EQ(ReadFile(der), ListWithTwoErrors());

    // A list that differs from the file cannot reach it: the file stays and the user hears of it.
    std::memset(doc.errorList.data() + 20, 0, 180);
    script.Message(kMsgErrorFileKept, kIconWarning);
    EXPECT_TRUE(test::Shown(SaveImage(doc)));
    EXPECT_EQ(script.Shown().back().inserts.at(0), der);
    EXPECT_TRUE(FileExists(der));
    EXPECT_EQ(ReadFile(der), ListWithTwoErrors());
}

TEST_F(ErrorFile, ReadOnlyFileOfUnknownFormatIsNotDeleted) {
    WriteFile(der, Bytes(10, 'x'));
    Unwritable guard(der);
    if (!guard.Held()) GTEST_SKIP() << "this host lets every file be written";
    script.Message(kMsgErrorFileUnknown, kIconWarning);
    ASSERT_TRUE(Open(doc, TestOwner(), image));
    script.Message(kMsgErrorFileKept, kIconWarning);
    doc.modified = true;
    EXPECT_TRUE(test::Shown(SaveImage(doc)));
    EXPECT_EQ(ReadFile(der), Bytes(10, 'x'));
}

#ifndef _WIN32
// A pipe under the list's name cannot be read without waiting: it is neither
// read, written nor deleted.
TEST_F(ErrorFile, ListThatCannotBeOpenedIsNeverReplacedOrDeleted) {
    for (const bool errors : {false, true}) {
        SCOPED_TRACE(errors ? "list with errors" : "clear list");
        ASSERT_EQ(::mkfifo(der.c_str(), 0644), 0);
        ASSERT_TRUE(Open(doc, TestOwner(), image));
        EXPECT_FALSE(doc.errorFile.IsOpen());
        if (errors) {
            MarkBadSector(doc.errorList, 9);
        }
        script.Message(kMsgErrorFileKept, kIconWarning);
        doc.modified = true;
        EXPECT_TRUE(test::Shown(SaveImage(doc)));
        struct stat st {};
        ASSERT_EQ(::lstat(der.c_str(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode));
        Close(doc);
        ::unlink(der.c_str());
    }
}
#endif

}  // namespace
}  // namespace vk::test
