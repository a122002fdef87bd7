// The settings against the real registry of the test's Wine prefix: what a
// stored value turns into, what is ignored, and what a save leaves behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "win32/settings/settings.h"

namespace vk::win32 {
namespace {

constexpr char kProductKey[] = "Software\\Quanbel\\Volkarn";
constexpr char kColumnKey[] = "Software\\Quanbel\\Volkarn\\ColumnWidth";
constexpr char kSettingsKey[] = "Software\\Quanbel\\Volkarn\\Settings";

// What start-up has put into the record before the registry is read.
Settings StartValues() {
    Settings s;
    s.columnWidths[0] = 101;
    s.columnWidths[1] = 62;
    s.columnWidths[2] = 123;
    s.columnWidths[3] = 54;
    return s;
}

void Store(const char* key, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(handle);
}

void StoreDword(const char* key, const char* name, DWORD value) {
    Store(key, name, REG_DWORD, &value, sizeof value);
}

struct StoredValue {
    DWORD type = 0;
    DWORD size = 0;
    DWORD data = 0;
};

// Every value of `key` by name.
std::map<std::string, StoredValue> ValuesOf(const char* key) {
    std::map<std::string, StoredValue> values;
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return values;
    }
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        StoredValue value;
        BYTE data[64] = {};
        value.size = sizeof data;
        if (RegEnumValueA(handle, index, name, &nameLength, nullptr, &value.type, data, &value.size) !=
            ERROR_SUCCESS) {
            break;
        }
        CopyMemory(&value.data, data, sizeof value.data);
        values[name] = value;
    }
    RegCloseKey(handle);
    return values;
}

class RegistrySettings : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kProductKey);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kProductKey); }
};

TEST_F(RegistrySettings, FreshProfileKeepsTheDefaults) {
    Settings s = StartValues();
    LoadSettings(s);
    EXPECT_EQ(s.columnWidths[0], 101);
    EXPECT_EQ(s.columnWidths[1], 62);
    EXPECT_EQ(s.columnWidths[2], 123);
    EXPECT_EQ(s.columnWidths[3], 54);
    EXPECT_EQ(s.viewType, 1u);
    EXPECT_EQ(s.nameStrength, 1u);
    EXPECT_EQ(s.defaultDiskFormat, 0xF9u);
    EXPECT_EQ(s.defaultBootSector, 0);
    EXPECT_FALSE(s.fastWrite);
    EXPECT_EQ(NameStrengthOf(s), NameStrength::kRegular);
}

TEST_F(RegistrySettings, StoredValuesAreTakenByTheirRule) {
    const struct {
        const char* name;
        const char* key;
        const char* value;
        DWORD stored;
        std::function<int64_t(const Settings&)> field;
        int64_t expected;
    } kCases[] = {
        {"view type keeps its two low bits", kSettingsKey, "ViewType", 7,
         [](const Settings& s) { return s.viewType; }, 3},
        {"disk format keeps its low byte", kSettingsKey, "DefaultDiskFormat", 0x1F0,
         [](const Settings& s) { return s.defaultDiskFormat; }, 0xF0},
        {"negative boot sector keeps the default", kSettingsKey, "DefaultBootSector", 0xFFFFFFFF,
         [](const Settings& s) { return s.defaultBootSector; }, 0},
        {"boot sector beyond the templates is taken", kSettingsKey, "DefaultBootSector", 5,
         [](const Settings& s) { return s.defaultBootSector; }, 5},
        {"any non-zero fast write is on", kSettingsKey, "FastCopyWrite", 2,
         [](const Settings& s) { return s.fastWrite ? 1 : 0; }, 1},
        {"name strength is taken as stored", kSettingsKey, "FatNameStrength", 7,
         [](const Settings& s) { return s.nameStrength; }, 7},
        {"column width is taken as stored", kColumnKey, "ChangeDate", 0xFFFFFFF6,
         [](const Settings& s) { return s.columnWidths[2]; }, -10},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        RegDeleteTreeA(HKEY_CURRENT_USER, kProductKey);
        StoreDword(c.key, c.value, c.stored);
        Settings s = StartValues();
        LoadSettings(s);
        EXPECT_EQ(c.field(s), c.expected);
    }
}

TEST_F(RegistrySettings, NameStrengthReachesTheEngine) {
    const struct {
        DWORD stored;
        NameStrength expected;
    } kCases[] = {{0, NameStrength::kStrict}, {1, NameStrength::kRegular}, {9, NameStrength::kRegular}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.stored);
        StoreDword(kSettingsKey, "FatNameStrength", c.stored);
        Settings s;
        LoadSettings(s);
        EXPECT_EQ(NameStrengthOf(s), c.expected);
    }
}

TEST_F(RegistrySettings, ValuesOfAnotherTypeOrLengthAreIgnored) {
    const WORD shortWidth = 300;
    Store(kColumnKey, "FileName", REG_DWORD, &shortWidth, sizeof shortWidth);
    StoreDword(kColumnKey, "FileSize", 77);
    Store(kSettingsKey, "ViewType", REG_SZ, "3", 2);
    const ULONGLONG wide = 0xF0;
    Store(kSettingsKey, "DefaultDiskFormat", REG_QWORD, &wide, sizeof wide);
    const DWORD on = 1;
    Store(kSettingsKey, "FastCopyWrite", REG_BINARY, &on, sizeof on);
    StoreDword(kSettingsKey, "DefaultBootSector", 2);

    Settings s = StartValues();
    LoadSettings(s);
    EXPECT_EQ(s.columnWidths[0], 101) << "a 2-byte width is no width";
    EXPECT_EQ(s.columnWidths[1], 77) << "the next value is still read";
    EXPECT_EQ(s.viewType, 1u);
    EXPECT_EQ(s.defaultDiskFormat, 0xF9u);
    EXPECT_FALSE(s.fastWrite);
    EXPECT_EQ(s.defaultBootSector, 2);
}

TEST_F(RegistrySettings, SaveLeavesExactlyNineDwordValues) {
    Settings s = StartValues();
    s.viewType = 6;  // only the low bits are a view
    s.nameStrength = 0;
    s.defaultDiskFormat = 0xF0;
    s.defaultBootSector = -1;
    s.fastWrite = true;
    SaveSettings(s);

    const auto columns = ValuesOf(kColumnKey);
    const auto settings = ValuesOf(kSettingsKey);
    EXPECT_EQ(columns.size() + settings.size(), 9u);
    const std::map<std::string, DWORD> kExpectedColumns = {
        {"FileName", 101}, {"FileSize", 62}, {"ChangeDate", 123}, {"Attributes", 54}};
    const std::map<std::string, DWORD> kExpectedSettings = {{"FatNameStrength", 0},
                                                            {"ViewType", 2},
                                                            {"DefaultDiskFormat", 0xF0},
                                                            {"DefaultBootSector", 0xFFFFFFFF},
                                                            {"FastCopyWrite", 1}};
    for (const auto& [values, expected] : {std::pair(columns, kExpectedColumns), std::pair(settings, kExpectedSettings)}) {
        ASSERT_EQ(values.size(), expected.size());
        for (const auto& [name, data] : expected) {
            SCOPED_TRACE(name);
            ASSERT_EQ(values.count(name), 1u);
            EXPECT_EQ(values.at(name).type, static_cast<DWORD>(REG_DWORD));
            EXPECT_EQ(values.at(name).size, 4u);
            EXPECT_EQ(values.at(name).data, data);
        }
    }
}

TEST_F(RegistrySettings, SavedSettingsComeBackOnTheNextStart) {
    Settings saved = StartValues();
    saved.columnWidths[3] = 999;
    saved.viewType = 3;
    saved.nameStrength = 0;
    saved.defaultDiskFormat = 0xFF;
    saved.defaultBootSector = 2;
    saved.fastWrite = true;
    SaveSettings(saved);
    // A second save over existing keys must not add values.
    SaveSettings(saved);
    EXPECT_EQ(ValuesOf(kColumnKey).size() + ValuesOf(kSettingsKey).size(), 9u);

    Settings loaded;
    LoadSettings(loaded);
    for (int column = 0; column < kColumnCount; ++column) {
        EXPECT_EQ(loaded.columnWidths[column], saved.columnWidths[column]) << column;
    }
    EXPECT_EQ(loaded.viewType, 3u);
    EXPECT_EQ(loaded.nameStrength, 0u);
    EXPECT_EQ(loaded.defaultDiskFormat, 0xFFu);
    EXPECT_EQ(loaded.defaultBootSector, 2);
    EXPECT_TRUE(loaded.fastWrite);
}

}  // namespace
}  // namespace vk::win32
