#include "engine/common/text_format.h"

#include <vector>

#include "engine/fat/dir_entry.h"
#include "engine/common/bytes.h"

namespace vk {
namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

bool FormatNumber(uint32_t value, std::string& out) {
    if (HostFormatNumber(value, out)) {
        return true;
    }
    out = std::to_string(value);
    return false;
}

DosStamp UnpackDosStamp(uint16_t date, uint16_t time) {
    DosStamp s;
    s.year = DosDateYear(date);
    s.month = DosDateMonth(date);
    s.day = DosDateDay(date);
    s.hour = DosTimeHour(time);
    s.minute = DosTimeMinute(time);
    s.second = DosTimeSecond(time);
    return s;
}

bool IsValidDate(const DosStamp& s) {
    return s.month >= 1 && s.month <= 12 && s.day >= 1 && s.day <= DaysInMonth(s.year, s.month);
}

bool IsValidTime(const DosStamp& s) { return s.hour <= 23 && s.minute <= 59 && s.second <= 59; }

std::string FormatEntryDateTime(const uint8_t* entry, DateForm form) {
    const DosStamp s = UnpackDosStamp(Load16(entry + kDirDate), Load16(entry + kDirTime));
    const bool neverStamped =
        s.year == kDosFirstYear && s.month == 1 && s.day == 1 && s.hour == 0 && s.minute == 0 && s.second == 0;
    std::string date;
    // The host refuses impossible days (month 0, 30 February) and times (hour
    // 24, second 62); checking here makes every host refuse the same ones.
    if (neverStamped || !IsValidDate(s) || !HostFormatDate(s.year, s.month, s.day, form, date)) {
        return {};
    }
    std::string time;
    if (IsValidTime(s) && HostFormatTime(s.hour, s.minute, s.second, time)) {
        return date + " " + time;
    }
    return date;
}

std::string TrimField(const uint8_t* field, size_t length) {
    size_t end = length;
    while (end > 0 && field[end - 1] == ' ') {
        --end;
    }
    size_t textEnd = 0;
    while (textEnd < end && field[textEnd] != 0) {
        ++textEnd;
    }
    return std::string(reinterpret_cast<const char*>(field), textEnd);
}

std::string_view PathTail(std::string_view path) {
    for (size_t i = path.size(); i > 1; --i) {
        if (path[i - 1] == '\\' || path[i - 1] == ':') {
            return path.substr(i);
        }
    }
    return path;
}

std::string FillConversions(std::string_view format, std::initializer_list<std::string_view> values) {
    const std::vector<std::string_view> args(values);
    size_t next = 0;
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            out += format[i];
            continue;
        }
        if (format[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // Flags, width and length letters up to the conversion letter.
        size_t j = i + 1;
        while (j < format.size() && std::string_view("-+ #0123456789.lhI").find(format[j]) != std::string_view::npos) {
            ++j;
        }
        if (j == format.size()) {
            out.append(format.substr(i));
            break;
        }
        if (next < args.size()) {
            out += args[next];
        }
        ++next;
        i = j;
    }
    return out;
}

}  // namespace vk
