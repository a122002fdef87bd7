// Text services of the host: its character conversion and its locale.
#pragma once

#include <cstdint>
#include <string>

namespace vk {

// Upper-cases `text` in place with the system's character conversion (the
// ANSI code page on Windows; ASCII letters elsewhere).
void HostUpperCase(std::string& text);

// The host's two date forms: the short one of the list, the long one of the
// file properties page.
enum class DateForm { kShort, kLong };

// `value` in decimal digits with the user's digit grouping and no decimals.
// False, leaving `out` as it was, when the host cannot format it.
bool HostFormatNumber(uint32_t value, std::string& out);

// A plain decimal number ("1.50", '.' as separator) reformatted with the
// user's number settings (separators, grouping, decimals). False on failure.
bool HostFormatDecimal(const std::string& plain, std::string& out);

// A calendar date in the user's short or long form, and a time of day in the
// user's time form. The caller passes valid values only.
bool HostFormatDate(int year, int month, int day, DateForm form, std::string& out);
bool HostFormatTime(int hour, int minute, int second, std::string& out);

// The value of `key` in `section` of the INI file at `iniPath`, both names
// compared without regard to case, at most 127 characters. False when the
// file, the section or the key is missing, or the value is empty.
bool HostIniString(const std::string& iniPath, const std::string& section, const std::string& key,
                   std::string& out);

}  // namespace vk
