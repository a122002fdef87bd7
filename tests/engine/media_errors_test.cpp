#include <gtest/gtest.h>

#include <cstring>

#include "core/media_errors.h"
#include "strings/string_ids.h"
#include "support/image_builder.h"
#include "support/test_files.h"

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
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorFileName(c.image), c.der) << c.image;
    }
}

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
};

TEST_F(ErrorFile, LoadsTheBitsItHas) {
    Bytes bytes = ErrorFileBytes(3);  // shorter than the 180-byte bitmap
    bytes[20] = 0x40;
    bytes[22] = 0x01;
    WriteFile(der, bytes);
    ASSERT_TRUE(OpenImage(doc, TestOwner(), image));
    EXPECT_TRUE(HasMediaErrors(doc));
    EXPECT_TRUE(IsSectorMarked(doc.errorList, 1));
    EXPECT_TRUE(IsSectorMarked(doc.errorList, 23));
    EXPECT_EQ(doc.ErrorListSize(), 200u);
    EXPECT_TRUE(doc.errorFile.IsOpen());
}

TEST_F(ErrorFile, UnknownFormatWarnsAndIsReplacedOnSave) {
    WriteFile(der, Bytes(10, 'x'));
    script.Message(kMsgErrorFileUnknown, kIconWarning);
    ASSERT_TRUE(OpenImage(doc, TestOwner(), image));
    EXPECT_FALSE(HasMediaErrors(doc));
    EXPECT_FALSE(doc.errorFile.IsOpen());
    EXPECT_EQ(ReadFile(der), Bytes(10, 'x')) << "left untouched at load";
    MarkBadSector(doc.errorList, 7);
    ASSERT_TRUE(SaveImage(doc));
    Bytes expected = ErrorFileBytes(180);
    expected[20] = 0x01;
    EXPECT_EQ(ReadFile(der), expected);
}

TEST_F(ErrorFile, ClearedListDeletesTheFileAndSavingAgainIsSilent) {
    Bytes bytes = ErrorFileBytes(180);
    bytes[25] = 0x10;
    WriteFile(der, bytes);
    ASSERT_TRUE(OpenImage(doc, TestOwner(), image));
    ASSERT_TRUE(HasMediaErrors(doc));
    std::memset(doc.errorList.data() + 20, 0, 180);
    ASSERT_TRUE(SaveImage(doc));
    EXPECT_FALSE(FileExists(der));
    ASSERT_TRUE(SaveImage(doc));
    EXPECT_FALSE(FileExists(der));
}

TEST_F(ErrorFile, OpenFileIsOverwrittenFromItsStartAndNotShortened) {
    Bytes bytes = ErrorFileBytes(180);
    bytes[20] = 0x80;
    bytes.resize(260, 0x77);  // trailing bytes beyond the bitmap are not read
    WriteFile(der, bytes);
    ASSERT_TRUE(OpenImage(doc, TestOwner(), image));
    MarkBadSector(doc.errorList, 8);
    ASSERT_TRUE(SaveImage(doc));
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
    ASSERT_TRUE(OpenImage(doc, TestOwner(), image));
    const std::string other = dir.Path("copy.dsk");
    ASSERT_TRUE(SaveImageAsPath(doc, TestOwner(), other));
    EXPECT_FALSE(doc.errorFile.IsOpen());
    ASSERT_TRUE(SaveImage(doc));
    EXPECT_EQ(ReadFile(der), bytes);
    EXPECT_EQ(ReadFile(dir.Path("copy.der")), bytes);
}

TEST_F(ErrorFile, NoErrorsNoFile) {
    ASSERT_TRUE(OpenImage(doc, TestOwner(), image));
    EXPECT_FALSE(HasMediaErrors(doc));
    doc.modified = true;
    ASSERT_TRUE(SaveImage(doc));
    EXPECT_FALSE(FileExists(der));
}

}  // namespace
}  // namespace vk::test
