// The locale half of the host-text port on Windows: the user's default
// locale through the system's number, date and time formatting, and the INI
// reader of the profile functions.
#include <windows.h>

#include <cstdlib>

#include "engine/ports/host_text.h"

namespace vk {
namespace {

constexpr int kLocaleFieldChars = 16;
constexpr int kFormattedChars = 64;
constexpr DWORD kIniValueChars = 128;

std::string LocaleField(LCTYPE type) {
    char text[kLocaleFieldChars] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, kLocaleFieldChars) == 0) {
        return {};
    }
    return text;
}

SYSTEMTIME MakeSystemTime(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    return st;
}

}  // namespace

bool HostFormatNumber(uint32_t value, std::string& out) {
    std::string leadingZero = LocaleField(LOCALE_ILZERO);
    std::string grouping = LocaleField(LOCALE_SGROUPING);
    std::string decimal = LocaleField(LOCALE_SDECIMAL);
    std::string thousand = LocaleField(LOCALE_STHOUSAND);
    std::string negative = LocaleField(LOCALE_INEGNUMBER);
    NUMBERFMTA format = {};
    format.NumDigits = 0;
    format.LeadingZero = static_cast<UINT>(std::atoi(leadingZero.c_str()));
    // "3;0" and "3;2;0" alike group by their leading number.
    format.Grouping = static_cast<UINT>(std::atoi(grouping.c_str()));
    format.lpDecimalSep = &decimal[0];
    format.lpThousandSep = &thousand[0];
    format.NegativeOrder = static_cast<UINT>(std::atoi(negative.c_str()));
    const std::string digits = std::to_string(value);
    char text[kFormattedChars];
    if (GetNumberFormatA(LOCALE_USER_DEFAULT, 0, digits.c_str(), &format, text, kFormattedChars) == 0) {
        return false;
    }
    out = text;
    return true;
}

bool HostFormatDecimal(const std::string& plain, std::string& out) {
    char text[kFormattedChars];
    if (GetNumberFormatA(LOCALE_USER_DEFAULT, 0, plain.c_str(), nullptr, text, kFormattedChars) == 0) {
        return false;
    }
    out = text;
    return true;
}

bool HostFormatDate(int year, int month, int day, DateForm form, std::string& out) {
    const SYSTEMTIME st = MakeSystemTime(year, month, day, 0, 0, 0);
    char text[kFormattedChars];
    const DWORD flags = form == DateForm::kShort ? DATE_SHORTDATE : DATE_LONGDATE;
    if (GetDateFormatA(LOCALE_USER_DEFAULT, flags, &st, nullptr, text, kFormattedChars) == 0) {
        return false;
    }
    out = text;
    return true;
}

bool HostFormatTime(int hour, int minute, int second, std::string& out) {
    const SYSTEMTIME st = MakeSystemTime(1980, 1, 1, hour, minute, second);
    char text[kFormattedChars];
    if (GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, text, kFormattedChars) == 0) {
        return false;
    }
    out = text;
    return true;
}

bool HostIniString(const std::string& iniPath, const std::string& section, const std::string& key,
                   std::string& out) {
    char text[kIniValueChars] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", text, kIniValueChars, iniPath.c_str());
    if (text[0] == '\0') {
        return false;
    }
    out = text;
    return true;
}

}  // namespace vk
