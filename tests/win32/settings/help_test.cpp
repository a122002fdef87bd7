// Help through the system's HTML help control: where the control is found,
// what happens when it is missing, and a real request with VOLKARN.CHM
// beside the test program.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/win32/box_catcher.h"
#include "win32/ports/main_window.h"
#include "win32/settings/help.h"
#include "win32/settings/help_control.h"
#include "tests/support/box_flags.h"

namespace vk::win32 {
namespace {

using test::BoxCatcher;
using test::CaughtBox;
using test::OwnerWindow;

constexpr char kTestKey[] = "Software\\VolkarnHelpTest";
constexpr char kTestServerKey[] = "Software\\VolkarnHelpTest\\InprocServer32";

std::string Lower(std::string text) {
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::string SystemFile(const char* name) {
    char directory[MAX_PATH] = "";
    GetSystemDirectoryA(directory, sizeof directory);
    return Lower(std::string(directory) + "\\" + name);
}

void StoreServer(DWORD type, const std::string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestServerKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, nullptr, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

class HelpControlLookup : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey); }
};

TEST_F(HelpControlLookup, SystemRegistrationNamesTheControl) {
    const HelpControlSource source = SystemHelpControl();
    const std::string path = Lower(LocateHelpControl(source.root, source.subKey));
    ASSERT_GE(path.size(), 10u) << "the control's class id is not registered";
    EXPECT_EQ(path.substr(path.size() - 10), "hhctrl.ocx");
}

TEST_F(HelpControlLookup, ReadsPlainAndExpandableLocations) {
    const struct {
        const char* name;
        DWORD type;
        std::string stored;
        std::string expected;
    } kCases[] = {
        {"plain string as stored", REG_SZ, "C:\\Help\\hhctrl.ocx", "c:\\help\\hhctrl.ocx"},
        {"expandable string expanded", REG_EXPAND_SZ, "%SystemRoot%\\system32\\hhctrl.ocx",
         SystemFile("hhctrl.ocx")},
        {"expandable string too long once expanded", REG_EXPAND_SZ,
         "%SystemRoot%\\" + std::string(250, 'x'), ""},
        {"number is no location", REG_DWORD, "", ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        if (c.type == REG_DWORD) {
            HKEY key = nullptr;
            RegCreateKeyExA(HKEY_CURRENT_USER, kTestServerKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
            const DWORD value = 1;
            RegSetValueExA(key, nullptr, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
            RegCloseKey(key);
        } else {
            StoreServer(c.type, c.stored);
        }
        EXPECT_EQ(Lower(LocateHelpControl(HKEY_CURRENT_USER, kTestServerKey)), c.expected);
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    }
    EXPECT_EQ(LocateHelpControl(HKEY_CURRENT_USER, kTestServerKey), "") << "missing key";
}

class Help : public ::testing::Test {
protected:
    void SetUp() override { SetMainWindow(mainWindow.Handle()); }
    void TearDown() override {
        SetMainWindow(nullptr);
        ResetHelpControl(SystemHelpControl());
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    }
    OwnerWindow mainWindow;
    OwnerWindow dialog;
};

void ExpectHelpFailedBoxes(const std::vector<CaughtBox>& boxes, size_t count, HWND owner) {
    ASSERT_EQ(boxes.size(), count);
    for (const CaughtBox& box : boxes) {
        EXPECT_EQ(box.text, "Oops: failed to display help!");
        EXPECT_EQ(box.icon, static_cast<unsigned>(test::kIconWarning));
        EXPECT_EQ(box.owner, owner);
    }
}

TEST_F(Help, MissingControlGivesMessage9OncePerRequest) {
    ResetHelpControl({HKEY_CURRENT_USER, kTestServerKey, "volkarn_no_such_help.ocx"});
    BoxCatcher catcher;
    InitHelp();
    EXPECT_TRUE(catcher.Boxes().empty()) << "start-up stays quiet";
    EXPECT_FALSE(ShowHelp(dialog.Handle(), "Details"));
    EXPECT_FALSE(ShowHelp(dialog.Handle(), nullptr));
    MSG msg = {};
    EXPECT_FALSE(PreTranslateHelpMessage(&msg));
    EXPECT_FALSE(ShowHelp(dialog.Handle(), "DskNew"));
    UninitHelp();
    ExpectHelpFailedBoxes(catcher.Boxes(), 3, dialog.Handle());
}

TEST_F(Help, ControlIsNotLookedForAgainAfterAFailedLoad) {
    ResetHelpControl({HKEY_CURRENT_USER, kTestServerKey, "volkarn_no_such_help.ocx"});
    BoxCatcher catcher;
    EXPECT_FALSE(ShowHelp(dialog.Handle(), "Volume"));
    // The control turning up later in the run changes nothing.
    StoreServer(REG_SZ, SystemFile("hhctrl.ocx"));
    EXPECT_FALSE(ShowHelp(dialog.Handle(), "Volume"));
    ExpectHelpFailedBoxes(catcher.Boxes(), 2, dialog.Handle());
}

// The help windows of the control, owned by `owner`.
struct HelpWindows {
    HWND owner;
    int count = 0;
};

BOOL CALLBACK CountOwned(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<HelpWindows*>(param);
    if (GetWindow(window, GW_OWNER) == found->owner && IsWindowVisible(window)) {
        ++found->count;
    }
    return TRUE;
}

int HelpWindowsOf(HWND owner) {
    HelpWindows windows{owner};
    EnumThreadWindows(GetCurrentThreadId(), CountOwned, reinterpret_cast<LPARAM>(&windows));
    return windows.count;
}

// Closes the help windows through the control itself, which would otherwise
// hand out the handle of a window destroyed behind its back.
void CloseAllHelp() {
    constexpr UINT kHelpCloseAll = 0x0012;
    LoadHtmlHelp(nullptr, nullptr, kHelpCloseAll, 0);
}

std::string HelpFileBesideProgram() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string file(path);
    return file.substr(0, file.find_last_of('\\') + 1) + "VOLKARN.CHM";
}

// Wine's control opens its window even though the prefix has no HTML engine
// (the page pane stays empty), so the request itself can be judged.
TEST_F(Help, TopicAndIndexOpenHelpWindowsOwnedByTheMainWindow) {
    ASSERT_NE(GetFileAttributesA(HelpFileBesideProgram().c_str()), INVALID_FILE_ATTRIBUTES)
        << "VOLKARN.CHM is not beside the test program";
    BoxCatcher catcher;
    InitHelp();
    for (const char* topic : {"Details", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(topic ? topic : "index");
        EXPECT_TRUE(ShowHelp(dialog.Handle(), topic));
        EXPECT_GE(HelpWindowsOf(mainWindow.Handle()), 1);
        EXPECT_EQ(HelpWindowsOf(dialog.Handle()), 0) << "help must outlive the dialog that asked";
        CloseAllHelp();
        EXPECT_EQ(HelpWindowsOf(mainWindow.Handle()), 0);
    }
    EXPECT_TRUE(catcher.Boxes().empty());
    UninitHelp();
    UninitHelp();  // closing and destroying both release help
}

// Run from a copy of this program in a folder without VOLKARN.CHM (the
// control keeps the file open once it has read it, so it cannot be taken
// away in the same run).
TEST_F(Help, MissingHelpFileGivesMessage9) {
    if (GetFileAttributesA(HelpFileBesideProgram().c_str()) != INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "checked by the copy of this program without VOLKARN.CHM";
    }
    BoxCatcher catcher;
    EXPECT_FALSE(ShowHelp(dialog.Handle(), "Details"));
    EXPECT_FALSE(ShowHelp(dialog.Handle(), nullptr));
    EXPECT_EQ(HelpWindowsOf(mainWindow.Handle()), 0);
    ExpectHelpFailedBoxes(catcher.Boxes(), 2, dialog.Handle());
}

}  // namespace
}  // namespace vk::win32
