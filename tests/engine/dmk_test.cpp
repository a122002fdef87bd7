// DMK track images built sector by sector: the decoder's geometry, its
// faults, pointer tables and headers that lie, and the document that opens
// one read-only and saves it as a plain image.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/dmk.h"
#include "engine/core/media_errors.h"
#include "engine/fat/ops/add_file.h"
#include "engine/strings/string_ids.h"
#include "tests/support/box_flags.h"
#include "tests/support/front_end.h"
#include "tests/support/image_builder.h"
#include "tests/support/test_files.h"

namespace vk::test {
namespace {

constexpr uint16_t kLength = 0x1900;  // nine MFM sectors of 512 bytes fit

struct Sector {
    uint8_t c, h, r;
    uint8_t fill;
    bool badId = false;
    bool badData = false;
    bool noData = false;
    uint8_t n = kDmkSectorSizeCode;
    const uint8_t* data = nullptr;  // 512 bytes, else `fill`
};

// A DMK file written track by track as a formatter lays the fields out.
class DmkFile {
public:
    DmkFile(uint8_t tracksPerSide, uint8_t options = kDmkSingleSided, uint16_t length = kLength)
        : sides_(options & kDmkSingleSided ? 1 : 2), length_(length), options_(options) {
        bytes.assign(kDmkHeaderSize + size_t{tracksPerSide} * sides_ * length, 0x4E);
        std::memset(bytes.data(), 0, kDmkHeaderSize);
        bytes[kDmkTrackCount] = tracksPerSide;
        Store16(bytes.data() + kDmkTrackLength, length);
        bytes[kDmkOptions] = options;
        for (size_t t = 0; t < size_t{tracksPerSide} * sides_; ++t) {
            std::memset(Track(t), 0, kDmkIdamTableSize);
            cursor_.push_back(kDmkIdamTableSize + 40);
            pointers_.push_back(0);
        }
    }
    void Add(size_t track, const Sector& s, bool mfm = true) {
        const uint32_t step = !mfm && (options_ & (kDmkSingleDensity | kDmkIgnoreDensity)) == 0 ? 2 : 1;
        const std::vector<uint8_t> sync = mfm ? std::vector<uint8_t>(3, kMfmSync) : std::vector<uint8_t>();
        Put(track, std::vector<uint8_t>(12, 0), step);
        Put(track, sync, step);
        SetPointer(track, pointers_[track]++, static_cast<uint16_t>(cursor_[track] | (mfm ? kDmkIdamDoubleDensity : 0)));
        std::vector<uint8_t> id = {kIdAddressMark, s.c, s.h, s.r, s.n};
        Field(track, sync, id, s.badId, step);
        // The gap before the data mark, as a formatter writes it in MFM and in FM.
        Put(track, std::vector<uint8_t>(mfm ? 22 : 11, mfm ? 0x4E : 0xFF), step);
        if (!s.noData) {
            Put(track, std::vector<uint8_t>(mfm ? 12 : 6, 0), step);
            Put(track, sync, step);
            std::vector<uint8_t> data(1 + kDmkSectorSize, s.fill);
            data[0] = kDataMarkLast;
            if (s.data != nullptr) std::memcpy(data.data() + 1, s.data, kDmkSectorSize);
            Field(track, sync, data, s.badData, step);
        }
        Put(track, std::vector<uint8_t>(30, 0x4E), step);
    }
    void SetPointer(size_t track, uint32_t index, uint16_t value) { Store16(Track(track) + 2 * index, value); }
    uint8_t* Track(size_t t) { return bytes.data() + kDmkHeaderSize + t * length_; }

    Bytes bytes;

private:
    void Put(size_t track, const std::vector<uint8_t>& field, uint32_t step) {
        for (uint8_t b : field) {
            for (uint32_t i = 0; i < step; ++i) Track(track)[cursor_[track]++] = b;
        }
        if (cursor_[track] > length_) ADD_FAILURE() << "track " << track << " overflows";
    }
    void Field(size_t track, const std::vector<uint8_t>& sync, std::vector<uint8_t> field, bool spoil, uint32_t step) {
        std::vector<uint8_t> covered = sync;
        covered.insert(covered.end(), field.begin(), field.end());
        const uint16_t crc = static_cast<uint16_t>(FieldCrc(kFieldCrcStart, covered.data(), covered.size()) ^ (spoil ? 1 : 0));
        field.push_back(static_cast<uint8_t>(crc >> 8));
        field.push_back(static_cast<uint8_t>(crc));
        Put(track, field, step);
    }
    uint32_t sides_;
    uint32_t length_;
    uint8_t options_;
    std::vector<uint32_t> cursor_;
    std::vector<uint32_t> pointers_;
};

Bytes Decoded(const DmkResult& r) { return Bytes(r.image.data(), r.image.data() + r.image.size()); }

// An image whose sector s is filled with the byte fills[s].
Bytes Filled(const std::vector<uint8_t>& fills) {
    Bytes image;
    for (uint8_t f : fills) image.insert(image.end(), kDmkSectorSize, f);
    return image;
}

TEST(DmkCrc, IsTheControllersCcittSum) {
    // The published check value of CRC-16/CCITT-FALSE, and the sum after the
    // three MFM sync bytes that every controller starts an MFM field from.
    const uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(FieldCrc(kFieldCrcStart, check, sizeof check), 0x29B1);
    const uint8_t sync[] = {kMfmSync, kMfmSync, kMfmSync};
    EXPECT_EQ(FieldCrc(kFieldCrcStart, sync, sizeof sync), 0xCDB4);
}

TEST(LooksLikeDmk, TellsTrackImagesFromOtherFiles) {
    const Bytes dmk = DmkFile(1).bytes;
    const struct {
        const char* name;
        size_t offset;  // a byte changed, or none past the end
        uint8_t value;
        size_t keep;    // bytes kept
        bool dmk;
    } cases[] = {
        {"a DMK", dmk.size(), 0, dmk.size(), true},
        {"write-protected", kDmkWriteProtect, 0xFF, dmk.size(), true},
        {"another write-protect byte", kDmkWriteProtect, 0x12, dmk.size(), false},
        {"a real drive's mark", kDmkRealDisk, 0x78, dmk.size(), false},
        {"no tracks", kDmkTrackCount, 0, dmk.size(), false},
        {"a track of the table alone", kDmkTrackLength + 1, 0, dmk.size(), false},
        {"shorter than one track", dmk.size(), 0, dmk.size() - 1, false},
        {"shorter than the header", dmk.size(), 0, kDmkHeaderSize - 1, false},
    };
    for (const auto& c : cases) {
        Bytes b(dmk.begin(), dmk.begin() + static_cast<long>(c.keep));
        if (c.offset < b.size()) b[c.offset] = c.value;
        if (c.offset == kDmkTrackLength + 1) Store16(b.data() + kDmkTrackLength, kDmkIdamTableSize);
        EXPECT_EQ(LooksLikeDmk(b.data(), b.size()), c.dmk) << c.name;
    }
    Bytes longTrack = dmk;
    Store16(longTrack.data() + kDmkTrackLength, 0);  // 0x10000 would pass a 16-bit check
    longTrack[kDmkTrackLength + 1] = 0x40;
    longTrack[kDmkTrackLength] = 0x01;  // 0x4001: past what a pointer can address
    longTrack.resize(kDmkHeaderSize + 0x4001);
    EXPECT_FALSE(LooksLikeDmk(longTrack.data(), longTrack.size()));
    const Bytes plain = MakeImage(0xF9);
    EXPECT_FALSE(LooksLikeDmk(plain.data(), plain.size())) << "a boot sector";
}

TEST(DecodeDmk, SectorsComeInCylinderHeadRecordOrder) {
    DmkFile f(2, 0);  // two cylinders, two sides
    std::vector<uint8_t> fills;
    for (uint8_t t = 0; t < 4; ++t) {
        for (uint8_t r : {3, 1, 2}) f.Add(t, {static_cast<uint8_t>(t / 2), static_cast<uint8_t>(t % 2), r, uint8_t(10 * t + r)});
        for (uint8_t r = 1; r <= 3; ++r) fills.push_back(uint8_t(10 * t + r));
    }
    const DmkResult r = DecodeDmk(f.bytes.data(), f.bytes.size());
    ASSERT_EQ(r.status, DmkStatus::kOk);
    EXPECT_EQ(r.cylinders, 2u);
    EXPECT_EQ(r.heads, 2u);
    EXPECT_EQ(r.sectorsPerTrack, 3u);
    EXPECT_TRUE(r.badSectors.empty());
    EXPECT_EQ(Decoded(r), Filled(fills));
}

TEST(DecodeDmk, FmBytesAreStoredTwiceUnlessTheHeaderSaysOnce) {
    for (uint8_t options : {uint8_t(kDmkSingleSided), uint8_t(kDmkSingleSided | kDmkIgnoreDensity)}) {
        DmkFile f(1, options);
        f.Add(0, {0, 0, 1, 0x11}, false);
        f.Add(0, {0, 0, 2, 0x22}, false);
        const DmkResult r = DecodeDmk(f.bytes.data(), f.bytes.size());
        ASSERT_EQ(r.status, DmkStatus::kOk) << int(options);
        EXPECT_TRUE(r.badSectors.empty()) << int(options);
        EXPECT_EQ(Decoded(r), Filled({0x11, 0x22})) << int(options);
    }
}

TEST(DecodeDmk, EachFaultIsListedAndReadsAsZeros) {
    DmkFile f(2);
    f.Add(0, {0, 0, 1, 0x01});
    f.Add(0, {0, 0, 2, 0x02, true});
    f.Add(0, {0, 0, 3, 0x03, false, false, true});
    f.Add(0, {0, 0, 4, 0x04, false, true});
    f.Add(0, {0, 0, 5, 0x05});
    f.Add(0, {5, 0, 6, 0x06});  // another cylinder's ID: record 6 is missing here
    for (uint8_t s = 1; s <= 6; ++s) f.Add(1, {1, 0, s, uint8_t(0x10 + s)});
    const DmkResult r = DecodeDmk(f.bytes.data(), f.bytes.size());
    ASSERT_EQ(r.status, DmkStatus::kOk);
    EXPECT_EQ(r.sectorsPerTrack, 6u) << "the highest record most tracks hold";
    ASSERT_EQ(r.badSectors.size(), 4u);
    const std::pair<uint32_t, DmkFault> want[] = {
        {1, DmkFault::kIdCrc}, {2, DmkFault::kNoDataMark}, {3, DmkFault::kDataCrc}, {5, DmkFault::kMissing}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(r.badSectors[i].sector, want[i].first);
        EXPECT_EQ(r.badSectors[i].record, want[i].first + 1);
        EXPECT_EQ(r.badSectors[i].fault, want[i].second) << i;
    }
    EXPECT_EQ(Decoded(r), Filled({1, 0, 0, 0, 5, 0, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16}));
}

TEST(DecodeDmk, TheBetterOfTwoReadsCounts) {
    DmkFile f(1);
    f.Add(0, {0, 0, 1, 0xAA, false, true});
    f.Add(0, {0, 0, 1, 0xBB});
    const DmkResult r = DecodeDmk(f.bytes.data(), f.bytes.size());
    ASSERT_EQ(r.status, DmkStatus::kOk);
    EXPECT_TRUE(r.badSectors.empty());
    EXPECT_EQ(Decoded(r), Filled({0xBB}));
}

TEST(DecodeDmk, PointersAnywhereReadNothingOutsideTheTrack) {
    DmkFile f(1);
    f.Add(0, {0, 0, 1, 0x01});
    // A sound ID of record 2 whose data would run past the track's end.
    uint8_t* track = f.Track(0);
    const uint32_t late = kLength - 12;
    const uint8_t id[] = {kMfmSync, kMfmSync, kMfmSync, kIdAddressMark, 0, 0, 2, 2};
    std::memcpy(track + late - 3, id, sizeof id);
    const uint16_t crc = FieldCrc(kFieldCrcStart, id, sizeof id);
    track[late + 5] = static_cast<uint8_t>(crc >> 8);
    track[late + 6] = static_cast<uint8_t>(crc);
    const uint16_t pointers[] = {static_cast<uint16_t>(late | kDmkIdamDoubleDensity),
                                 0x0010 | kDmkIdamDoubleDensity,            // inside the table
                                 0xFFFF,                                    // past the track
                                 static_cast<uint16_t>((kLength - 1) | kDmkIdamDoubleDensity),  // the last byte
                                 static_cast<uint16_t>(kLength - 3),        // an FM ID stored twice, cut off
                                 static_cast<uint16_t>(200 | kDmkIdamDoubleDensity)};  // no ID mark there
    for (uint32_t i = 0; i < 6; ++i) f.SetPointer(0, i + 1, pointers[i]);
    f.Track(0)[kLength - 3] = kIdAddressMark;
    const DmkResult r = DecodeDmk(f.bytes.data(), f.bytes.size());
    ASSERT_EQ(r.status, DmkStatus::kOk);
    EXPECT_EQ(r.sectorsPerTrack, 2u);
    ASSERT_EQ(r.badSectors.size(), 1u);
    EXPECT_EQ(r.badSectors[0].fault, DmkFault::kNoDataMark);
}

TEST(DecodeDmk, AHeaderThatLiesKeepsTheImageWithinTheFile) {
    DmkFile f(2, 0);
    for (uint8_t t = 0; t < 4; ++t) f.Add(t, {static_cast<uint8_t>(t / 2), static_cast<uint8_t>(t % 2), 1, t});
    f.bytes[kDmkTrackCount] = 200;
    f.bytes.resize(kDmkHeaderSize + 3 * kLength + 100);  // inside the second cylinder's second side
    const DmkResult r = DecodeDmk(f.bytes.data(), f.bytes.size());
    ASSERT_EQ(r.status, DmkStatus::kOk);
    EXPECT_TRUE(r.truncated);
    EXPECT_EQ(r.cylinders, 1u);
    EXPECT_EQ(Decoded(r), Filled({0, 1}));
}

TEST(DecodeDmk, AnEmptySecondSideIsNoSide) {
    DmkFile f(2, 0);
    f.Add(0, {0, 0, 1, 7});
    f.Add(2, {1, 0, 1, 8});
    const DmkResult r = DecodeDmk(f.bytes.data(), f.bytes.size());
    ASSERT_EQ(r.status, DmkStatus::kOk);
    EXPECT_EQ(r.heads, 1u);
    EXPECT_EQ(Decoded(r), Filled({7, 8}));
}

TEST(DecodeDmk, NoSoundIdIsNoDisk) {
    DmkFile f(1);
    f.Add(0, {0, 0, 1, 7, true});
    f.Add(0, {0, 0, 2, 7, false, false, false, 3});  // 1024 bytes: not an MSX or DOS sector
    EXPECT_EQ(DecodeDmk(f.bytes.data(), f.bytes.size()).status, DmkStatus::kNoSectors);
}

// A 720 KB disk as a DMK with sector 20 (cylinder 1, head 0, record 3) left out.
class DmkDocument : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        disk = MakeImage(0xF9);
        DmkFile f(80, 0);
        for (uint32_t s = 0; s < 1440; ++s) {
            const uint8_t c = uint8_t(s / 18), h = uint8_t(s / 9 % 2), r = uint8_t(s % 9 + 1);
            if (s == kLost) continue;
            Sector sector{c, h, r, 0};
            sector.data = disk.data() + size_t{s} * 512;
            f.Add(c * 2 + h, sector);
        }
        dmk = f.bytes;
        path = dir.Path("disk.dmk");
        WriteFile(path, dmk);
        std::memset(disk.data() + kLost * 512, 0, 512);
    }
    static constexpr uint32_t kLost = 20;
    Bytes disk;
    Bytes dmk;
    std::string path;
};

TEST_F(DmkDocument, OpensWithItsBadSectorRefusesChangesAndSavesAsAPlainImage) {
    script.Message(kMsgTrackImageReadOnly, kIconWarning).Message(kMsgTrackImageBadSectors, kIconWarning);
    ASSERT_TRUE(Open(doc, TestOwner(), path));
    EXPECT_EQ(script.Shown().back().inserts, std::vector<std::string>{"1"});
    EXPECT_EQ(doc.changeBlock, ChangeBlock::kTrackImage);
    EXPECT_TRUE(IsSectorMarked(doc.errorList, kLost));
    EXPECT_FALSE(IsSectorMarked(doc.errorList, kLost + 1));

    const std::string host = dir.Path("new.txt");
    WriteFile(host, Bytes(100, 'x'));
    script.Message(kMsgTrackImageChangeRefused, kIconError);
    EXPECT_FALSE(Shown(AddHostFile(doc, host, options)).Done());
    script.Message(kMsgTrackImageChangeRefused, kIconError);
    EXPECT_FALSE(Shown(SaveImage(doc)).Done());

    ASSERT_TRUE(Shown(SaveImageToPath(doc, dir.Path("plain.dsk"))).Done());
    EXPECT_EQ(ReadFile(dir.Path("plain.dsk")), disk) << "the sectors as read, the lost one zero";
    const Bytes der = ReadFile(dir.Path("plain.der"));
    ASSERT_EQ(der.size(), kErrorListHeaderSize + 1440 / 8);
    EXPECT_EQ(der[kErrorListHeaderSize + kLost / 8], 0x80 >> (kLost % 8));
    EXPECT_EQ(doc.changeBlock, ChangeBlock::kNone) << "saved elsewhere it is a plain image";
    EXPECT_TRUE(Shown(AddHostFile(doc, host, options)).Done());
    EXPECT_TRUE(Shown(SaveImage(doc)).Done());
    EXPECT_EQ(ReadFile(path), dmk) << "the track image is never written";
    EXPECT_FALSE(FileExists(dir.Path("disk.der")));
}

}  // namespace
}  // namespace vk::test
