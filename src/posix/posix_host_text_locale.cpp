// The locale half of the host-text port on POSIX systems: the process's C
// locale (LC_NUMERIC, LC_TIME as the environment set them) decides the
// separators and the date and time forms. INI files are read by a small
// reader of their own.
#include <cctype>
#include <climits>
#include <clocale>
#include <ctime>
#include <fstream>
#include <langinfo.h>

#include "engine/ports/host_text.h"

namespace vk {
namespace {

// The digits of `digits` with `separator` between groups of `group` counted
// from the right; no grouping when `group` is 0.
std::string GroupDigits(const std::string& digits, unsigned group, const char* separator) {
    if (group == 0 || separator == nullptr || *separator == '\0') {
        return digits;
    }
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % group == 0) {
            out += separator;
        }
        out += digits[i];
    }
    return out;
}

// The locale's first group size, as the Windows side takes the leading
// number of its grouping text: "3;2" groups all digits by three.
unsigned LeadingGroup(const lconv* lc) {
    const char* grouping = lc->grouping;
    if (grouping == nullptr || grouping[0] <= 0 || grouping[0] == CHAR_MAX) {
        return 0;
    }
    return static_cast<unsigned>(grouping[0]);
}

// Day of the week, 0 = Sunday, for the Gregorian calendar.
int WeekDay(int year, int month, int day) {
    static const int kOffsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) {
        --year;
    }
    return (year + year / 4 - year / 100 + year / 400 + kOffsets[month - 1] + day) % 7;
}

bool Strftime(const std::string& format, const std::tm& tm, std::string& out) {
    char buffer[64];
    const size_t n = std::strftime(buffer, sizeof buffer, format.c_str(), &tm);
    if (n == 0) {
        return false;
    }
    out.assign(buffer, n);
    return true;
}

// The locale's date form with every two-digit year made a four-digit one:
// FAT dates run from 1980 to 2107, so "80" could be either end.
std::string WithFourDigitYears(const std::string& format) {
    if (format.find("%C") != std::string::npos) {
        return format;  // the century is written apart; %y completes it
    }
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            out += format[i];
            continue;
        }
        const char code = format[++i];
        out += code == 'y' ? "%Y" : code == 'D' ? "%m/%d/%Y" : std::string{'%', code};
    }
    return out;
}

std::string Trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) {
        ++begin;
    }
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) {
        --end;
    }
    return text.substr(begin, end - begin);
}

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

constexpr size_t kMaxIniValue = 127;

}  // namespace

bool HostFormatNumber(uint32_t value, std::string& out) {
    const lconv* lc = std::localeconv();
    out = GroupDigits(std::to_string(value), LeadingGroup(lc), lc->thousands_sep);
    return true;
}

bool HostFormatDecimal(const std::string& plain, std::string& out) {
    const size_t dot = plain.find('.');
    const std::string whole = plain.substr(0, dot);
    if (whole.empty() || whole.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const lconv* lc = std::localeconv();
    std::string text = GroupDigits(whole, LeadingGroup(lc), lc->thousands_sep);
    if (dot != std::string::npos) {
        const std::string fraction = plain.substr(dot + 1);
        if (fraction.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        text += (lc->decimal_point && *lc->decimal_point) ? lc->decimal_point : ".";
        text += fraction;
    }
    out = text;
    return true;
}

bool HostFormatDate(int year, int month, int day, DateForm form, std::string& out) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_wday = WeekDay(year, month, day);
    const std::string shortForm = WithFourDigitYears(nl_langinfo(D_FMT));
    // The C library names no long date form; the weekday before the short
    // form reads naturally in every locale.
    return Strftime(form == DateForm::kShort ? shortForm : "%A, " + shortForm, tm, out);
}

bool HostFormatTime(int hour, int minute, int second, std::string& out) {
    std::tm tm{};
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    return Strftime(nl_langinfo(T_FMT), tm, out);
}

bool HostIniString(const std::string& iniPath, const std::string& section, const std::string& key,
                   std::string& out) {
    std::ifstream in(iniPath);
    if (!in) {
        return false;
    }
    bool inSection = false;
    std::string line;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            const size_t close = line.find(']');
            inSection = close != std::string::npos && SameText(Trim(line.substr(1, close - 1)), section);
            continue;
        }
        const size_t eq = line.find('=');
        if (!inSection || eq == std::string::npos || !SameText(Trim(line.substr(0, eq)), key)) {
            continue;
        }
        std::string value = Trim(line.substr(eq + 1));
        // Quotes around a whole value are not part of it.
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        if (value.empty()) {
            return false;
        }
        out = value.substr(0, kMaxIniValue);
        return true;
    }
    return false;
}

}  // namespace vk
