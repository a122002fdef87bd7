// The partitions of the open document described from its bytes say what a
// description from the file says, but for the changes not yet saved.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/document.h"
#include "engine/core/new_image.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/partition_info.h"
#include "tests/support/test_files.h"

namespace vk::test {
namespace {

constexpr uint64_t kDiskSectors = 1440;
constexpr uint8_t kTypeOther = 0x83;

// A 720 KB disk labelled `label11`.
Bytes Disk(const char* label11) {
    ImageDocument disk;
    EXPECT_TRUE(CreateEmptyImage(disk, 0xF9, 0).Done());
    Bytes bytes(disk.imageBuffer.data(), disk.imageBuffer.data() + disk.imageSize);
    uint8_t* entry = bytes.data() + disk.GetLayout().rootStart;
    std::memcpy(entry + kDirName, label11, kDirFullNameLength);
    entry[kDirAttr] = 0x08;
    return bytes;
}

class OpenPartitionsTest : public EngineTest {};

TEST_F(OpenPartitionsTest, DescribedFromTheDocumentAsFromTheFileButForUnsavedChanges) {
    PartitionPlan plan;
    ASSERT_TRUE(MakePartitionTable(PartitionTableKind::kMbr, {kDiskSectors, 100, kDiskSectors},
                                   {kTypeFat12, kTypeOther, kTypeFat12}, 1, plan));
    Bytes image(static_cast<size_t>(plan.totalSectors * kPartitionSectorSize), 0);
    for (const TableSector& s : plan.sectors) {
        std::memcpy(image.data() + s.sector * kPartitionSectorSize, s.bytes.data(), s.bytes.size());
    }
    const Bytes one = Disk("FIRST      ");
    const Bytes three = Disk("THIRD      ");
    std::memcpy(image.data() + plan.partitions[0].startSector * kPartitionSectorSize, one.data(), one.size());
    std::memcpy(image.data() + plan.partitions[2].startSector * kPartitionSectorSize, three.data(), three.size());
    const std::string path = dir.Path("parts.dsk");
    WriteFile(path, image);

    PartitionTable table;
    std::vector<PartitionSummary> fromFile;
    ASSERT_TRUE(DescribeImagePartitions(path, {}, table, fromFile).Done());
    ASSERT_TRUE(OpenImage(doc, path, OpenOptions{true, 3, {}}).Done());
    std::memcpy(doc.Area() + doc.GetLayout().rootStart + kDirName, "UNSAVED    ", kDirFullNameLength);
    std::vector<PartitionSummary> fromDocument;
    DescribeOpenPartitions(doc, fromDocument);

    ASSERT_EQ(3u, fromFile.size());
    ASSERT_EQ(fromFile.size(), fromDocument.size());
    fromFile[2].label = "UNSAVED";
    for (size_t i = 0; i < fromFile.size(); ++i) {
        SCOPED_TRACE("partition " + std::to_string(i + 1));
        EXPECT_EQ(fromFile[i].entry.number, fromDocument[i].entry.number);
        EXPECT_EQ(fromFile[i].entry.startSector, fromDocument[i].entry.startSector);
        EXPECT_EQ(fromFile[i].opened, fromDocument[i].opened);
        EXPECT_EQ(fromFile[i].fileSystem, fromDocument[i].fileSystem);
        EXPECT_EQ(fromFile[i].label, fromDocument[i].label);
        EXPECT_EQ(fromFile[i].totalBytes, fromDocument[i].totalBytes);
        EXPECT_EQ(fromFile[i].freeBytes, fromDocument[i].freeBytes);
        EXPECT_EQ(fromFile[i].writable, fromDocument[i].writable);
    }
    EXPECT_TRUE(fromDocument[0].opened);
    EXPECT_EQ("FIRST", fromDocument[0].label);
    EXPECT_FALSE(fromDocument[1].opened) << "type 0x83 holds no FAT volume";
    EXPECT_EQ(ReadFile(path), image) << "describing never writes";
}

TEST_F(OpenPartitionsTest, AFloppyHasNone) {
    ASSERT_TRUE(CreateEmptyImage(doc, 0xF9, 0).Done());
    std::vector<PartitionSummary> summaries(1);
    DescribeOpenPartitions(doc, summaries);
    EXPECT_TRUE(summaries.empty());
}

}  // namespace
}  // namespace vk::test
