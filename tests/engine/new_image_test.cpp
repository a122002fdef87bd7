#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "engine/common/bytes.h"
#include "engine/core/boot_sector.h"
#include "engine/core/layout.h"
#include "engine/core/new_image.h"
#include "engine/strings/string_ids.h"
#include "tests/support/test_files.h"

namespace vk::test {
namespace {

class NewImage : public EngineTest {};

TEST_F(NewImage, MsDos144MegabyteLayout) {
    ASSERT_TRUE(test::Shown(CreateEmptyImage(doc, 0xF0, kBootMsDos6), TestOwner()));
    const uint8_t* p = doc.imageBuffer.data();
    EXPECT_EQ(doc.imageSize, 1474560u);
    EXPECT_EQ(std::memcmp(p + kBsOemName, "MSDOS5.0", 8), 0);
    EXPECT_EQ(p[kBpbMediaByte], 0xF0);
    EXPECT_EQ(Load16(p + kBpbTotalSectors), 2880);
    EXPECT_EQ(Load16(p + kBpbSectorsPerFat), 9);
    EXPECT_EQ(Load16(p + kBpbSectorsPerTrack), 18);
    EXPECT_TRUE(HasBootSignature(p));
    for (uint32_t sector : {1u, 10u}) {
        EXPECT_EQ(p[sector * 512], 0xF0);
        EXPECT_EQ(p[sector * 512 + 1], 0xFF);
        EXPECT_EQ(p[sector * 512 + 2], 0xFF);
    }
    EXPECT_EQ(p[32 * 512 + 511], 0x00) << "root directory must be empty";
    EXPECT_EQ(p[33 * 512], 0xFF) << "data area begins at sector 33";
    EXPECT_EQ(doc.geometry, FormatRow(0xF0));
    EXPECT_EQ(doc.fileName, "Untitled");
    EXPECT_FALSE(doc.modified);
    EXPECT_FALSE(doc.imageFile.IsOpen());
}

TEST_F(NewImage, Msx720KilobyteMatchesTemplateDefaults) {
    ASSERT_TRUE(test::Shown(CreateEmptyImage(doc, 0xF9, kBootMsxDos), TestOwner()));
    const uint8_t* p = doc.imageBuffer.data();
    EXPECT_EQ(std::memcmp(p, BootTemplate(kBootMsxDos).data(), 512), 0)
        << "the F9 geometry equals the template's own BPB";
    EXPECT_EQ(p[512], 0xF9);
    EXPECT_EQ(p[4 * 512], 0xF9);
    EXPECT_EQ(p[7 * 512], 0x00);
    EXPECT_EQ(p[13 * 512 + 511], 0x00);
    EXPECT_EQ(p[14 * 512], 0xFF);
    EXPECT_EQ(p[1439 * 512 + 511], 0xFF);
}

TEST_F(NewImage, SingleSided180KilobyteDataArea) {
    ASSERT_TRUE(test::Shown(CreateEmptyImage(doc, 0xFC, kBootMsxDos), TestOwner()));
    const uint8_t* p = doc.imageBuffer.data();
    EXPECT_EQ(p[8 * 512 + 511], 0x00) << "root directory ends at sector 8";
    EXPECT_EQ(p[9 * 512], 0xFF);
    EXPECT_EQ(doc.imageSize, 360u * 512);
}

TEST_F(NewImage, SerialNumberOnlyWhereTheTemplateHasRoom) {
    // Template 0 carries boot code at 0x27; the others get four random bytes.
    ASSERT_TRUE(test::Shown(CreateEmptyImage(doc, 0xF9, kBootMsxDos), TestOwner()));
    EXPECT_EQ(std::memcmp(doc.imageBuffer.data() + kBsVolumeSerial, BootTemplate(0).data() + kBsVolumeSerial, 4), 0);
    std::set<uint32_t> serials;
    for (unsigned boot : {kBootMsxDos22, kBootMsDos6}) {
        ImageDocument other;
        ASSERT_TRUE(test::Shown(CreateEmptyImage(other, 0xF9, boot), TestOwner()));
        serials.insert(Load32(other.imageBuffer.data() + kBsVolumeSerial));
    }
    EXPECT_FALSE(serials.count(0) && serials.size() == 1) << "no serial number was written";
}

TEST_F(NewImage, CustomRowIsUsedAsTheDialogLeftIt) {
    DiskFormat saved = FormatRow(kCustomFormatCode);
    FormatRow(kCustomFormatCode) = DiskFormat{0, 1, 100, 1, 4, 1, 1, 10, 16, 0xF7, MediaKind::kUnknown};
    ASSERT_TRUE(test::Shown(CreateEmptyImage(doc, kCustomFormatCode, kBootMsxDos), TestOwner()));
    EXPECT_EQ(doc.imageSize, 100u * 512);
    EXPECT_EQ(doc.imageBuffer.data()[kBpbMediaByte], 0xF7);
    EXPECT_EQ(doc.imageBuffer.data()[512], 0xF7);
    EXPECT_EQ(doc.imageBuffer.data()[3 * 512], 0xFF) << "boot, one FAT sector, one root sector, then data";
    FormatRow(kCustomFormatCode) = saved;
}

TEST_F(NewImage, CustomRowsThatCannotHoldTheirSystemAreaAreRefused) {
    DiskFormat saved = FormatRow(kCustomFormatCode);
    struct Case {
        const char* name;
        DiskFormat row;
        unsigned message;
    } cases[] = {
        {"FATs and root larger than the disk", {0, 2, 20, 9, 1, 1, 1, 9, 112, 0xF8, MediaKind::kUnknown}, kMsgFormatTooSmall},
        {"no sectors at all", {0, 2, 0, 1, 1, 1, 1, 9, 16, 0xF8, MediaKind::kUnknown}, kMsgFormatTooSmall},
        {"zero sectors per cluster", {0, 2, 720, 2, 0, 1, 1, 9, 112, 0xF8, MediaKind::kUnknown}, kMsgFormatZeroField},
        {"zero FATs", {0, 0, 720, 2, 2, 1, 1, 9, 112, 0xF8, MediaKind::kUnknown}, kMsgFormatZeroField},
        {"zero sectors per FAT", {0, 2, 720, 0, 2, 1, 1, 9, 112, 0xF8, MediaKind::kUnknown}, kMsgFormatZeroField},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FormatRow(kCustomFormatCode) = c.row;
        script.Message(c.message, kIconError);
        EXPECT_FALSE(test::Shown(CreateEmptyImage(doc, kCustomFormatCode, kBootMsxDos), TestOwner()));
        EXPECT_FALSE(doc.IsOpen());
    }
    FormatRow(kCustomFormatCode) = saved;
}

TEST(FormatTable, ListedFormatsSkipEmptyRowsAndStopAtCustom) {
    std::array<uint32_t, kFormatRows> codes{};
    const size_t count = ListedFormatCodes(codes);
    const std::vector<uint32_t> listed(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(count));
    EXPECT_EQ(listed, (std::vector<uint32_t>{0xF0, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF}));
    for (uint32_t code = 0xF1; code <= 0xF7; ++code) {
        EXPECT_FALSE(IsUsableFormat(FormatRow(code)));
        EXPECT_EQ(FormatRow(code).mediaByte, code);
    }
    EXPECT_EQ(FormatRow(kCustomFormatCode).descriptionId, 0u);
}

// Hard-disk volumes: FAT12 as far as MSX-DOS 2's 16-bit sector count goes,
// FAT16 above, the fewest sectors per cluster; what a reader makes of the
// geometry must be what was planned.
TEST_F(NewImage, HardDiskVolumesTakeTheirWidthBySizeAndTheSmallestClusters) {
    const struct {
        const char* what;
        uint64_t sectors;
        VolumeSizeFault fault;
        uint32_t bits;
        uint32_t perCluster;
    } cases[] = {
        {"1 MB: a floppy's root, one sector per cluster", 2048, VolumeSizeFault::kNone, 12, 1},
        {"8 MB", 16384, VolumeSizeFault::kNone, 12, 4},
        {"30 MB", 61440, VolumeSizeFault::kNone, 12, 16},
        {"32 MB: FAT12 in 65535 of its sectors", 65536, VolumeSizeFault::kNone, 12, 32},
        {"one sector more: FAT16", 65537, VolumeSizeFault::kNone, 16, 1},
        {"100 MB", 204800, VolumeSizeFault::kNone, 16, 4},
        {"2 GB less 1 MB: 32 KB clusters", 4194304 - 2048, VolumeSizeFault::kNone, 16, 64},
        {"2 GB: more than 65524 clusters of 32 KB", 4194304, VolumeSizeFault::kTooLarge, 16, 0},
        {"two sectors", 2, VolumeSizeFault::kTooSmall, 12, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        VolumePlan plan;
        ASSERT_EQ(PlanVolume(c.sectors, plan), c.fault);
        EXPECT_EQ(plan.fatBits, c.bits);
        if (c.fault != VolumeSizeFault::kNone) continue;
        EXPECT_EQ(plan.geometry.sectorsPerCluster, c.perCluster);
        EXPECT_EQ(plan.geometry.totalSectors, std::min<uint64_t>(c.sectors, c.bits == 12 ? 0xFFFF : c.sectors));
        const Layout layout = ComputeLayout(plan.geometry);
        EXPECT_EQ(layout.fatBits, c.bits) << "a reader counts the clusters into the planned width";
        EXPECT_EQ(uint64_t{layout.lastCluster}, layout.clusterCount + 1) << "the FAT holds every cluster";
    }
}

}  // namespace
}  // namespace vk::test
