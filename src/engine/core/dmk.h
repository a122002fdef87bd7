// DMK track images: a 16-byte header, then every track as the controller
// saw it (side 0 and side 1 of each cylinder in turn), each track led by a
// table of pointers to its sector ID fields. Read here into a plain image of
// 512-byte sectors in cylinder, head, record order, with the sectors a disk
// read would fail on listed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/common/bytes.h"

namespace vk {

// The header.
constexpr size_t kDmkWriteProtect = 0;    // 0x00 writable, 0xFF protected
constexpr size_t kDmkTrackCount = 1;      // tracks per side
constexpr size_t kDmkTrackLength = 2;     // 16 bits: bytes of one track, its pointer table included
constexpr size_t kDmkOptions = 4;         // kDmkSingleSided ...
constexpr size_t kDmkRealDisk = 12;       // 32 bits: 0 in an image file, a mark for a real drive otherwise
constexpr size_t kDmkHeaderSize = 16;
constexpr uint8_t kDmkSingleSided = 0x10;
constexpr uint8_t kDmkSingleDensity = 0x40;  // the whole disk is FM, its bytes stored once
constexpr uint8_t kDmkIgnoreDensity = 0x80;  // FM bytes stored once

// The pointer table at the start of every track: 64 little-endian words,
// each the offset of an ID address mark (0xFE) from the track's start,
// table included; 0 ends the list.
constexpr uint32_t kDmkIdamCount = 64;
constexpr uint32_t kDmkIdamTableSize = 2 * kDmkIdamCount;
constexpr uint16_t kDmkIdamDoubleDensity = 0x8000;  // an MFM sector; clear: FM
constexpr uint16_t kDmkIdamOffsetMask = 0x3FFF;     // bit 14 carries nothing
constexpr uint32_t kDmkMaxTrackLength = kDmkIdamOffsetMask + 1;

// The fields on the track. An MFM field follows three 0xA1 sync bytes that
// its CRC covers; an FM field has none, and unless the header says
// otherwise each of its bytes is stored twice (its CRC counts each once).
constexpr uint8_t kIdAddressMark = 0xFE;      // then C, H, R, N and the CRC, high byte first
constexpr uint8_t kMfmSync = 0xA1;
constexpr uint8_t kDataMarkFirst = 0xF8;      // F8 (deleted) to FB (normal) carry data
constexpr uint8_t kDataMarkLast = 0xFB;
constexpr uint32_t kIdFieldLength = 7;        // mark, C, H, R, N, CRC
constexpr uint32_t kMfmDataMarkWindow = 43;   // bytes after the ID's CRC within which a controller
constexpr uint32_t kFmDataMarkWindow = 30;    // takes the data mark as this sector's
constexpr uint8_t kDmkSectorSizeCode = 2;     // N of a 512-byte sector
constexpr uint32_t kDmkSectorSize = 512;

// Whether the bytes start like a DMK image file: the write-protect byte,
// no real-drive mark, a track count and a track length a pointer table
// can address, and at least one whole track.
bool LooksLikeDmk(const uint8_t* bytes, size_t size);

enum class DmkStatus {
    kOk,
    kNotDmk,     // LooksLikeDmk says no
    kNoSectors,  // no track holds a 512-byte sector with a sound ID
    kNoMemory,   // the decoded image could not be had
};

// Why a sector of the decoded geometry could not be read.
enum class DmkFault : uint8_t {
    kMissing,     // no ID on its track names it
    kIdCrc,       // its ID field fails its CRC
    kNoDataMark,  // no data mark follows its ID, or the data runs past the track's end
    kDataCrc,     // its data field fails its CRC
};

struct DmkBadSector {
    uint32_t sector;  // counted from 0 in the decoded image
    uint32_t cylinder;
    uint32_t head;
    uint32_t record;  // counted from 1, as the ID counts it
    DmkFault fault;
};

struct DmkResult {
    DmkStatus status = DmkStatus::kNotDmk;
    ByteBlock image;  // cylinders * heads * sectorsPerTrack sectors; a bad sector is zero
    uint32_t cylinders = 0;
    uint32_t heads = 0;
    uint32_t sectorsPerTrack = 0;
    bool truncated = false;    // the file ends before the last track its header counts
    std::vector<DmkBadSector> badSectors;  // in sector order
};

// Decodes a DMK image. The geometry is the one the sound IDs give: records
// 1 up to the highest one most tracks hold, the second head only when some
// track on that side holds a sector, cylinders up to the last that holds
// one. A sector's ID must name the cylinder it lies on; its head is not
// compared. Of two IDs naming the same sector the better read counts.
// Only bytes inside the input are read, and the image is never larger than
// the input: a file cut short gives its whole cylinders.
DmkResult DecodeDmk(const uint8_t* bytes, size_t size);

// CRC-16 (polynomial 0x1021, high bit first) as the disk controller
// computes it over an ID or data field, carried on from `crc`.
uint16_t FieldCrc(uint16_t crc, const uint8_t* bytes, size_t count);
constexpr uint16_t kFieldCrcStart = 0xFFFF;

}  // namespace vk
