// A directory entry's time stamp: taken apart, checked against the calendar,
// and shown in the user's date and time forms.
#pragma once

#include <cstdint>
#include <string>

#include "engine/fat/dir/dir_entry.h"
#include "engine/ports/host_text.h"

namespace vk {

// A packed DOS stamp taken apart.
struct DosStamp {
    int year = kDosFirstYear;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
DosStamp UnpackDosStamp(uint16_t date, uint16_t time);
// Whether the date is a real calendar day and the time a real time of day.
bool IsValidDate(const DosStamp& stamp);
bool IsValidTime(const DosStamp& stamp);

// The date and time of the directory entry at `entry` ("date time", the date
// alone when the time cannot be shown). Empty for a never-stamped entry
// (1980-01-01 00:00:00) and for a date that is no calendar day.
std::string FormatEntryDateTime(const uint8_t* entry, DateForm form);

}  // namespace vk
