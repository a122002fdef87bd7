// Hand-made damaged images, each named after its fault: every one is opened
// with the right warnings, or refused with the right message, and none makes
// the engine read or write outside its buffer (the sanitizers watch).
#include <gtest/gtest.h>

#include <functional>

#include "engine/core/boot_sector.h"
#include "tests/support/box_flags.h"
#include "engine/strings/string_ids.h"
#include "tests/support/image_builder.h"
#include "tests/support/test_files.h"

namespace vk::test {
namespace {

struct Expected {
    unsigned id;
    unsigned flags;
};

struct CorruptCase {
    const char* name;
    std::function<Bytes()> build;
    std::vector<Expected> messages;
    bool opens;
};

Bytes With(Bytes image, std::function<void(Bytes&)> damage) {
    damage(image);
    return image;
}

Bytes Msx720() { return MakeImage(0xF9); }

// A root directory entry of the given name and size, in slot `slot`.
void PutEntry(Bytes& image, uint32_t slot, const char* name11, uint16_t cluster, uint32_t size) {
    const Layout l = ComputeLayout(FormatRow(0xF9));
    uint8_t* e = image.data() + l.rootStart + slot * kDirEntrySize;
    std::copy(name11, name11 + 11, e);
    e[11] = 0x20;
    e[26] = static_cast<uint8_t>(cluster);
    e[27] = static_cast<uint8_t>(cluster >> 8);
    for (int i = 0; i < 4; ++i) e[28 + i] = static_cast<uint8_t>(size >> (8 * i));
}

const Expected kFormatByte{kMsgFormatByteUsed, kIconWarning};
const Expected kNotValid{kMsgNotValidImage, kIconWarning};
const Expected kTooSmall{kMsgFileTooSmall, kIconError};
const Expected kGuessed{kMsgGuessedLayoutReadOnly, kIconWarning};
const Expected kOutside{kMsgLayoutOutsideReadOnly, kIconWarning};
const Expected kNoSectorsPerFat{kMsgLayoutNoSectorsPerFat, kIconWarning};
const Expected kNoFats{kMsgLayoutNoFats, kIconWarning};
const Expected kNoTotalSectors{kMsgLayoutNoTotalSectors, kIconWarning};
const Expected kNoReservedSectors{kMsgLayoutNoReservedSectors, kIconWarning};

std::vector<CorruptCase> Cases() {
    return {
        {"zero sectors per cluster, usable media byte",
         [] { return With(Msx720(), [](Bytes& b) { b[0x0D] = 0; }); }, {kFormatByte}, true},
        {"zero sectors per cluster, no usable format byte",
         [] { return With(Msx720(), [](Bytes& b) { b[0x0D] = 0; b[0x15] = 0x12; b[512] = 0x34; }); },
         {kNotValid, kGuessed}, true},
        {"zero heads", [] { return With(Msx720(), [](Bytes& b) { Put16(b, 0x1A, 0); }); }, {}, true},
        {"zero sectors per track", [] { return With(Msx720(), [](Bytes& b) { Put16(b, 0x18, 0); }); }, {}, true},
        {"255 FATs", [] { return With(Msx720(), [](Bytes& b) { b[0x10] = 255; }); }, {}, true},
        {"255 FATs of 65535 sectors",
         [] { return With(Msx720(), [](Bytes& b) { b[0x10] = 255; Put16(b, 0x16, 0xFFFF); }); }, {kOutside}, true},
        {"zero sectors per FAT", [] { return With(Msx720(), [](Bytes& b) { Put16(b, 0x16, 0); }); },
         {kNoSectorsPerFat}, true},
        {"zero FATs", [] { return With(Msx720(), [](Bytes& b) { b[0x10] = 0; }); }, {kNoFats}, true},
        {"total sectors smaller than the FAT area",
         [] { return With(Msx720(), [](Bytes& b) { Put16(b, 0x13, 5); }); }, {}, true},
        {"total sectors zero", [] { return With(Msx720(), [](Bytes& b) { Put16(b, 0x13, 0); }); },
         {kNoTotalSectors}, true},
        {"file cut inside the first FAT", [] { Bytes b = Msx720(); b.resize(600); return b; }, {kOutside}, true},
        {"file cut inside the root directory",
         [] {
             Bytes b = Msx720();
             for (uint32_t i = 0; i < 20; ++i) PutEntry(b, i, "FILE    TXT", 0, 0);
             b.resize(3584 + 5 * 32 + 7);
             return b;
         },
         {kOutside}, true},
        {"root directory of 65535 entries",
         [] {
             Bytes b = Msx720();
             Put16(b, 0x11, 0xFFFF);
             for (uint32_t i = 0; i < 112; ++i) PutEntry(b, i, "FILE    TXT", 0, 0);
             std::fill(b.begin() + 3584, b.end(), 0x41);  // no never-used entry anywhere
             return b;
         },
         {kOutside}, true},
        {"root directory of no entries", [] { return With(Msx720(), [](Bytes& b) { Put16(b, 0x11, 0); }); }, {}, true},
        {"root entries not a multiple of 16", [] { return With(Msx720(), [](Bytes& b) { Put16(b, 0x11, 17); }); },
         {}, true},
        {"reserved sectors zero", [] { return With(Msx720(), [](Bytes& b) { Put16(b, 0x0E, 0); }); },
         {kNoReservedSectors}, true},
        {"reserved sectors beyond the image",
         [] { return With(Msx720(), [](Bytes& b) { Put16(b, 0x0E, 0xFFFF); }); }, {kOutside}, true},
        {"sector size 1024", [] { return With(Msx720(), [](Bytes& b) { Put16(b, 0x0B, 1024); }); },
         {kNotValid, kGuessed}, true},
        {"boot sector all FF", [] { return With(Msx720(), [](Bytes& b) { std::fill(b.begin(), b.begin() + 512, 0xFF); }); },
         {kNotValid, kGuessed}, true},
        {"hard disk with partition table",
         [] {
             Bytes b(4096, 0);
             PutBootSignature(b.data());
             return b;
         },
         {{kMsgHardDiskNoPartition, kIconWarning}, kGuessed}, true},
        {"hard disk boot sector with F0 media byte",
         [] {
             Bytes b(4096, 0);
             b[0x15] = 0xF0;
             PutBootSignature(b.data());
             return b;
         },
         {kFormatByte, {kMsgHardDiskImage, kIconWarning}, kGuessed}, true},
        {"entries with clusters far beyond the disk",
         [] {
             Bytes b = Msx720();
             PutEntry(b, 0, "BIG     BIN", 0xFFF, 0xFFFFFFFF);
             PutEntry(b, 1, "ODD     BIN", 4000, 12345);
             return b;
         },
         {}, true},
        {"empty file", [] { return Bytes(); }, {kTooSmall}, false},
        {"511 bytes", [] { return Bytes(511, 0xF9); }, {kTooSmall}, false},
        {"comment without terminator",
         [] {
             Bytes b = CommentHeader("x");
             b.pop_back();
             b.resize(2000, 'c');
             return b;
         },
         {kTooSmall}, false},
        {"comment header only", [] { return CommentHeader("only a comment"); }, {kTooSmall}, false},
        {"comment header of a compressed image",
         [] {
             Bytes b = CommentHeader("packed", 0x1234);
             const Bytes image = Msx720();
             b.insert(b.end(), image.begin(), image.end());
             return b;
         },
         {{kMsgImageCompressed, kIconError}}, false},
        {"comment header with a truncated image behind it",
         [] {
             Bytes b = CommentHeader("short", 0, 'Y');
             b.resize(b.size() + 600, 0);
             return b;
         },
         {kNotValid, kGuessed}, true},
    };
}

class CorruptImages : public EngineTest {};

TEST_F(CorruptImages, OpenedWithWarningsOrRefused) {
    const std::vector<CorruptCase> cases = Cases();
    ASSERT_GE(cases.size(), 20u);
    for (const CorruptCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes bytes = c.build();
        const std::string path = dir.Path("corrupt.dsk");
        WriteFile(path, bytes);
        if (bytes.size() >= 2 && bytes[0] == 0xAA && (bytes[1] == 'Y' || bytes[1] == 'Z') && c.opens) {
            const auto end = std::find(bytes.begin() + 40, bytes.end(), 0);
            script.TextBox(std::string(bytes.begin() + 40, end));
        }
        for (const Expected& e : c.messages) {
            script.Message(e.id, e.flags);
        }
        EXPECT_EQ(Open(doc, TestOwner(), path), c.opens);
        EXPECT_EQ(doc.IsOpen(), c.opens);
        EXPECT_EQ(script.Pending(), 0u);
        if (!c.opens) {
            continue;
        }
        EXPECT_GE(doc.geometry.fatCount, 1u);
        EXPECT_GE(doc.geometry.sectorsPerCluster, 1u);
        // Saving what was opened writes back exactly the bytes that were read;
        // an image kept read-only refuses it and keeps them too.
        doc.modified = false;
        const bool refused = doc.changeBlock != ChangeBlock::kNone;
        if (refused) {
            script.Message(kMsgChangeRefused, kIconError);
        }
        EXPECT_EQ(test::Shown(SaveImage(doc)), !refused);
        EXPECT_EQ(script.Pending(), 0u);
        EXPECT_EQ(ReadFile(path), bytes);
        ASSERT_TRUE(Close(doc));
        script.Reset();
    }
}

}  // namespace
}  // namespace vk::test
