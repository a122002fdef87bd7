// Small text services: numbers with the user's grouping, an entry's stamp in
// the user's date and time forms, blank-padded fields and path tails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "engine/ports/host_text.h"

namespace vk {

// `value` with the user's digit grouping. On failure `out` holds the plain
// digits and the result is false.
bool FormatNumber(uint32_t value, std::string& out);

// A packed DOS stamp taken apart.
struct DosStamp {
    int year = 1980;
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

// A blank-padded field without its trailing blanks, and ending before its
// first zero byte.
std::string TrimField(const uint8_t* field, size_t length);

// The part of `path` after its last backslash or colon.
std::string_view PathTail(std::string_view path);

// Fills the printf conversions of a string-table text ("%s", "%lu", ...) in
// order with ready-made texts; "%%" gives "%". Conversions without a value
// stay empty.
std::string FillConversions(std::string_view format, std::initializer_list<std::string_view> values);

}  // namespace vk
