// The settings in HKEY_CURRENT_USER: four column widths under one key, the
// option values under another, every one a 4-byte REG_DWORD.
#include "win32/settings/settings.h"

#include <windows.h>


namespace vk::win32 {
namespace {

constexpr char kColumnWidthKey[] = "Software\\Quanbel\\Volkarn\\ColumnWidth";
constexpr char kSettingsKey[] = "Software\\Quanbel\\Volkarn\\Settings";

// Column-width value names, in column order.
constexpr const char* kColumnWidthValues[kColumnCount] = {"FileName", "FileSize", "ChangeDate", "Attributes"};

constexpr char kNameStrengthValue[] = "FatNameStrength";
constexpr char kViewTypeValue[] = "ViewType";
constexpr char kDefaultDiskFormatValue[] = "DefaultDiskFormat";
constexpr char kDefaultBootSectorValue[] = "DefaultBootSector";
constexpr char kFastWriteValue[] = "FastCopyWrite";
constexpr char kWindowLeftValue[] = "WindowLeft";
constexpr char kWindowTopValue[] = "WindowTop";
constexpr char kWindowWidthValue[] = "WindowWidth";
constexpr char kWindowHeightValue[] = "WindowHeight";
constexpr char kWindowMaximizedValue[] = "WindowMaximized";
// A stored width or height beyond any screen is no placement at all.
constexpr DWORD kLargestWindowSide = 0x7FFF;

constexpr DWORD kViewTypeMask = 3;      // four list-view modes
constexpr DWORD kDiskFormatMask = 0xFF;  // a media byte

// A value is taken only as a REG_DWORD of exactly four bytes.
bool QueryDword(HKEY key, const char* name, DWORD& value) {
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof data) {
        return false;
    }
    value = data;
    return true;
}

void SetDword(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

HKEY OpenForReading(const char* path) {
    HKEY key = nullptr;
    return RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS ? key : nullptr;
}

HKEY CreateForWriting(const char* path) {
    HKEY key = nullptr;
    return RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                           nullptr) == ERROR_SUCCESS
               ? key
               : nullptr;
}

}  // namespace

Settings& TheSettings() {
    static Settings settings;
    return settings;
}

void LoadSettings(Settings& settings) {
    DWORD value = 0;
    if (HKEY key = OpenForReading(kColumnWidthKey)) {
        for (int column = 0; column < kColumnCount; ++column) {
            if (QueryDword(key, kColumnWidthValues[column], value)) {
                settings.columnWidths[column] = static_cast<int>(value);
            }
        }
        RegCloseKey(key);
    }
    if (HKEY key = OpenForReading(kSettingsKey)) {
        if (QueryDword(key, kNameStrengthValue, value)) {
            settings.nameStrength = value;
        }
        if (QueryDword(key, kViewTypeValue, value)) {
            settings.viewType = value & kViewTypeMask;
        }
        if (QueryDword(key, kDefaultDiskFormatValue, value)) {
            settings.defaultDiskFormat = value & kDiskFormatMask;
        }
        // A negative template index is no choice at all: keep the one we have.
        if (QueryDword(key, kDefaultBootSectorValue, value) && static_cast<int32_t>(value) >= 0) {
            settings.defaultBootSector = static_cast<int32_t>(value);
        }
        if (QueryDword(key, kFastWriteValue, value)) {
            settings.fastWrite = value != 0;
        }
        // The placement counts only whole: all four figures, a sane size.
        DWORD left = 0, top = 0, width = 0, height = 0;
        if (QueryDword(key, kWindowLeftValue, left) && QueryDword(key, kWindowTopValue, top) &&
            QueryDword(key, kWindowWidthValue, width) && QueryDword(key, kWindowHeightValue, height) &&
            width > 0 && width <= kLargestWindowSide && height > 0 && height <= kLargestWindowSide) {
            settings.window.left = static_cast<int32_t>(left);
            settings.window.top = static_cast<int32_t>(top);
            settings.window.width = static_cast<int>(width);
            settings.window.height = static_cast<int>(height);
            settings.window.maximized = QueryDword(key, kWindowMaximizedValue, value) && value != 0;
        }
        RegCloseKey(key);
    }
}

NameStrength NameStrengthOf(const Settings& settings) {
    return settings.nameStrength == 0 ? NameStrength::kStrict : NameStrength::kRegular;
}

void SaveSettings(const Settings& settings) {
    if (HKEY key = CreateForWriting(kColumnWidthKey)) {
        for (int column = 0; column < kColumnCount; ++column) {
            SetDword(key, kColumnWidthValues[column], static_cast<DWORD>(settings.columnWidths[column]));
        }
        RegCloseKey(key);
    }
    if (HKEY key = CreateForWriting(kSettingsKey)) {
        SetDword(key, kNameStrengthValue, settings.nameStrength);
        SetDword(key, kViewTypeValue, settings.viewType & kViewTypeMask);
        SetDword(key, kDefaultDiskFormatValue, settings.defaultDiskFormat);
        SetDword(key, kDefaultBootSectorValue, static_cast<DWORD>(settings.defaultBootSector));
        SetDword(key, kFastWriteValue, settings.fastWrite ? 1 : 0);
        if (settings.window.Known()) {
            SetDword(key, kWindowLeftValue, static_cast<DWORD>(settings.window.left));
            SetDword(key, kWindowTopValue, static_cast<DWORD>(settings.window.top));
            SetDword(key, kWindowWidthValue, static_cast<DWORD>(settings.window.width));
            SetDword(key, kWindowHeightValue, static_cast<DWORD>(settings.window.height));
            SetDword(key, kWindowMaximizedValue, settings.window.maximized ? 1 : 0);
        }
        RegCloseKey(key);
    }
}

}  // namespace vk::win32
