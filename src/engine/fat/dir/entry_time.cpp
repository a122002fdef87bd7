#include "engine/fat/dir/entry_time.h"

#include "engine/common/bytes.h"

namespace vk {
namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

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

}  // namespace vk
