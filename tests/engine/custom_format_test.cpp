#include <gtest/gtest.h>

#include "engine/core/layout.h"
#include "engine/core/custom_format.h"
#include "engine/strings/string_ids.h"
#include "tests/support/test_files.h"

namespace vk::test {
namespace {

class CustomFormat : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        saved = FormatRow(kCustomFormatCode);
    }
    void TearDown() override {
        FormatRow(kCustomFormatCode) = saved;
        EngineTest::TearDown();
    }
    // The OK of a front end: the refusal told, or the row stored.
    static bool Accept(const DiskFormat& row) {
        if (const auto refusal = RefuseCustomFormat(row)) {
            Tell(refusal->notice);
            return false;
        }
        StoreCustomFormat(row);
        return true;
    }
    DiskFormat saved;
};

DiskFormat Defaults() { return ParseCustomFormat(CustomFormatDefaults()); }

TEST_F(CustomFormat, DefaultsDescribeAn8MegabyteLayout) {
    const DiskFormat r = Defaults();
    EXPECT_EQ(r.fatCount, 2u);
    EXPECT_EQ(r.totalSectors, 16384u);
    EXPECT_EQ(r.sectorsPerFat, 11u);
    EXPECT_EQ(r.sectorsPerCluster, 8u);  // 4 would make 4086 clusters: no FAT12
    EXPECT_EQ(r.reservedSectors, 1u);
    EXPECT_EQ(r.heads, 4u);
    EXPECT_EQ(r.sectorsPerTrack, 40u);
    EXPECT_EQ(r.rootEntries, 224u);
    EXPECT_EQ(r.mediaByte, 0xF8u);
    EXPECT_EQ(r.descriptionId, 0u);
    EXPECT_EQ(r.mediaType, MediaKind::kUnknown);
}

TEST_F(CustomFormat, CapacityFigures) {
    const struct {
        const char* name;
        const char* totalSectors;
        const char* rootEntries;
        uint64_t totalKb, formattedKb;
    } cases[] = {
        // Formatted: whole 4 KB clusters behind 1 + 22 + root sectors.
        {"defaults", "16384", "224", 8192, 8172},
        {"odd sector count rounds up", "1441", "224", 721, 700},
        {"112 entries take 7 sectors", "16384", "112", 8192, 8176},
        {"an entry over a whole sector takes one more", "16384", "113", 8192, 8176},
        {"sectors short of a whole cluster hold nothing", "16390", "224", 8195, 8176},
        {"system area larger than the disk", "10", "224", 5, 0},
        {"no sectors", "0", "224", 0, 0},
    };
    for (const auto& c : cases) {
        CustomFormatTexts t = CustomFormatDefaults();
        t.totalSectors = c.totalSectors;
        t.rootEntries = c.rootEntries;
        const CustomCapacity capacity = ComputeCustomCapacity(ParseCustomFormat(t));
        EXPECT_EQ(capacity.totalKb, c.totalKb) << c.name;
        EXPECT_EQ(capacity.formattedKb, c.formattedKb) << c.name;
    }
}

TEST_F(CustomFormat, DecimalFieldsReadLikeTheDialogReadsThem) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"224", 224},   {"  +12", 12},  {"-3", -3},        {"12abc", 12},      {"abc", 0},
        {"", 0},        {"- 5", 0},     {"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN},
        // Only the first 31 characters reach the number.
        {"0000000000000000000000000000000123", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseDecimalField(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST_F(CustomFormat, MediaByteTakesLeadingHexDigits) {
    const struct {
        const char* text;
        uint32_t value;
    } cases[] = {{"F8", 0xF8}, {"f0", 0xF0}, {"", 0}, {"x1", 0}, {"F9 ", 0xF9}, {"FAG", 0xFA}, {"100", 0x100}};
    for (const auto& c : cases) {
        EXPECT_EQ(ParseMediaByteField(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST_F(CustomFormat, OkStoresTheRowAsTheCustomRow) {
    CustomFormatTexts t = CustomFormatDefaults();
    t.totalSectors = "1441";
    t.mediaByte = "f0";
    ASSERT_TRUE(Accept(ParseCustomFormat(t)));
    const DiskFormat& row = FormatRow(kCustomFormatCode);
    EXPECT_EQ(row.totalSectors, 1441u);
    EXPECT_EQ(row.mediaByte, 0xF0u);
    EXPECT_EQ(row.descriptionId, 0u);
    EXPECT_TRUE(script.Shown().empty());
}

TEST_F(CustomFormat, OkRefusesRowsTheImageCannotUse) {
    using F = CustomFormatField;
    const struct {
        const char* name;
        void (*change)(CustomFormatTexts&);
        unsigned message;
        std::vector<std::string> inserts;
        CustomFormatField field;  // where the user is led
    } cases[] = {
        {"10 sectors leave no data", [](CustomFormatTexts& t) { t.totalSectors = "10"; }, kMsgZeroCapacity, {}, F::kTotalSectors},
        {"0 sectors", [](CustomFormatTexts& t) { t.totalSectors = "0"; }, kMsgZeroCapacity, {}, F::kTotalSectors},
        {"0 FATs", [](CustomFormatTexts& t) { t.fatCount = "0"; }, kMsgFormatZeroField, {}, F::kFatCount},
        {"0 sectors per FAT", [](CustomFormatTexts& t) { t.sectorsPerFat = ""; }, kMsgFormatZeroField, {}, F::kSectorsPerFat},
        {"0 sectors per cluster", [](CustomFormatTexts& t) { t.sectorsPerCluster = "0"; }, kMsgFormatZeroField, {}, F::kSectorsPerCluster},
        {"0 heads", [](CustomFormatTexts& t) { t.heads = "0"; }, kMsgFormatNoTracks, {}, F::kHeads},
        {"0 sectors per track", [](CustomFormatTexts& t) { t.sectorsPerTrack = "x"; }, kMsgFormatNoTracks, {}, F::kSectorsPerTrack},
        {"media byte above FF", [](CustomFormatTexts& t) { t.mediaByte = "1F8"; }, kMsgFormatFieldTooLarge,
         {"1F8", "FF"}, F::kMediaByte},
        {"more sectors than the BPB holds", [](CustomFormatTexts& t) { t.totalSectors = "70000"; },
         kMsgFormatFieldTooLarge, {"70000", "65535"}, F::kTotalSectors},
        {"more FATs than a byte holds", [](CustomFormatTexts& t) { t.fatCount = "256"; t.totalSectors = "60000"; },
         kMsgFormatFieldTooLarge, {"256", "255"}, F::kFatCount},
        {"negative heads", [](CustomFormatTexts& t) { t.heads = "-2"; }, kMsgFormatFieldTooLarge,
         {"4294967294", "65535"}, F::kHeads},
        {"0 reserved sectors", [](CustomFormatTexts& t) { t.reservedSectors = "0"; }, kMsgFormatNoBootOrRoot, {}, F::kReservedSectors},
        {"0 directory entries", [](CustomFormatTexts& t) { t.rootEntries = "0"; }, kMsgFormatNoBootOrRoot, {}, F::kRootEntries},
        {"17 directory entries", [](CustomFormatTexts& t) { t.rootEntries = "17"; }, kMsgFormatNoBootOrRoot, {}, F::kRootEntries},
        {"3 sectors per cluster", [](CustomFormatTexts& t) { t.sectorsPerCluster = "3"; }, kMsgFormatClusterSize, {}, F::kSectorsPerCluster},
        {"255 sectors per cluster", [](CustomFormatTexts& t) { t.sectorsPerCluster = "255"; },
         kMsgFormatClusterSize, {}, F::kSectorsPerCluster},
        {"media byte F3", [](CustomFormatTexts& t) { t.mediaByte = "F3"; }, kMsgFormatMediaByte, {}, F::kMediaByte},
        {"media byte 00", [](CustomFormatTexts& t) { t.mediaByte = ""; }, kMsgFormatMediaByte, {}, F::kMediaByte},
        {"the old defaults: 4086 clusters", [](CustomFormatTexts& t) { t.sectorsPerCluster = "4"; },
         kMsgFormatTooManyClusters, {"4086", "4084"}, F::kSectorsPerCluster},
        {"4085 clusters", [](CustomFormatTexts& t) { t.sectorsPerCluster = "1"; t.totalSectors = "4124"; t.sectorsPerFat = "12"; },
         kMsgFormatTooManyClusters, {"4085", "4084"}, F::kSectorsPerCluster},
        {"a FAT one sector short", [](CustomFormatTexts& t) { t.sectorsPerCluster = "4"; t.totalSectors = "16000"; },
         kMsgFormatFatTooSmall, {"3990", "12"}, F::kSectorsPerFat},
        {"a FAT too short for 356 clusters", [](CustomFormatTexts& t) {
             t.sectorsPerCluster = "1"; t.totalSectors = "360"; t.sectorsPerFat = "1"; t.rootEntries = "16"; },
         kMsgFormatFatTooSmall, {"356", "2"}, F::kSectorsPerFat},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        script.Reset();
        FormatRow(kCustomFormatCode) = saved;
        CustomFormatTexts t = CustomFormatDefaults();
        c.change(t);
        script.Message(c.message, kIconWarning);
        EXPECT_FALSE(Accept(ParseCustomFormat(t)));
        EXPECT_EQ(RefuseCustomFormat(ParseCustomFormat(t))->field, c.field);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].inserts, c.inserts);
        EXPECT_EQ(FormatRow(kCustomFormatCode), saved) << "a refused row is not stored";
    }
}

// Every layout OK accepts is one that FAT12 readers lay out the same way:
// fewer than 4085 clusters, every one of them with its FAT entry.
TEST_F(CustomFormat, EveryAcceptedLayoutIsFat12WithAFatForEveryCluster) {
    size_t accepted = 0;
    for (const char* spc : {"1", "2", "4", "8", "16"}) {
        for (const char* total : {"720", "2880", "4122", "8200", "16384", "32768", "65535"}) {
            for (const char* fat : {"1", "3", "9", "11", "12", "40"}) {
                CustomFormatTexts t = CustomFormatDefaults();
                t.sectorsPerCluster = spc;
                t.totalSectors = total;
                t.sectorsPerFat = fat;
                const DiskFormat row = ParseCustomFormat(t);
                if (ValidateCustomFormat(row).verdict != CustomFormatVerdict::kAccepted) {
                    continue;
                }
                ++accepted;
                const Layout l = ComputeLayout(row);
                SCOPED_TRACE(std::string(spc) + " " + total + " " + fat);
                EXPECT_LT(l.clusterCount, 4085u);
                EXPECT_EQ(l.fatBits, 12u);
                EXPECT_EQ(l.lastCluster, l.clusterCount + 1) << "the FAT holds every cluster";
                EXPECT_EQ(ComputeCustomCapacity(row).formattedKb, (l.clusterCount * l.clusterBytes + 1023) / 1024);
            }
        }
    }
    EXPECT_GT(accepted, 20u);
}

}  // namespace
}  // namespace vk::test
