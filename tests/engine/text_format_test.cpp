// Name fields, path tails, packed stamps and the printf-style string texts.
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "engine/common/bytes.h"
#include "engine/strings/text_format.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/dir/entry_time.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"

namespace vk {
namespace {

struct TrimCase {
    const char* name;
    std::string field;
    std::string text;
};
void PrintTo(const TrimCase& c, std::ostream* os) { *os << c.name; }

class TrimFieldTest : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimFieldTest, DropsTrailingBlanksOnly) {
    const TrimCase& c = GetParam();
    EXPECT_EQ(TrimField(reinterpret_cast<const uint8_t*>(c.field.data()), c.field.size()), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, TrimFieldTest,
    ::testing::Values(TrimCase{"EightBlanksGiveNothing", "        ", ""},
                      TrimCase{"AbcAndFiveBlanks", "ABC     ", "ABC"},
                      TrimCase{"InnerBlankStays", "A B     ", "A B"},
                      TrimCase{"FullField", "ABCDEFGH", "ABCDEFGH"},
                      TrimCase{"LabelWithBlankAtEight", "MY DISK 12 ", "MY DISK 12"},
                      TrimCase{"ZeroByteEndsTheText", std::string("AB\0CD   ", 8), "AB"},
                      TrimCase{"BlankBeforeZeroStays", std::string("AB \0CD  ", 8), "AB "},
                      TrimCase{"LeadingBlanksStay", "  X     ", "  X"}),
    [](const auto& info) { return std::string(info.param.name); });

struct TailCase {
    const char* name;
    const char* path;
    const char* tail;
};
void PrintTo(const TailCase& c, std::ostream* os) { *os << c.name; }

class PathTailTest : public ::testing::TestWithParam<TailCase> {};

TEST_P(PathTailTest, TakesThePartAfterTheLastBackslashOrColon) {
    EXPECT_EQ(PathTail(GetParam().path), GetParam().tail);
}

INSTANTIATE_TEST_SUITE_P(Paths, PathTailTest,
                         ::testing::Values(TailCase{"FullPath", "C:\\DISKS\\GAME.DSK", "GAME.DSK"},
                                           TailCase{"DriveOnly", "A:GAME.DSK", "GAME.DSK"},
                                           TailCase{"NameOnly", "GAME.DSK", "GAME.DSK"},
                                           TailCase{"Empty", "", ""},
                                           TailCase{"TrailingBackslash", "C:\\DISKS\\", ""},
                                           TailCase{"FirstCharacterIsNotLookedAt", "\\GAME.DSK", "\\GAME.DSK"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UnpackDosStamp, TakesTheFieldsApart) {
    const DosStamp s = UnpackDosStamp(0x5865, 0x6882);
    EXPECT_EQ(s.year, 2024);
    EXPECT_EQ(s.month, 3);
    EXPECT_EQ(s.day, 5);
    EXPECT_EQ(s.hour, 13);
    EXPECT_EQ(s.minute, 4);
    EXPECT_EQ(s.second, 4);
    const DosStamp top = UnpackDosStamp(0xFFFF, 0xFFFF);
    EXPECT_EQ(top.year, 2107);
    EXPECT_EQ(top.month, 15);
    EXPECT_EQ(top.second, 62);
    EXPECT_FALSE(IsValidDate(top));
    EXPECT_FALSE(IsValidTime(top));
}

TEST(PackDosStamp, PutsTheFieldsTogether) {
    EXPECT_EQ(PackDosDate(2024, 3, 5), 0x5865);
    EXPECT_EQ(PackDosTime(13, 4, 5), 0x6882) << "odd seconds round down";
    EXPECT_EQ(PackDosDate(2107, 12, 31), 0xFF9F);
    EXPECT_EQ(PackDosTime(23, 59, 58), 0xBF7D);
    EXPECT_EQ(PackDosDate(1980, 1, 1), 0x0021);
}

TEST(NameEscape, OnlyALeadingE5IsStoredAs05) {
    EXPECT_EQ(StoredFirstByte(0xE5), 0x05);
    EXPECT_EQ(ShownFirstByte(0x05), 0xE5);
    EXPECT_EQ(StoredFirstByte('A'), 'A');
    EXPECT_EQ(ShownFirstByte('A'), 'A');
    EXPECT_EQ(ShownFirstByte(0xE5), 0xE5) << "a deleted mark is not an escape";
}

struct DateCase {
    const char* name;
    int year, month, day;
    bool valid;
};
void PrintTo(const DateCase& c, std::ostream* os) { *os << c.name; }

class CalendarTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(CalendarTest, KnowsRealDays) {
    DosStamp s;
    s.year = GetParam().year;
    s.month = GetParam().month;
    s.day = GetParam().day;
    EXPECT_EQ(IsValidDate(s), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(Days, CalendarTest,
                         ::testing::Values(DateCase{"MonthZero", 1980, 0, 1, false},
                                           DateCase{"DayZero", 1980, 1, 0, false},
                                           DateCase{"MonthThirteen", 1990, 13, 1, false},
                                           DateCase{"LeapDay2000", 2000, 2, 29, true},
                                           DateCase{"Year2100NotLeap", 2100, 2, 29, false},
                                           DateCase{"ThirtyFirstOfApril", 2001, 4, 31, false},
                                           DateCase{"ThirtyFirstOfDecember", 2107, 12, 31, true}),
                         [](const auto& info) { return std::string(info.param.name); });

class EntryDateTimeTest : public ::testing::Test {
protected:
    std::string Format(uint16_t date, uint16_t time, DateForm form = DateForm::kShort) {
        uint8_t entry[32] = {};
        Store16(entry + kDirDate, date);
        Store16(entry + kDirTime, time);
        return FormatEntryDateTime(entry, form);
    }
    static constexpr uint16_t kFirstDay = 0x0021;  // 1980-01-01
};

TEST_F(EntryDateTimeTest, NeverStampedAndImpossibleDatesGiveNothing) {
    EXPECT_EQ(Format(0, 0), "");
    EXPECT_EQ(Format(kFirstDay, 0), "");
    EXPECT_EQ(Format(kFirstDay, 0, DateForm::kLong), "");
    EXPECT_EQ(Format(0x005E, 0x6882), "");  // 30 February 1980
}

TEST_F(EntryDateTimeTest, TwoSecondsAfterTheEpochIsAFullStamp) {
    const std::string dateOnly = Format(kFirstDay, 0xC000);  // hour 24: no time of day
    ASSERT_FALSE(dateOnly.empty());
    const std::string full = Format(kFirstDay, 1);
    EXPECT_EQ(full.compare(0, dateOnly.size() + 1, dateOnly + " "), 0) << full;
    EXPECT_GT(full.size(), dateOnly.size() + 1);
    EXPECT_NE(full.find("80"), std::string::npos) << full;
}

TEST(FillConversions, FillsPrintfConversionsInOrder) {
    EXPECT_EQ(FillConversions(LoadText(kStrObjectCount), {"7"}), "7 Object(s)");
    EXPECT_EQ(FillConversions(LoadText(kStrFileSizeDetails), {"1.50", "1,536", "2,048"}),
              "1.50 KB (1,536 Byte), 2,048 Byte allocated");
    EXPECT_EQ(FillConversions(LoadText(kStrFileTypeFormat), {"XYZ"}), "XYZ file");
    EXPECT_EQ(FillConversions("100%% of %s and %-8lu.", {"a"}), "100% of a and .");
    EXPECT_EQ(FillConversions("ends in %", {}), "ends in %");
}

}  // namespace
}  // namespace vk
