#include "engine/core/dmk.h"

#include <algorithm>
#include <cstring>

#include "engine/common/bytes.h"

namespace vk {
namespace {

// How well one ID and its data field read, best first; a sector no ID
// names is kMissing.
enum Read : uint8_t { kGood, kBadData, kNoData, kBadId, kNone };

DmkFault FaultOf(uint8_t read) {
    switch (read) {
    case kBadData:
        return DmkFault::kDataCrc;
    case kNoData:
        return DmkFault::kNoDataMark;
    case kBadId:
        return DmkFault::kIdCrc;
    default:
        return DmkFault::kMissing;
    }
}

// One ID found on a track, with where its data lies on the track.
struct Found {
    uint32_t cylinder;
    uint32_t head;
    uint32_t record;
    uint8_t read;
    uint32_t data;  // the first data byte; meaningful for kGood only
    uint32_t step;
};

// One track's bytes, each field byte read `step` bytes apart (2 for FM
// stored twice); nothing is read past the track's end.
struct Track {
    const uint8_t* bytes;
    uint32_t length;

    bool Has(uint32_t pos, uint32_t count, uint32_t step) const {
        return count == 0 || (pos < length && (length - pos - 1) / step >= count - 1);
    }
    // The field's `count` bytes gathered into `out`; false when they run past the end.
    bool Gather(uint32_t pos, uint32_t count, uint32_t step, uint8_t* out) const {
        if (!Has(pos, count, step)) return false;
        for (uint32_t i = 0; i < count; ++i) out[i] = bytes[pos + i * step];
        return true;
    }
};

// Field CRCs are stored high byte first.
uint16_t LoadCrc(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

uint16_t SyncCrc() {
    const uint8_t sync[3] = {kMfmSync, kMfmSync, kMfmSync};
    return FieldCrc(kFieldCrcStart, sync, sizeof sync);
}

// The data field after the ID field ending at `idEnd`: its first byte's
// position, or false when no data mark lies within the controller's window.
bool FindDataMark(const Track& track, uint32_t idEnd, uint32_t step, bool mfm, uint32_t& mark) {
    const uint32_t window = mfm ? kMfmDataMarkWindow : kFmDataMarkWindow;
    for (uint32_t i = 0; i <= window; ++i) {
        const uint32_t pos = idEnd + i * step;
        if (!track.Has(pos, 1, step)) return false;
        const uint8_t b = track.bytes[pos];
        if (b < kDataMarkFirst || b > kDataMarkLast) continue;
        if (mfm) {
            uint8_t sync[3];
            if (pos < 3 || !track.Gather(pos - 3, 3, 1, sync) || sync[0] != kMfmSync || sync[1] != kMfmSync ||
                sync[2] != kMfmSync) {
                continue;
            }
        }
        mark = pos;
        return true;
    }
    return false;
}

// Reads the ID at `pos` and its data field; false when `pos` holds no ID mark.
bool ReadSector(const Track& track, uint32_t pos, bool mfm, uint32_t step, Found& found, uint8_t* field,
                uint32_t& sizeCode) {
    uint8_t id[kIdFieldLength];
    if (!track.Gather(pos, kIdFieldLength, step, id) || id[0] != kIdAddressMark) return false;
    found.cylinder = id[1];
    found.head = id[2];
    found.record = id[3];
    sizeCode = id[4];
    found.step = step;
    const uint16_t start = mfm ? SyncCrc() : kFieldCrcStart;
    constexpr uint32_t kCovered = kIdFieldLength - 2;  // the mark and C, H, R, N
    if (FieldCrc(start, id, kCovered) != LoadCrc(id + kCovered)) {
        found.read = kBadId;
        return true;
    }
    uint32_t mark = 0;
    // Only a 512-byte sector's data is looked for; others are not the disk's.
    if (sizeCode != kDmkSectorSizeCode || !FindDataMark(track, pos + kIdFieldLength * step, step, mfm, mark) ||
        !track.Gather(mark, 1 + kDmkSectorSize + 2, step, field)) {
        found.read = kNoData;
        return true;
    }
    found.data = mark + step;
    found.read = FieldCrc(start, field, 1 + kDmkSectorSize) == LoadCrc(field + 1 + kDmkSectorSize) ? kGood : kBadData;
    return true;
}

// The header's layout of the tracks.
struct Tracks {
    const uint8_t* first;
    uint32_t length;
    uint32_t sides;
    size_t count;          // whole cylinders the file holds, in tracks
    bool fmStoredTwice;
    uint32_t mostRecords;  // no track holds more 512-byte sectors than it has bytes for

    Track At(size_t t) const { return Track{first + t * length, length}; }
};

// Calls `take` with every ID on track `t` that may be one of the disk's
// sectors: sound and naming this cylinder and 512 bytes, or unsound; with
// a record a track can hold.
template <typename Take>
void ScanTrack(const Tracks& tracks, size_t t, Take take) {
    const Track track = tracks.At(t);
    const uint32_t cylinder = static_cast<uint32_t>(t / tracks.sides);
    uint8_t field[1 + kDmkSectorSize + 2];
    for (uint32_t i = 0; i < kDmkIdamCount; ++i) {
        const uint16_t pointer = Load16(track.bytes + 2 * i);
        if (pointer == 0) break;
        const uint32_t pos = pointer & kDmkIdamOffsetMask;
        const bool mfm = (pointer & kDmkIdamDoubleDensity) != 0;
        if (pos < kDmkIdamTableSize) continue;
        Found f{};
        uint32_t sizeCode = 0;
        if (!ReadSector(track, pos, mfm, mfm || !tracks.fmStoredTwice ? 1 : 2, f, field, sizeCode)) continue;
        if (f.read != kBadId && (f.cylinder != cylinder || sizeCode != kDmkSectorSizeCode)) continue;
        if (f.record < 1 || f.record > tracks.mostRecords) continue;
        f.cylinder = cylinder;
        f.head = static_cast<uint32_t>(t % tracks.sides);
        take(f);
    }
}

}  // namespace

uint16_t FieldCrc(uint16_t crc, const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        crc = static_cast<uint16_t>(crc ^ (bytes[i] << 8));
        for (int bit = 0; bit < 8; ++bit) {
            crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
        }
    }
    return crc;
}

bool LooksLikeDmk(const uint8_t* bytes, size_t size) {
    if (size < kDmkHeaderSize) return false;
    const uint8_t protect = bytes[kDmkWriteProtect];
    const uint32_t trackLength = Load16(bytes + kDmkTrackLength);
    return (protect == 0x00 || protect == 0xFF) && Load32(bytes + kDmkRealDisk) == 0 && bytes[kDmkTrackCount] != 0 &&
           trackLength > kDmkIdamTableSize && trackLength <= kDmkMaxTrackLength &&
           size - kDmkHeaderSize >= trackLength;
}

DmkResult DecodeDmk(const uint8_t* bytes, size_t size) {
    DmkResult result;
    if (!LooksLikeDmk(bytes, size)) return result;
    const uint8_t options = bytes[kDmkOptions];
    Tracks tracks{};
    tracks.first = bytes + kDmkHeaderSize;
    tracks.length = Load16(bytes + kDmkTrackLength);
    tracks.sides = (options & kDmkSingleSided) ? 1 : 2;
    tracks.fmStoredTwice = (options & (kDmkSingleDensity | kDmkIgnoreDensity)) == 0;
    tracks.mostRecords = (tracks.length - kDmkIdamTableSize) / kDmkSectorSize;
    const size_t wanted = size_t{bytes[kDmkTrackCount]} * tracks.sides;
    tracks.count = std::min(wanted, (size - kDmkHeaderSize) / tracks.length);
    result.truncated = tracks.count < wanted;
    // Whole cylinders only, so that the image stays within the size of the input.
    tracks.count -= tracks.count % tracks.sides;

    // First the geometry; nothing is kept of the IDs but what decides it.
    std::vector<uint32_t> highest(tracks.mostRecords + 1, 0);  // tracks by their highest sound record
    uint32_t lastCylinder = 0;
    bool anySector = false;
    bool secondSide = false;
    for (size_t t = 0; t < tracks.count; ++t) {
        uint32_t top = 0;
        ScanTrack(tracks, t, [&](const Found& f) {
            if (f.read == kBadId) return;
            top = std::max(top, f.record);
            anySector = true;
            lastCylinder = std::max(lastCylinder, f.cylinder);
            secondSide = secondSide || f.head == 1;
        });
        if (top != 0) ++highest[top];
    }
    if (!anySector) {
        result.status = DmkStatus::kNoSectors;
        return result;
    }
    // The most common highest record; a track that lost its last sector does not decide.
    uint32_t records = 1;
    for (uint32_t r = 1; r <= tracks.mostRecords; ++r) {
        if (highest[r] >= highest[records]) records = r;
    }
    result.cylinders = lastCylinder + 1;
    result.heads = secondSide ? 2 : 1;
    result.sectorsPerTrack = records;
    const size_t sectors = size_t{result.cylinders} * result.heads * records;
    if (!result.image.Allocate(sectors * kDmkSectorSize)) {
        result.status = DmkStatus::kNoMemory;
        return result;
    }
    std::memset(result.image.data(), 0, result.image.size());

    // Then the sectors, each from the best read of the IDs naming it.
    std::vector<uint8_t> reads(sectors, kNone);
    for (size_t t = 0; t < tracks.count; ++t) {
        const Track track = tracks.At(t);
        ScanTrack(tracks, t, [&](const Found& f) {
            if (f.record > records || f.head >= result.heads || f.cylinder >= result.cylinders) return;
            const size_t s = (size_t{f.cylinder} * result.heads + f.head) * records + (f.record - 1);
            if (f.read >= reads[s]) return;
            reads[s] = f.read;
            if (f.read != kGood) return;
            uint8_t* out = result.image.data() + s * kDmkSectorSize;
            for (uint32_t i = 0; i < kDmkSectorSize; ++i) out[i] = track.bytes[f.data + i * f.step];
        });
    }
    const uint32_t perCylinder = result.heads * records;
    for (size_t s = 0; s < sectors; ++s) {
        if (reads[s] == kGood) continue;
        result.badSectors.push_back(DmkBadSector{static_cast<uint32_t>(s), static_cast<uint32_t>(s / perCylinder),
                                                 static_cast<uint32_t>(s / records % result.heads),
                                                 static_cast<uint32_t>(s % records + 1), FaultOf(reads[s])});
    }
    result.status = DmkStatus::kOk;
    return result;
}

}  // namespace vk
