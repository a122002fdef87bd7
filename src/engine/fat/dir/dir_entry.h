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
// A name whose first byte really is 0xE5 keeps 0x05 there instead, so that
// the entry does not read as deleted and lose its clusters.
constexpr uint8_t kEscapedE5 = 0x05;

// Byte 0 of a name as stored, and as shown, under that escape.
constexpr uint8_t StoredFirstByte(uint8_t shown) { return shown == kEntryDeleted ? kEscapedE5 : shown; }
constexpr uint8_t ShownFirstByte(uint8_t stored) { return stored == kEscapedE5 ? kEntryDeleted : stored; }

// Attribute bits.
constexpr uint8_t kAttrReadOnly = 0x01;
constexpr uint8_t kAttrHidden = 0x02;
constexpr uint8_t kAttrSystem = 0x04;
constexpr uint8_t kAttrVolume = 0x08;
constexpr uint8_t kAttrDirectory = 0x10;
constexpr uint8_t kAttrArchive = 0x20;
constexpr uint8_t kAttrLongName = 0x0F;  // all four low bits
// The bits an entry takes over from a host file.
constexpr uint8_t kAttrKeptFromHost =
    kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrVolume | kAttrDirectory | kAttrArchive;
// The bits the properties sheet lets the user change.
constexpr uint8_t kAttrEditable = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
// A volume label entry as this program writes it.
constexpr uint8_t kAttrLabel = kAttrArchive | kAttrVolume;

// The packed date and time fields: years 1980 to 2107, seconds halved.
constexpr int kDosFirstYear = 1980;
constexpr int kDosLastYear = 2107;
constexpr uint16_t PackDosDate(int year, int month, int day) {
    return static_cast<uint16_t>(((year - kDosFirstYear) << 9) | (month << 5) | day);
}
constexpr uint16_t PackDosTime(int hour, int minute, int second) {
    return static_cast<uint16_t>((hour << 11) | (minute << 5) | (second / 2));
}
constexpr int DosDateYear(uint16_t date) { return kDosFirstYear + (date >> 9); }
constexpr int DosDateMonth(uint16_t date) { return (date >> 5) & 15; }
constexpr int DosDateDay(uint16_t date) { return date & 31; }
constexpr int DosTimeHour(uint16_t time) { return time >> 11; }
constexpr int DosTimeMinute(uint16_t time) { return (time >> 5) & 63; }
constexpr int DosTimeSecond(uint16_t time) { return (time & 31) * 2; }

inline bool IsLongNameEntry(const uint8_t* e) { return (e[kDirAttr] & kAttrLongName) == kAttrLongName; }

}  // namespace vk
