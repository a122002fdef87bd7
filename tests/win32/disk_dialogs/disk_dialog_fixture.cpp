#include "tests/win32/disk_dialogs/disk_dialog_fixture.h"

#include <commctrl.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "engine/core/document.h"
#include "win32/settings/settings.h"
#include "win32/ui/app_state.h"
#include "win32/ui/command_line.h"
#include "win32/ui/explorer_list.h"
#include "win32/ui/main_window.h"
#include "win32/ui/document_view.h"

namespace vk::test {
namespace {

constexpr int kTextLength = 300;

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
    win32::CloseDocument(doc, false);
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
