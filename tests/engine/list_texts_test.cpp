// Which entries the list shows and with which texts; the file properties
// figures and their Apply.
#include <fstream>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "engine/fat/ops/file_properties.h"
#include "engine/fat/dir/list_texts.h"
#include "tests/engine/fat_image_fixture.h"

namespace vk {
namespace {

class ListTextsTest : public test::FatImageTest {};

TEST_F(ListTextsTest, ListsFilesAndFoldersUpToTheFirstNeverUsedEntry) {
    Put(0, "VOLUME     ", kAttrLabel);
    Put(1, "NOTES   TXT", kAttrArchive);
    Put(2, "GONE    TXT", kAttrArchive);
    At(2)[0] = kEntryDeleted;
    Put(3, "Ab\0c\0d\0e\0f\0", kAttrLongName);
    Put(4, "GAMES      ", kAttrDirectory);
    Put(6, "LATER   TXT", kAttrArchive);  // behind the never-used slot 5
    const std::vector<uint32_t> listed = ListedEntries(doc);
    EXPECT_EQ(listed, (std::vector<uint32_t>{Slot(1), Slot(4)}));
    std::vector<std::string> texts;
    for (uint32_t e : listed) texts.push_back(EntryDisplayName(doc.Area() + e));
    EXPECT_EQ(texts, (std::vector<std::string>{"NOTES.TXT", "GAMES"}));
}

struct NameCase {
    const char* name;
    const char* name11;
    const char* display;
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class DisplayNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(DisplayNameTest, JoinsTrimmedNameAndExtension) {
    uint8_t entry[32] = {};
    std::memcpy(entry, GetParam().name11, 11);
    EXPECT_EQ(EntryDisplayName(entry), GetParam().display);
}

INSTANTIATE_TEST_SUITE_P(Names, DisplayNameTest,
                         ::testing::Values(NameCase{"NameAndExtension", "NOTES   TXT", "NOTES.TXT"},
                                           NameCase{"NoExtension", "README     ", "README"},
                                           NameCase{"FullLength", "ABCDEFGHTXT", "ABCDEFGH.TXT"},
                                           NameCase{"BlankBase", "        PRO", ".PRO"},
                                           NameCase{"InnerBlank", "LETTER TDOC", "LETTER T.DOC"},
                                           NameCase{"ShortExtension", "A       C  ", "A.C"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct AttrCase {
    const char* name;
    uint8_t attr;
    const char* text;
};
void PrintTo(const AttrCase& c, std::ostream* os) { *os << c.name; }

class AttributeTextTest : public ::testing::TestWithParam<AttrCase> {};

TEST_P(AttributeTextTest, FivePositionsRHASD) { EXPECT_EQ(AttributeText(GetParam().attr), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(Bits, AttributeTextTest,
                         ::testing::Values(AttrCase{"None", 0x00, "     "},
                                           AttrCase{"Directory", 0x10, "    D"},
                                           AttrCase{"ReadOnlyArchived", 0x21, "R A  "},
                                           AttrCase{"HiddenSystem", 0x06, " H S "},
                                           AttrCase{"All", 0x37, "RHASD"},
                                           AttrCase{"TopBitsAreNotShown", 0xC0, "     "}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListTextsTest, DirectoryColumnsHaveNoSize) {
    Put(0, "GAMES      ", kAttrDirectory, {2}, 0);
    const ListColumns c = EntryColumns(At(0));
    EXPECT_EQ(c.name, "GAMES");
    EXPECT_EQ(c.size, "");
    EXPECT_EQ(c.attributes, "    D");
    EXPECT_FALSE(c.lastChange.empty());
}

TEST_F(ListTextsTest, NeverStampedFileHasNoDate) {
    Put(0, "X       BIN", kAttrArchive, {}, 0, 0x0021, 0);
    const ListColumns c = EntryColumns(At(0));
    EXPECT_EQ(c.size, "0");
    EXPECT_EQ(c.lastChange, "");
}

class FileTypeTest : public test::FatImageTest {
protected:
    void SetUp() override {
        FatImageTest::SetUp();
        ini = dir.Path(kTypeNamesFile);
        std::ofstream out(ini, std::ios::binary);
        out << "; file types\r\n[Other]\r\nXYZ=Not this one\r\n[extensions]\r\ntxt = Text Document\r\n"
               "DSK=\"Disk image\"\r\nBAS=\r\n";
    }
    std::string Type(const char* name11, uint8_t attr = kAttrArchive) {
        Put(0, name11, attr);
        return FileTypeText(At(0), ini);
    }
    std::string ini;
};

TEST_F(FileTypeTest, TypeComesFromTheExtensionsSection) {
    EXPECT_EQ(Type("README  TXT"), "Text Document");  // key and section in any case
    EXPECT_EQ(Type("GAME    DSK"), "Disk image");
    EXPECT_EQ(Type("DATA    XYZ"), "XYZ file");       // only in another section
    EXPECT_EQ(Type("PROG    BAS"), "BAS file");       // empty value
    EXPECT_EQ(Type("NOTES      "), "");
    EXPECT_EQ(Type("GAMES   TXT", kAttrDirectory), "Directory");
}

TEST_F(FileTypeTest, MissingFileGivesTheExtensionText) {
    Put(0, "README  TXT", kAttrArchive);
    EXPECT_EQ(FileTypeText(At(0), dir.Path("nothing.ini")), "TXT file");
}

TEST_F(FileTypeTest, PropertiesOfADirectory) {
    Put(0, "GAMES      ", kAttrDirectory | kAttrHidden, {2});
    const FileProperties p = ReadFileProperties(doc, Slot(0), ini);
    EXPECT_EQ(p.file, "GAMES");
    EXPECT_EQ(p.type, "Directory");
    EXPECT_EQ(p.location, "\\");
    EXPECT_EQ(p.size, "");
    EXPECT_TRUE(p.isDirectory);
    EXPECT_EQ(p.attributes, kAttrDirectory | kAttrHidden);
    EXPECT_FALSE(p.changed.empty());
}

struct SizeCase {
    const char* name;
    uint32_t size;
    uint32_t clusterBytes;
    const char* text;  // figures small enough to need no grouping
};
void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }

class FileSizeTextTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(FileSizeTextTest, KilobytesBytesAndAllocated) {
    std::string text = FileSizeText(GetParam().size, GetParam().clusterBytes);
    // The decimal separator is the locale's; compare with a dot.
    for (char& ch : text) ch = ch == ',' ? '.' : ch;
    EXPECT_EQ(text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FileSizeTextTest,
    ::testing::Values(SizeCase{"Empty", 0, 1024, "0.00 KB (0 Byte). 0 Byte allocated"},
                      SizeCase{"OneByte", 1, 512, "0.00 KB (1 Byte). 512 Byte allocated"},
                      SizeCase{"HalfUpRounding", 128, 512, "0.13 KB (128 Byte). 512 Byte allocated"},
                      SizeCase{"NearlyOneKilobyte", 999, 333, "0.98 KB (999 Byte). 999 Byte allocated"},
                      SizeCase{"WholeCluster", 512, 512, "0.50 KB (512 Byte). 512 Byte allocated"},
                      SizeCase{"OneOver", 513, 256, "0.50 KB (513 Byte). 768 Byte allocated"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ApplyCase {
    const char* name;
    uint8_t before;
    uint8_t bits;
    uint8_t after;
    bool changed;
};
void PrintTo(const ApplyCase& c, std::ostream* os) { *os << c.name; }

class ApplyAttributesTest : public test::FatImageTest, public ::testing::WithParamInterface<ApplyCase> {};

TEST_P(ApplyAttributesTest, ChangesOnlyTheFourEditableBits) {
    const ApplyCase& c = GetParam();
    Put(0, "FILE    TXT", c.before);
    const Result applied = ApplyFileAttributes(doc, Slot(0), c.bits);
    EXPECT_TRUE(applied.Done());
    EXPECT_EQ(applied.changes.changed, c.changed ? std::vector<uint32_t>{Slot(0)} : std::vector<uint32_t>{});
    EXPECT_EQ(At(0)[kDirAttr], c.after);
    EXPECT_EQ(doc.modified, c.changed);
}

INSTANTIATE_TEST_SUITE_P(
    Bits, ApplyAttributesTest,
    ::testing::Values(ApplyCase{"ClearHiddenKeepsSystem", 0x06, 0x04, 0x04, true},
                      ApplyCase{"SameBitsChangeNothing", 0x21, 0x21, 0x21, false},
                      ApplyCase{"DirectoryBitStays", 0x10, 0x01, 0x11, true},
                      ApplyCase{"TopBitsStay", 0xE0, 0x00, 0xC0, true},
                      ApplyCase{"SetAllFour", 0x00, 0x27, 0x27, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vk
