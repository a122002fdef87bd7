#include <gtest/gtest.h>

#include "engine/core/boot_sector.h"
#include "engine/strings/string_ids.h"
#include "tests/support/image_builder.h"
#include "tests/support/test_files.h"

namespace vk::test {
namespace {

class BootSector : public EngineTest {
protected:
    // Parses and tells the warnings, as an opening does.
    bool Parse(const Bytes& bytes) {
        InstallImage(doc, bytes);
        std::vector<Notice> warnings;
        const bool valid = ParseBootSector(doc, warnings);
        for (const Notice& warning : warnings) Tell(warning);
        return valid;
    }
};

TEST_F(BootSector, ValidBpbGivesItsGeometryWithoutMessage) {
    EXPECT_TRUE(Parse(MakeImage(0xF9)));
    const DiskFormat& g = doc.geometry;
    EXPECT_EQ(g.totalSectors, 1440u);
    EXPECT_EQ(g.sectorsPerCluster, 2u);
    EXPECT_EQ(g.heads, 2u);
    EXPECT_EQ(g.rootEntries, 112u);
    EXPECT_EQ(g.descriptionId, 0u);
    EXPECT_EQ(g.mediaByte, 0u);
    EXPECT_EQ(g.mediaType, MediaKind::k3_5Inch720K);
    EXPECT_FALSE(doc.geometryGuessed);
}

TEST_F(BootSector, ZeroClusterSizeFallsBackToTheMediaByte) {
    Bytes image = MakeImage(0xF9);
    image[0x0D] = 0;
    image[0x15] = 0xF8;
    script.Message(kMsgFormatByteUsed, kIconWarning);
    EXPECT_TRUE(Parse(image));
    EXPECT_EQ(doc.geometry, FormatRow(0xF8));
    EXPECT_EQ(doc.geometry.heads, 1u);
}

TEST_F(BootSector, FallbackGeometryIsKeptWhenTheSectorSizeIsWrong) {
    Bytes image = MakeImage(0xF9);
    image[0x0D] = 0;
    image[0x15] = 0xF8;
    Put16(image, 0x0B, 1024);
    script.Message(kMsgFormatByteUsed, kIconWarning).Message(kMsgNotValidImage, kIconWarning);
    EXPECT_FALSE(Parse(image));
    EXPECT_EQ(doc.geometry, FormatRow(0xF8));
}

TEST_F(BootSector, EmptyRowMediaByteTriesTheFatId) {
    Bytes image = MakeImage(0xF9);
    image[0x0D] = 0;
    image[0x15] = 0xF3;
    image[512] = 0xFD;
    script.Message(kMsgFormatByteUsed, kIconWarning);
    EXPECT_TRUE(Parse(image));
    EXPECT_EQ(doc.geometry, FormatRow(0xFD));
}

TEST_F(BootSector, ImageOfOneSectorNeverConsultsTheFatId) {
    Bytes image(512, 0);
    Put16(image, 0x0B, 512);
    script.Message(kMsgNotValidImage, kIconWarning);
    EXPECT_FALSE(Parse(image));
    EXPECT_EQ(doc.geometry.sectorsPerCluster, 2u);
    EXPECT_EQ(doc.geometry.totalSectors, 0u);
}

TEST_F(BootSector, HardDiskImagesAreNamed) {
    Bytes image(1024, 0);
    PutBootSignature(image.data());
    image[512] = 0x12;
    script.Message(kMsgHardDiskNoPartition, kIconWarning);
    EXPECT_FALSE(Parse(image));
    EXPECT_EQ(doc.geometry.sectorsPerCluster, 2u);

    doc.imageBuffer.Reset();
    image[0x15] = 0xF0;
    script.Message(kMsgFormatByteUsed, kIconWarning).Message(kMsgHardDiskImage, kIconWarning);
    EXPECT_FALSE(Parse(image));
    EXPECT_EQ(doc.geometry, FormatRow(0xF0));
}

TEST_F(BootSector, ZeroSectorsGiveTheGenericWarning) {
    script.Message(kMsgNotValidImage, kIconWarning);
    EXPECT_FALSE(Parse(Bytes(1024, 0)));
    EXPECT_EQ(doc.geometry.sectorsPerCluster, 2u);
}

TEST_F(BootSector, FatCountZeroReadsAsOne) {
    Bytes image = MakeImage(0xF9);
    image[0x10] = 0;
    EXPECT_TRUE(Parse(image));
    EXPECT_EQ(doc.geometry.fatCount, 1u);
}

// The backup-FAT check trusts only a geometry the boot sector gave.
TEST_F(BootSector, OnlyAnInvalidBootSectorLeavesAGuessedGeometry) {
    EXPECT_TRUE(Parse(MakeImage(0xF0, kBootMsDos6)));
    EXPECT_FALSE(doc.geometryGuessed);
    Bytes image = MakeImage(0xF9);
    Put16(image, 0x0B, 1024);
    script.Message(kMsgNotValidImage, kIconWarning);
    EXPECT_FALSE(Parse(image));
    EXPECT_TRUE(doc.geometryGuessed);
}

TEST(BootSectorText, FileSystemTypeIsCutAtItsFirstZero) {
    Bytes sector(512, 0);
    const char fat16[] = "FAT16   ";
    std::copy(fat16, fat16 + 8, sector.begin() + 0x36);
    EXPECT_EQ(FileSystemTypeText(sector.data()), "FAT16   ");
    sector[0x36 + 3] = 0;
    EXPECT_EQ(FileSystemTypeText(sector.data()), "FAT");
}

// The layout of geometries other readers would lay out from their BPB.
TEST(Layout, TableFormatsMatchTheirWorkedValues) {
    const Layout l720 = ComputeLayout(FormatRow(0xF9));
    EXPECT_EQ(l720.rootStart, 3584u);
    EXPECT_EQ(l720.dataStart, 7168u);
    EXPECT_EQ(l720.lastCluster, 714u);
    const Layout l144 = ComputeLayout(FormatRow(0xF0));
    EXPECT_EQ(l144.rootStart, 9728u);
    EXPECT_EQ(l144.dataStart, 16896u);
    EXPECT_EQ(l144.lastCluster, 2848u);
}

TEST(Layout, FollowsReservedSectorsAndPartialRootSectors) {
    DiskFormat g = FormatRow(0xF9);
    g.reservedSectors = 4;
    g.rootEntries = 100;  // 6.25 sectors: the directory takes 7
    const Layout l = ComputeLayout(g);
    EXPECT_EQ(l.fatStart, 4u * 512);
    EXPECT_EQ(l.rootStart, (4u + 6) * 512);
    EXPECT_EQ(l.dataStart, (4u + 6 + 7) * 512);
}

TEST(Layout, LastClusterNeverUnderflowsOrOutgrowsItsFat) {
    DiskFormat tiny = FormatRow(0xF9);
    tiny.totalSectors = 5;  // smaller than its own FATs and root
    EXPECT_LT(ComputeLayout(tiny).lastCluster, 2u);

    DiskFormat shortFat = FormatRow(0xF0);
    shortFat.sectorsPerFat = 1;  // 512 bytes hold entries 0 .. 340
    EXPECT_EQ(ComputeLayout(shortFat).lastCluster, 340u);

    // 65120 clusters make FAT16, whose 200 FAT sectors hold entries 0 .. 51199.
    DiskFormat huge = FormatRow(0xF0);
    huge.totalSectors = 65535;
    huge.sectorsPerFat = 200;
    EXPECT_EQ(ComputeLayout(huge).fatBits, 16u);
    EXPECT_EQ(ComputeLayout(huge).lastCluster, 51199u);

    DiskFormat zero{};
    EXPECT_LT(ComputeLayout(zero).lastCluster, 2u);
}

}  // namespace
}  // namespace vk::test
