// The rows of the Choose partition dialog and the one selected at first.
#include <gtest/gtest.h>

#include "win32/sheets/partition_dialog.h"

namespace vk::win32 {
namespace {

PartitionSummary Summary(uint32_t number, uint8_t type, uint64_t bytes, const char* fileSystem = nullptr,
                         const char* label = "", bool writable = true) {
    PartitionSummary s;
    s.entry.number = number;
    s.entry.type = type;
    s.totalBytes = bytes;
    s.opened = fileSystem != nullptr;
    if (s.opened) {
        s.fileSystem = fileSystem;
        s.label = label;
        s.writable = writable;
    }
    return s;
}

TEST(PartitionDialog, RowsNameSizeFileSystemAndLabel) {
    const struct {
        const char* name;
        PartitionSummary summary;
        PartitionRow row;
    } cases[] = {
        {"a floppy-sized FAT12 one", Summary(1, 0x01, 737280, "FAT12", "GAMES"), {"1", "720 KB", "FAT12", "GAMES"}},
        {"a whole number of megabytes", Summary(2, 0x06, 100ull << 20, "FAT16"), {"2", "100 MB", "FAT16", ""}},
        {"a FAT16 one Volkarn only reads", Summary(3, 0x06, 30ull << 20, "FAT16", "NEXTOR", false),
         {"3", "30 MB", "FAT16, read-only", "NEXTOR"}},
        {"a 1.44 MB one in two decimals", Summary(4, 0x01, 1474560, "FAT12"), {"4", "1.41 MB", "FAT12", ""}},
        {"gigabytes", Summary(5, 0x0E, 2ull << 30, "FAT16"), {"5", "2 GB", "FAT16", ""}},
        {"no volume in it", Summary(6, 0x83, 51200), {"6", "50 KB", "None (type 0x83)", ""}},
    };
    for (const auto& c : cases) {
        const PartitionRow row = PartitionRowTexts(c.summary);
        EXPECT_EQ(c.row.number, row.number) << c.name;
        EXPECT_EQ(c.row.size, row.size) << c.name;
        EXPECT_EQ(c.row.fileSystem, row.fileSystem) << c.name;
        EXPECT_EQ(c.row.label, row.label) << c.name;
    }
}

TEST(PartitionDialog, PreselectsTheCurrentOrTheFirstUsable) {
    const std::vector<PartitionSummary> unreadableFirst = {Summary(1, 0x83, 512), Summary(2, 0x01, 512, "FAT12"),
                                                           Summary(3, 0x01, 512, "FAT12")};
    EXPECT_EQ(1, PreselectedRow(unreadableFirst, 0));
    EXPECT_EQ(2, PreselectedRow(unreadableFirst, 3));
    EXPECT_EQ(0, PreselectedRow(unreadableFirst, 1)) << "the current partition, even unreadable";
    EXPECT_EQ(1, PreselectedRow(unreadableFirst, 9)) << "a number the table lacks";
    EXPECT_EQ(0, PreselectedRow({Summary(1, 0x83, 512), Summary(2, 0x83, 512)}, 0));
    EXPECT_EQ(-1, PreselectedRow({}, 0));
}

}  // namespace
}  // namespace vk::win32
