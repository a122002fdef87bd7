// Numbers, sizes and dates in the user's locale. Natively each test switches
// the C locale itself (LOCPATH may point at locales made for the tests);
// under Windows the user locale is fixed for the process, so each locale's
// tests run in their own start with LC_ALL set, and the others skip.
#include <clocale>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "engine/strings/text_format.h"
#include "engine/fat/dir/entry_time.h"
#include "engine/fat/ops/file_properties.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/ops/volume_info.h"
#include "tests/engine/fat_image_fixture.h"

namespace vk {
namespace {

class InLocale : public test::FatImageTest {
protected:
    // Switches to `posixName`, or skips the test when it is not available.
    bool Use(const char* posixName, unsigned long windowsLcid) {
#ifdef _WIN32
        (void)posixName;
        return GetUserDefaultLCID() == windowsLcid;
#else
        (void)windowsLcid;
        return std::setlocale(LC_ALL, posixName) != nullptr;
#endif
    }
    void TearDown() override {
#ifndef _WIN32
        std::setlocale(LC_ALL, "C");
#endif
        FatImageTest::TearDown();
    }
    std::string Number(uint32_t value) {
        std::string text;
        EXPECT_TRUE(FormatNumber(value, text));
        return text;
    }
    std::string Stamp(DateForm form) {
        Put(0, "NOTES   TXT", kAttrArchive, {}, 0, 0x5865, 0x6882);  // 2024-03-05 13:04:04
        return FormatEntryDateTime(At(0), form);
    }
};

#define USE_LOCALE(posix, lcid)                                                                 \
    if (!Use(posix, lcid)) {                                                                    \
        GTEST_SKIP() << "locale " posix " is not in force or not installed (natively: set "     \
                        "LOCPATH to locales made with localedef; under Wine: run with LC_ALL)"; \
    }

class EnUs : public InLocale {
protected:
    void SetUp() override {
        InLocale::SetUp();
        USE_LOCALE("en_US.UTF-8", 0x0409);
    }
};

class DeDe : public InLocale {
protected:
    void SetUp() override {
        InLocale::SetUp();
        USE_LOCALE("de_DE.UTF-8", 0x0407);
    }
};

// India groups 3;2 ("12,34,567"); the leading group is what counts here.
class EnIn : public InLocale {
protected:
    void SetUp() override {
        InLocale::SetUp();
        USE_LOCALE("en_IN.UTF-8", 0x4009);
    }
};

TEST_F(EnUs, NumbersAreGroupedByCommas) {
    EXPECT_EQ(Number(1474560), "1,474,560");
    EXPECT_EQ(Number(0), "0");
    EXPECT_EQ(Number(999), "999");
    EXPECT_EQ(Number(4294967295u), "4,294,967,295");
}

TEST_F(DeDe, NumbersAreGroupedByDots) { EXPECT_EQ(Number(1474560), "1.474.560"); }

TEST_F(EnIn, OnlyTheLeadingGroupCounts) { EXPECT_EQ(Number(12345678), "12,345,678"); }

TEST_F(EnUs, VolumeFiguresOfAnEmpty720KImage) {
    const VolumeFigures f = ReadVolumeFigures(doc);
    EXPECT_EQ(Number(static_cast<uint32_t>(f.usedBytes)), "0");
    EXPECT_EQ(Number(static_cast<uint32_t>(f.freeBytes)), "730,112");
    EXPECT_EQ(Number(f.totalBytes), "737,280");
}

TEST_F(EnUs, SizeTextOf1536BytesOn1024ByteClusters) {
    EXPECT_EQ(FileSizeText(1536, 1024), "1.50 KB (1,536 Byte), 2,048 Byte allocated");
    EXPECT_EQ(FileSizeText(1474560, 512), "1,440.00 KB (1,474,560 Byte), 1,474,560 Byte allocated");
}

TEST_F(DeDe, SizeTextUsesTheGermanSeparators) {
    EXPECT_EQ(FileSizeText(1536, 1024), "1,50 KB (1.536 Byte), 2.048 Byte allocated");
}

TEST_F(EnUs, ListColumnsOfAReadOnlyArchivedFile) {
    Put(0, "DATA    BIN", kAttrReadOnly | kAttrArchive, {2, 3}, 1536, 0x5865, 0x6882);
    const ListColumns c = EntryColumns(At(0));
    EXPECT_EQ(c.name, "DATA.BIN");
    EXPECT_EQ(c.size, "1,536");
    EXPECT_EQ(c.attributes, "R A  ");
    EXPECT_TRUE(std::regex_match(c.lastChange, std::regex("0?3/0?5/2024 0?1:04:04 PM"))) << c.lastChange;
}

TEST_F(EnUs, FilePropertiesFigures) {
    Put(0, "DATA    XYZ", kAttrArchive, {2, 3}, 1536, 0x5865, 0x6882);
    const FileProperties p = ReadFileProperties(doc, Slot(0), dir.Path(kTypeNamesFile));
    EXPECT_EQ(p.type, "XYZ file");
    EXPECT_EQ(p.size, "1.50 KB (1,536 Byte), 2,048 Byte allocated");
    EXPECT_NE(p.changed.find("Tuesday"), std::string::npos) << p.changed;
    EXPECT_NE(p.changed.find("2024"), std::string::npos) << p.changed;
}

TEST_F(EnUs, DateTextsFollowTheLocale) {
    EXPECT_TRUE(std::regex_match(Stamp(DateForm::kShort), std::regex("0?3/0?5/2024 0?1:04:04 PM")))
        << Stamp(DateForm::kShort);
    EXPECT_TRUE(std::regex_match(Stamp(DateForm::kLong), std::regex("Tuesday, .*2024 0?1:04:04 PM")))
        << Stamp(DateForm::kLong);
}

TEST_F(DeDe, DateTextsFollowTheLocale) {
    EXPECT_TRUE(std::regex_match(Stamp(DateForm::kShort), std::regex("0?5\\.0?3\\.2024 13:04:04")))
        << Stamp(DateForm::kShort);
    EXPECT_TRUE(std::regex_match(Stamp(DateForm::kLong), std::regex("Dienstag, .*2024 13:04:04")))
        << Stamp(DateForm::kLong);
}

}  // namespace
}  // namespace vk
