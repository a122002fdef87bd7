#include "tests/win32/disk_dialogs/disk_dialog_fixture.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "engine/core/document.h"
#include "win32/settings/settings.h"
#include "win32/ui/app_state.h"
#include "win32/ui/command_line.h"
#include "win32/ui/explorer_list.h"
#include "win32/ui/main_window.h"

namespace vk::test {
namespace {

constexpr UINT kPollMs = 50;
constexpr int kTextLength = 300;

struct Driver {
    const char* caption = nullptr;
    const std::function<void(HWND)>* act = nullptr;
    HWND dialog = nullptr;
    DWORD started = 0;
    DWORD giveUpMs = 0;
    bool acting = false;
};
Driver* g_driver = nullptr;

BOOL CALLBACK FindDialog(HWND window, LPARAM) {
    char text[kTextLength] = "";
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    GetWindowTextA(window, text, sizeof text);
    if (std::strcmp(cls, "#32770") == 0 && IsWindowVisible(window) && std::strcmp(text, g_driver->caption) == 0) {
        g_driver->dialog = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK Poll(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_driver == nullptr) {
        KillTimer(nullptr, timer);
        return;
    }
    if (g_driver->acting) {
        return;  // a job the action started pumps messages; this is its timer
    }
    if (g_driver->dialog == nullptr) {
        EnumThreadWindows(GetCurrentThreadId(), FindDialog, 0);
        if (g_driver->dialog != nullptr) {
            g_driver->acting = true;
            (*g_driver->act)(g_driver->dialog);
            g_driver->acting = false;
        }
        return;
    }
    if (GetTickCount() - g_driver->started > g_driver->giveUpMs && IsWindow(g_driver->dialog)) {
        ADD_FAILURE() << "dialog \"" << g_driver->caption << "\" was left open";
        PostMessageA(g_driver->dialog, WM_COMMAND, IDCANCEL, 0);
        g_driver->started = GetTickCount();
    }
}

bool RegisterOnce() {
    static const bool registered = win32::RegisterMainWindowClass(GetModuleHandleA(nullptr));
    return registered;
}

// Destroying the main window posts the quit message; a later modal loop
// must not see it.
void DrainMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

void DiskDialogTest::SetUp() {
    win32::App().instance = GetModuleHandleA(nullptr);
    win32::TheSettings() = win32::Settings{};
    win32::SetDefaultColumnWidths(win32::TheSettings());
    win32::TheCommandLine() = win32::CommandLine{};
    ASSERT_TRUE(RegisterOnce());
    window_ = win32::CreateMainWindow(GetModuleHandleA(nullptr));
    ASSERT_NE(window_, nullptr);
}

void DiskDialogTest::TearDown() {
    ImageDocument& doc = win32::TheDocument();
    doc.modified = false;
    CloseImage(doc, false);
    if (window_ != nullptr && IsWindow(window_)) {
        DestroyWindow(window_);
    }
    window_ = nullptr;
    DrainMessages();
}

std::string DiskDialogTest::Title() const {
    char text[kTextLength] = "";
    GetWindowTextA(window_, text, sizeof text);
    return text;
}

int DiskDialogTest::ListItemCount() const {
    return static_cast<int>(SendMessageA(win32::MainParts().list, LVM_GETITEMCOUNT, 0, 0));
}

void WithDialog(const char* caption, const std::function<void(HWND)>& act, const std::function<void()>& run,
                DWORD giveUpMs) {
    Driver driver;
    driver.caption = caption;
    driver.act = &act;
    driver.started = GetTickCount();
    driver.giveUpMs = giveUpMs;
    Driver* outer = g_driver;
    g_driver = &driver;
    const UINT_PTR timer = SetTimer(nullptr, 0, kPollMs, Poll);
    run();
    KillTimer(nullptr, timer);
    g_driver = outer;
    EXPECT_NE(driver.dialog, nullptr) << "dialog \"" << caption << "\" never showed";
}

void PostClick(HWND dialog, int control) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, control)));
}

std::string DriveBacking() { return Environment("DRIVE_TEST_BACKING"); }
std::string DriveFiles() { return Environment("DRIVE_TEST_FILES"); }

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace vk::test
