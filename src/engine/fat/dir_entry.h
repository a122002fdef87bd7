// The 32-byte root-directory entry, as the standard FAT layout has it.
#pragma once

#include <cstdint>

namespace vk {

constexpr uint32_t kDirName = 0;           // 8 bytes, blank padded
constexpr uint32_t kDirExt = 8;            // 3 bytes, blank padded
constexpr uint32_t kDirAttr = 11;
constexpr uint32_t kDirReserved = 12;      // 10 bytes
constexpr uint32_t kDirTime = 22;          // hour*2048 + minute*32 + second/2
constexpr uint32_t kDirDate = 24;          // (year-1980)*512 + month*32 + day
constexpr uint32_t kDirFirstCluster = 26;
constexpr uint32_t kDirSize = 28;
constexpr uint32_t kDirNameLength = 8;
constexpr uint32_t kDirExtLength = 3;
constexpr uint32_t kDirFullNameLength = 11;

// Byte 0 of an entry.
constexpr uint8_t kEntryNeverUsed = 0x00;
constexpr uint8_t kEntryDeleted = 0xE5;

// Attribute bits.
constexpr uint8_t kAttrReadOnly = 0x01;
constexpr uint8_t kAttrHidden = 0x02;
constexpr uint8_t kAttrSystem = 0x04;
constexpr uint8_t kAttrVolume = 0x08;
constexpr uint8_t kAttrDirectory = 0x10;
constexpr uint8_t kAttrArchive = 0x20;
constexpr uint8_t kAttrLongName = 0x0F;  // all four low bits

inline bool IsLongNameEntry(const uint8_t* e) { return (e[kDirAttr] & kAttrLongName) == kAttrLongName; }

}  // namespace vk
