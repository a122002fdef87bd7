// The Volume page's figures and its Apply of the label.
#include <ctime>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "engine/fat/ops/directory.h"
#include "engine/fat/ops/volume_info.h"
#include "tests/engine/fat_image_fixture.h"
#include "engine/strings/string_ids.h"
#include "tests/support/box_flags.h"
#include "tests/support/win_codes.h"

namespace vk {
namespace {

class VolumeTest : public test::FatImageTest {
protected:
    bool Apply(const std::string& typed) {
        return Shown(ApplyVolumeLabel(doc, ReadVolumeFigures(doc), typed)).Done();
    }
    void FillRoot() {
        for (uint32_t i = 0; i < layout.rootEntries; ++i) {
            Put(i, ("F" + std::to_string(1000 + i) + "   TXT").c_str(), kAttrArchive);
        }
    }
};

TEST_F(VolumeTest, EmptyImageFigures) {
    const VolumeFigures f = ReadVolumeFigures(doc);
    EXPECT_EQ(f.oemText.size(), 8u);  // the MS-DOS template's OEM name fills all 8 bytes
    EXPECT_EQ(f.labelText, "");
    EXPECT_EQ(f.labelOffset, 0u);
    EXPECT_EQ(f.usedBytes, 0u);
    EXPECT_EQ(f.freeBytes, 713u * 1024);
    EXPECT_EQ(f.totalBytes, 1440u * 512);
}

TEST_F(VolumeTest, UsedSpaceCountsEveryNonZeroFatEntry) {
    Put(0, "A       TXT", kAttrArchive, {2, 3}, 2000);
    ASSERT_TRUE(WriteFatEntry(Volume(layout, doc.Area(), doc.AreaLength()), 10, kFatBadCluster));
    const VolumeFigures f = ReadVolumeFigures(doc);
    EXPECT_EQ(f.usedBytes, 3u * 1024);
    EXPECT_EQ(f.freeBytes, 710u * 1024);
}

TEST_F(VolumeTest, OemTextEndsAtTheFirstZeroByte) {
    std::memcpy(doc.Area() + kBsOemName, "MSX\0XXXX", 8);
    EXPECT_EQ(ReadVolumeFigures(doc).oemText, "MSX");
}

TEST_F(VolumeTest, TotalIncludesTheCommentHeader) {
    constexpr uint32_t kHeader = 64;
    const test::Bytes area = Snapshot();
    ByteBlock bigger;
    ASSERT_TRUE(bigger.Allocate(area.size() + kHeader));
    std::memset(bigger.data(), 0, kHeader);
    std::memcpy(bigger.data() + kHeader, area.data(), area.size());
    doc.imageBuffer = std::move(bigger);
    doc.imageSize = static_cast<uint32_t>(area.size()) + kHeader;
    doc.dataOffset = kHeader;
    const VolumeFigures f = ReadVolumeFigures(doc);
    EXPECT_EQ(f.totalBytes, 737280u + kHeader);
    EXPECT_EQ(f.freeBytes, 713u * 1024);
}

TEST_F(VolumeTest, LabelKeepsItsInnerBlank) {
    Put(0, "A       TXT", kAttrArchive);
    Put(1, "MY DISK 12 ", kAttrLabel);
    const VolumeFigures f = ReadVolumeFigures(doc);
    EXPECT_EQ(f.labelText, "MY DISK 12");
    EXPECT_EQ(f.labelOffset, Slot(1));
    const test::Bytes before = Snapshot();
    const Result same = Shown(ApplyVolumeLabel(doc, f, f.labelText));
    EXPECT_TRUE(same.Done());
    EXPECT_TRUE(same.changes.Empty());
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(doc.modified);
}

TEST_F(VolumeTest, TypedLabelIsStoredAsTypedWithTodaysStamp) {
    Put(0, "A       TXT", kAttrArchive);
    const std::time_t t0 = std::time(nullptr);
    ASSERT_TRUE(Apply("my disk"));
    const std::time_t t1 = std::time(nullptr);
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(Name11(1), "my disk    ");
    EXPECT_EQ(At(1)[kDirAttr], 0x28);
    for (uint32_t b = kDirReserved; b < kDirTime; ++b) EXPECT_EQ(At(1)[b], 0) << b;
    EXPECT_EQ(Load16(At(1) + kDirFirstCluster), 0);
    EXPECT_EQ(Load32(At(1) + kDirSize), 0u);
    const uint16_t date = Load16(At(1) + kDirDate);
    const uint16_t time = Load16(At(1) + kDirTime);
    const DosDateTime s0 = PackDosStamp(*std::localtime(&t0));
    const DosDateTime s1 = PackDosStamp(*std::localtime(&t1));
    EXPECT_TRUE((date == s0.date && time == s0.time) || (date == s1.date && time == s1.time));
    EXPECT_EQ(ReadVolumeFigures(doc).labelText, "my disk");
}

TEST_F(VolumeTest, ExtendedBootRecordGetsTheSameLabel) {
    ASSERT_EQ(doc.Area()[0x26], 0x29);
    ASSERT_TRUE(Apply("my disk"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(doc.Area() + 0x2B), 11), "my disk    ");
    ASSERT_TRUE(Apply(""));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(doc.Area() + 0x2B), 11), "NO NAME    ");
}

TEST_F(VolumeTest, BootSectorWithoutExtendedRecordIsLeftAlone) {
    doc.modified = false;
    test::Close(doc);
    ASSERT_TRUE(test::Shown(CreateEmptyImage(doc, 0xF9, kBootMsxDos), test::TestOwner()));
    ASSERT_NE(doc.Area()[0x26], 0x29);
    const test::Bytes boot(doc.Area(), doc.Area() + kSectorSize);
    ASSERT_TRUE(Apply("MSX"));
    EXPECT_EQ(test::Bytes(doc.Area(), doc.Area() + kSectorSize), boot);
    EXPECT_EQ(Name11(0), "MSX        ");
}

TEST_F(VolumeTest, OnlyElevenCharactersAreTaken) {
    ASSERT_TRUE(Apply("ABCDEFGHIJKLMN"));
    EXPECT_EQ(Name11(0), "ABCDEFGHIJK");
}

TEST_F(VolumeTest, NewLabelOverwritesTheOldOneInPlace) {
    Put(0, "A       TXT", kAttrArchive);
    Put(1, "OLD LABEL  ", kAttrLabel);
    ASSERT_TRUE(Apply("NEW"));
    EXPECT_EQ(Name11(1), "NEW        ");
    EXPECT_EQ(At(2)[0], kEntryNeverUsed);
}

TEST_F(VolumeTest, DeletedLabelSlotIsReused) {
    Put(0, "A       TXT", kAttrArchive);
    Put(1, "B       TXT", kAttrArchive);
    Put(2, "OLD LABEL  ", kAttrLabel);
    At(2)[0] = kEntryDeleted;
    ASSERT_TRUE(Apply("NEW"));
    EXPECT_EQ(Name11(2), "NEW        ");
    EXPECT_EQ(At(3)[0], kEntryNeverUsed);
}

TEST_F(VolumeTest, ClearingMarksTheLabelDeletedAndKeepsItsOtherBytes) {
    Put(0, "MY DISK    ", kAttrLabel);
    test::Bytes expected = Snapshot();
    expected[Slot(0)] = kEntryDeleted;
    ASSERT_TRUE(Apply("   "));
    EXPECT_EQ(Snapshot(), expected);
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(ReadVolumeFigures(doc).labelOffset, 0u);
}

TEST_F(VolumeTest, ClearingWithoutLabelChangesNothing) {
    Put(0, "A       TXT", kAttrArchive);
    const test::Bytes before = Snapshot();
    EXPECT_TRUE(Apply(""));
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(doc.modified);
}

// Another system may have left a deleted label in front of the live one.
TEST_F(VolumeTest, StaleDeletedLabelInFrontNeitherHidesNorDoublesTheLiveOne) {
    Put(0, "STALE      ", kAttrLabel);
    At(0)[0] = kEntryDeleted;
    Put(1, "LIVE       ", kAttrLabel);
    ASSERT_TRUE(Apply("NEWER"));
    EXPECT_EQ(Name11(1), "NEWER      ");
    EXPECT_EQ(At(0)[0], kEntryDeleted);
    ASSERT_TRUE(Apply(""));
    EXPECT_EQ(At(1)[0], kEntryDeleted);
    EXPECT_EQ(FindVolumeLabel(ConstVolume(layout, doc.Area(), doc.AreaLength())), 0u);
}

TEST_F(VolumeTest, LeadingE5IsStoredEscapedSoTheLabelStaysLive) {
    ASSERT_TRUE(Apply("\xE5XTRA"));
    EXPECT_EQ(At(0)[0], 0x05);
    const VolumeFigures f = ReadVolumeFigures(doc);
    EXPECT_EQ(f.labelOffset, Slot(0));
    EXPECT_EQ(f.labelText, "\xE5XTRA");
    const test::Bytes before = Snapshot();
    doc.modified = false;
    EXPECT_TRUE(Shown(ApplyVolumeLabel(doc, f, "\xE5XTRA")).Done());
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(doc.modified);
}

TEST_F(VolumeTest, FullRootGivesMessage31AndChangesNothing) {
    FillRoot();
    const test::Bytes before = Snapshot();
    script.Message(kMsgLabelRootFull, test::kIconError);
    EXPECT_FALSE(Apply("DISK"));
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(doc.modified);
}

TEST_F(VolumeTest, FullRootStillTakesADeletedSlot) {
    FillRoot();
    At(50)[0] = kEntryDeleted;
    ASSERT_TRUE(Apply("DISK"));
    EXPECT_EQ(Name11(50), "DISK       ");
}

struct StampCase {
    const char* name;
    int year, month, day, hour, minute, second;
    uint16_t date, time;
};
void PrintTo(const StampCase& c, std::ostream* os) { *os << c.name; }

class PackDosStampTest : public ::testing::TestWithParam<StampCase> {};

TEST_P(PackDosStampTest, Packs) {
    const StampCase& c = GetParam();
    std::tm tm{};
    tm.tm_year = c.year - 1900;
    tm.tm_mon = c.month - 1;
    tm.tm_mday = c.day;
    tm.tm_hour = c.hour;
    tm.tm_min = c.minute;
    tm.tm_sec = c.second;
    const DosDateTime s = PackDosStamp(tm);
    EXPECT_EQ(s.date, c.date);
    EXPECT_EQ(s.time, c.time);
}

INSTANTIATE_TEST_SUITE_P(
    Clock, PackDosStampTest,
    ::testing::Values(StampCase{"FirstDay", 1980, 1, 1, 0, 0, 0, 0x0021, 0},
                      StampCase{"Afternoon", 2024, 3, 5, 13, 4, 5, 0x5865, 0x6882},
                      StampCase{"LastDay", 2107, 12, 31, 23, 59, 59, 0xFF9F, 0xBF7D},
                      StampCase{"Before1980IsZero", 1979, 12, 31, 23, 59, 59, 0, 0},
                      StampCase{"After2107IsZero", 2108, 1, 1, 0, 0, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vk
