// The boot sector's BIOS parameter block, and the derivation of an open
// image's geometry from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/common/notice.h"

namespace vk {

// Offsets within the boot sector (all fields little-endian).
constexpr uint32_t kBsJump = 0x00;
constexpr uint32_t kBsOemName = 0x03;           // 8 bytes
constexpr uint32_t kBpbBytesPerSector = 0x0B;   // 16 bits
constexpr uint32_t kBpbSectorsPerCluster = 0x0D;  // 8 bits
constexpr uint32_t kBpbReservedSectors = 0x0E;  // 16 bits
constexpr uint32_t kBpbFatCount = 0x10;         // 8 bits
constexpr uint32_t kBpbRootEntries = 0x11;      // 16 bits
constexpr uint32_t kBpbTotalSectors = 0x13;     // 16 bits
constexpr uint32_t kBpbMediaByte = 0x15;        // 8 bits
constexpr uint32_t kBpbSectorsPerFat = 0x16;    // 16 bits
constexpr uint32_t kBpbSectorsPerTrack = 0x18;  // 16 bits
constexpr uint32_t kBpbHeads = 0x1A;            // 16 bits
constexpr uint32_t kBpbHiddenSectors = 0x1C;    // 16 bits (32 in the MS-DOS template)
constexpr uint32_t kBpbTotalSectors32 = 0x20;   // 32 bits, when the 16-bit count is 0
constexpr uint32_t kBpb32SectorsPerFat = 0x24;  // 32 bits, in a FAT32 boot sector only
constexpr uint32_t kBsExtendedSignature = 0x26; // 0x29 in a DOS 4 boot sector
constexpr uint8_t kExtendedBootSignature = 0x29;
constexpr uint32_t kBsVolumeSerial = 0x27;      // 4 bytes, where a volume id exists
constexpr uint32_t kBsVolumeLabel = 0x2B;       // 11 bytes of an extended BPB
constexpr uint32_t kBsMsxVolumeId = 0x20;       // "VOL_ID" in an MSX-DOS 2 boot sector with a serial
constexpr char kMsxVolumeIdText[] = "VOL_ID";
constexpr uint32_t kBsFileSystemType = 0x36;    // 8 bytes of an extended BPB
constexpr uint32_t kBsSignature = 0x1FE;        // 0x55, 0xAA
constexpr uint32_t kFileSystemTypeLength = 8;

// The two bytes that end a bootable sector.
constexpr uint8_t kBootSignature[2] = {0x55, 0xAA};
inline bool HasBootSignature(const uint8_t* bootSector) {
    return bootSector[kBsSignature] == kBootSignature[0] && bootSector[kBsSignature + 1] == kBootSignature[1];
}
inline void PutBootSignature(uint8_t* bootSector) {
    bootSector[kBsSignature] = kBootSignature[0];
    bootSector[kBsSignature + 1] = kBootSignature[1];
}

struct ImageDocument;

// Derives `doc.geometry` from the boot sector at `dataOffset`, falling back
// to the format byte, and sets `doc.geometryGuessed`. Appends its warnings to
// `warnings` in the order they arise. Returns false for an image that is not
// a valid FAT12 floppy; the geometry is usable all the same.
bool ParseBootSector(ImageDocument& doc, std::vector<Notice>& warnings);

// The file-system type text at 0x36 of a boot sector, cut at its first zero:
// the insert of the "not FAT12" message when a disk gives 0 total sectors.
std::string FileSystemTypeText(const uint8_t* bootSector);

}  // namespace vk
