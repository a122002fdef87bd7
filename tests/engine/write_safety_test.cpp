// Images the engine must not change: FAT32, FATs beyond the file, guessed
// layouts. They open read-only with a reason,
// still list and (where the layout is known) extract, and refuse every change
// with the file left byte for byte as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "engine/common/bytes.h"
#include "engine/core/boot_sector.h"
#include "engine/fat/ops/add_file.h"
#include "engine/fat/ops/delete_rename.h"
#include "engine/fat/ops/extract.h"
#include "engine/fat/table/fat12.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/file_properties.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/dir/fs_options.h"
#include "engine/fat/ops/volume_info.h"
#include "tests/support/box_flags.h"
#include "engine/strings/string_ids.h"
#include "tests/support/image_builder.h"
#include "tests/support/test_files.h"

namespace vk::test {
namespace {

// A small FAT16 volume laid out as a DOS formatter would: 4 reserved
// sectors, two FATs of 18 sectors, 512 root entries, one sector per cluster,
// and 4328 clusters, just above what FAT12 can count.
constexpr uint32_t kF16Sectors = 4400;
constexpr uint32_t kF16Reserved = 4;
constexpr uint32_t kF16FatSectors = 18;
constexpr uint32_t kF16DataStart = (kF16Reserved + 2 * kF16FatSectors + 32) * 512;
// A chain across the numbers FAT12 would take for end marks.
const std::vector<uint32_t> kF16Chain = {0xFF8, 0xFF9, 0x1000};

Bytes Fat16Image() {
    Bytes b(size_t{kF16Sectors} * 512, 0);
    const auto& boot = BootTemplate(kBootMsDos6);
    std::copy(boot.begin(), boot.end(), b.begin());
    Put16(b, kBpbBytesPerSector, 512);
    b[kBpbSectorsPerCluster] = 1;
    Put16(b, kBpbReservedSectors, kF16Reserved);
    b[kBpbFatCount] = 2;
    Put16(b, kBpbRootEntries, 512);
    Put16(b, kBpbTotalSectors, kF16Sectors);
    b[kBpbMediaByte] = 0xF8;
    Put16(b, kBpbSectorsPerFat, kF16FatSectors);
    for (uint32_t copy = 0; copy < 2; ++copy) {
        const size_t fat = (kF16Reserved + copy * kF16FatSectors) * 512;
        Put16(b, fat, 0xFFF8);
        Put16(b, fat + 2, 0xFFFF);
        for (size_t i = 0; i < kF16Chain.size(); ++i) {
            Put16(b, fat + 2 * kF16Chain[i], i + 1 < kF16Chain.size() ? kF16Chain[i + 1] : 0xFFFF);
        }
    }
    const size_t root = (kF16Reserved + 2 * kF16FatSectors) * 512;
    std::memcpy(b.data() + root, "BIG     BIN", 11);
    b[root + 11] = 0x20;
    Put16(b, root + 26, static_cast<uint16_t>(kF16Chain[0]));
    Store32(b.data() + root + 28, 1300);
    for (size_t i = 0; i < kF16Chain.size(); ++i) {
        std::memset(b.data() + kF16DataStart + (kF16Chain[i] - 2) * 512, 'a' + static_cast<int>(i), 512);
    }
    return b;
}

// A FAT32 boot sector: no 16-bit FAT size, no root entries, the FAT's size in 32 bits.
Bytes Fat32BpbImage() {
    Bytes image = MakeImage(0xF0, kBootMsDos6);
    Put16(image, kBpbSectorsPerFat, 0);
    Put16(image, kBpbRootEntries, 0);
    Store32(image.data() + kBpb32SectorsPerFat, 9);
    return image;
}

// FAT32 by its cluster count alone: the FAT16 volume above given 70000
// sectors, its data area cut short (the FAT width comes from the geometry).
Bytes Fat32Image() {
    Bytes image = Fat16Image();
    Put16(image, kBpbTotalSectors, 0);
    Store32(image.data() + kBpbTotalSectors32, 70000);
    image.resize(kF16DataStart + 4096);
    return image;
}

Bytes Fat16Content() {
    Bytes want(1300);
    std::memset(want.data(), 'a', 512);
    std::memset(want.data() + 512, 'b', 512);
    std::memset(want.data() + 1024, 'c', 1300 - 1024);
    return want;
}

class WriteSafety : public EngineTest {
protected:
    // Writes `image`, opens it expecting the warnings `ids`, and keeps the bytes.
    void Open(const Bytes& image, std::vector<std::pair<unsigned, std::vector<std::string>>> ids) {
        bytes = image;
        path = dir.Path("disk.dsk");
        WriteFile(path, bytes);
        for (const auto& [id, inserts] : ids) {
            script.Message(id, kIconWarning);
        }
        ASSERT_TRUE(test::Open(doc, TestOwner(), path));
        ASSERT_EQ(script.Pending(), 0u);
        ASSERT_EQ(script.Shown().size(), ids.size());
        for (size_t i = 0; i < ids.size(); ++i) {
            EXPECT_EQ(script.Shown()[i].inserts, ids[i].second);
        }
    }
    Bytes bytes;
    std::string path;
};

TEST(FatWidth, ComesFromTheClusterCountAlone) {
    const struct {
        uint32_t clusters;
        uint32_t bits;
    } cases[] = {{4084, 12}, {4085, 16}, {65524, 16}, {65525, 32}};
    for (const auto& c : cases) {
        DiskFormat g = FormatRow(0xF0);
        g.sectorsPerFat = 0xFFFF;  // a FAT large enough for any count
        const uint32_t firstData = static_cast<uint32_t>(ComputeLayout(g).dataStart / 512);
        g.totalSectors = firstData + c.clusters;
        const Layout l = ComputeLayout(g);
        EXPECT_EQ(l.clusterCount, c.clusters);
        EXPECT_EQ(l.fatBits, c.bits) << c.clusters << " clusters";
    }
}

TEST_F(WriteSafety, Fat16EntriesAreWordsAndTheirEndMarksAreFffx) {
    InstallImage(doc, Fat16Image());
    std::vector<Notice> warnings;
    ASSERT_TRUE(ParseBootSector(doc, warnings));
    EXPECT_TRUE(warnings.empty());
    const Layout l = doc.GetLayout();
    ASSERT_EQ(l.fatBits, 16u);
    EXPECT_EQ(l.lastCluster, kF16Sectors - kF16DataStart / 512 + 1);
    EXPECT_EQ(ReadFatEntry(ConstVolume(l, doc.Area(), doc.AreaLength()), 0xFF8), 0xFF9u);
    std::vector<uint32_t> walked;
    ChainWalker walk(ConstVolume(l, doc.Area(), doc.AreaLength()), kF16Chain[0]);
    for (; walk.State() == ChainState::kCluster; walk.Advance()) walked.push_back(walk.Cluster());
    EXPECT_EQ(walked, kF16Chain);
    EXPECT_EQ(walk.State(), ChainState::kEnd);
    // A write changes the entry's word alone, at 2n, with FAT16's own end mark.
    const Bytes before = ImageBytes(doc);
    ASSERT_TRUE(WriteFatEntry(Volume(l, doc.Area(), doc.AreaLength()), 0xFF9, l.EndMark()));
    const Bytes after = ImageBytes(doc);
    const size_t at = kF16Reserved * 512 + 2 * 0xFF9;
    EXPECT_EQ(FatEntryBytes(l, 0xFF9).offset, at);
    for (size_t i = 0; i < after.size(); ++i) {
        if (i != at && i != at + 1) {
            ASSERT_EQ(after[i], before[i]) << "byte " << i;
        }
    }
    EXPECT_EQ(Load16(after.data() + at), 0xFFFFu);
    EXPECT_EQ(ReadFatEntry(ConstVolume(l, doc.Area(), doc.AreaLength()), 0xFF9), 0xFFFFu);
}

TEST_F(WriteSafety, Fat16OpensWritableAndListsAndExtracts) {
    Open(Fat16Image(), {});
    EXPECT_EQ(doc.changeBlock, ChangeBlock::kNone);
    const std::vector<uint32_t> listed = ListedEntries(doc);
    ASSERT_EQ(listed.size(), 1u);
    ASSERT_EQ(EntryDisplayName(doc.Area() + listed[0]), "BIG.BIN");
    const std::string out = dir.Path("BIG.BIN");
    ASSERT_TRUE(Shown(ExtractEntry(doc, listed[0], kReplaceAsk, out)).Done());
    EXPECT_EQ(ReadFile(out), Fat16Content());
}

TEST_F(WriteSafety, ADos4SizeAbove16BitsIsReadFromIts32BitField) {
    Bytes image = Fat16Image();
    Put16(image, kBpbTotalSectors, 0);
    Store32(image.data() + kBpbTotalSectors32, kF16Sectors);
    Open(image, {});
    EXPECT_EQ(doc.geometry.totalSectors, kF16Sectors);
}

TEST_F(WriteSafety, AnMsxBootSectorNeverTakesItsLoaderForA32BitSize) {
    Bytes image = MakeImage(0xF9, kBootMsxDos);
    Put16(image, kBpbTotalSectors, 0);
    // A disk of 0 sectors holds no clusters: it stays read-only.
    Open(image, {{kMsgLayoutNoTotalSectors, {}}});
    EXPECT_EQ(doc.geometry.totalSectors, 0u);
    EXPECT_EQ(doc.changeBlock, ChangeBlock::kImpossibleLayout);
}

TEST_F(WriteSafety, Fat32BootSectorOpensReadOnly) {
    Open(Fat32BpbImage(), {{kMsgFat32ReadOnly, {}}});
    EXPECT_EQ(doc.changeBlock, ChangeBlock::kFat32);
}

TEST_F(WriteSafety, TheTableFormatsStayWritable) {
    for (uint32_t code : {0xF0u, 0xF8u, 0xF9u, 0xFAu, 0xFBu, 0xFCu, 0xFDu, 0xFEu, 0xFFu}) {
        Open(MakeImage(code, kBootMsDos6), {});
        EXPECT_EQ(doc.changeBlock, ChangeBlock::kNone) << std::hex << code;
        EXPECT_EQ(doc.GetLayout().fatBits, 12u);
        Close(doc);
    }
}

TEST_F(WriteSafety, AGuessedLayoutRefusesExtractionAndCreatesNoFile) {
    Bytes image = MakeImage(0xF9);
    Put16(image, kBpbBytesPerSector, 1024);
    std::memcpy(image.data() + 3584, "NOTES   TXT", 11);
    Open(image, {{kMsgNotValidImage, {}}, {kMsgGuessedLayoutReadOnly, {}}});
    script.Message(kMsgExtractionRefused, kIconError);
    const std::string out = dir.Path("NOTES.TXT");
    EXPECT_TRUE(Shown(ExtractEntry(doc, 3584, kReplaceAsk, out)).Failed());
    EXPECT_FALSE(FileExists(out));
}

// Every change a user can ask for, on a document that refuses them.
struct ChangeCase {
    const char* name;
    std::function<bool(ImageDocument&, const std::string& scratch)> change;
};

// What a front end does with a change's result: shows it; true when the
// change was made or would let a batch go on.
bool ShownChange(const Result& result) {
    Report(result);
    return result.Done() || !result.changes.Empty();
}

std::vector<ChangeCase> Changes() {
    return {
        {"add", [](ImageDocument& d, const std::string& s) {
             WriteFile(s, Bytes(100, 'x'));
             const Result added = AddHostFile(d, s, FileSystemOptions());
             return ShownChange(added) || added.goOn;  // a refusal also stops a batch
         }},
        {"delete", [](ImageDocument& d, const std::string&) {
             FileSystemOptions force;
             force.forceSwitch = true;
             const bool deleted = ShownChange(DeleteEntries(d, {ListedEntries(d)[0]}, force));
             return deleted || ListedEntries(d).size() != 1;
         }},
        {"rename", [](ImageDocument& d, const std::string&) {
             const std::string text = "OTHER.BIN";
             return ShownChange(RenameEntry(d, ListedEntries(d)[0], &text, FileSystemOptions()));
         }},
        {"label", [](ImageDocument& d, const std::string&) {
             return ShownChange(ApplyVolumeLabel(d, ReadVolumeFigures(d), "NEWLABEL"));
         }},
        {"attributes", [](ImageDocument& d, const std::string&) {
             return ShownChange(ApplyFileAttributes(d, ListedEntries(d)[0], kAttrReadOnly | kAttrHidden));
         }},
        {"save", [](ImageDocument& d, const std::string&) { return Shown(SaveImage(d), test::TestOwner()); }},
        {"save as", [](ImageDocument& d, const std::string& s) {
             return Shown(SaveImageAsPath(d, s + ".dsk"), TestOwner()) || FileExists(s + ".dsk");
         }},
    };
}

TEST_F(WriteSafety, EveryChangeIsRefusedAndTheFileKeepsItsBytes) {
    for (const ChangeCase& c : Changes()) {
        SCOPED_TRACE(c.name);
        script.Reset();
        window.Reset();
        Open(Fat32Image(), {{kMsgFat32ReadOnly, {}}});
        const Bytes before = ImageBytes(doc);
        script.Message(kMsgChangeRefused, kIconError);
        EXPECT_FALSE(c.change(doc, dir.Path("scratch")));
        EXPECT_EQ(script.Pending(), 0u);
        EXPECT_FALSE(doc.modified);
        EXPECT_TRUE(ImageBytes(doc) == before) << "the memory copy is unchanged";
        ASSERT_TRUE(Close(doc));
        EXPECT_TRUE(ReadFile(path) == bytes) << "the file is unchanged";
        EXPECT_FALSE(FileExists(dir.Path("disk.der")));
    }
}

TEST_F(WriteSafety, FatsBeyondTheFileRefuseChanges) {
    Bytes image = MakeImage(0xF9);
    image.resize(2000);  // inside the second FAT
    Open(image, {{kMsgLayoutOutsideReadOnly, {}}});
    script.Message(kMsgChangeRefused, kIconError);
    EXPECT_FALSE(test::Shown(SaveImage(doc)));
    EXPECT_EQ(ReadFile(path), bytes);
}

TEST_F(WriteSafety, CloseClearsTheRefusal) {
    Open(Fat32Image(), {{kMsgFat32ReadOnly, {}}});
    ASSERT_TRUE(Close(doc));
    EXPECT_EQ(doc.changeBlock, ChangeBlock::kNone);
}

}  // namespace
}  // namespace vk::test
