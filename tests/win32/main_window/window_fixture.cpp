#include "tests/win32/main_window/window_fixture.h"

#include <commctrl.h>

#include <cstring>

#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "engine/core/new_image.h"
#include "engine/fat/dir/dir_entry.h"
#include "win32/resources/command_ids.h"
#include "win32/settings/settings.h"
#include "win32/ui/app_state.h"
#include "win32/ui/explorer_list.h"
#include "win32/ui/main_window.h"
#include "win32/ui/message_loop.h"
#include "win32/ui/document_view.h"

namespace vk::test {
namespace {

constexpr uint32_t kFormat720K = 0xF9;

std::vector<UINT> g_commands;
WNDPROC g_windowProc = nullptr;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Commands only: controls' notifications carry their window.
    if (message == WM_COMMAND && lParam == 0) {
        g_commands.push_back(LOWORD(wParam));
    }
    return CallWindowProcA(g_windowProc, window, message, wParam, lParam);
}

bool RegisterOnce() {
    static const bool registered = win32::RegisterMainWindowClass(GetModuleHandleA(nullptr));
    return registered;
}

}  // namespace

void WriteImageFile(const std::string& path, const std::vector<TestEntry>& entries) {
    ImageDocument doc;
    ASSERT_TRUE(win32::Shown(nullptr, CreateEmptyImage(doc, kFormat720K, 0)));
    const Layout layout = doc.GetLayout();
    uint8_t* entry = doc.Area() + layout.rootStart;
    for (const TestEntry& e : entries) {
        std::memcpy(entry + kDirName, e.name11, kDirFullNameLength);
        entry[kDirAttr] = e.attr;
        Store16(entry + kDirTime, e.time);
        Store16(entry + kDirDate, e.date);
        Store32(entry + kDirSize, e.size);
        entry += kDirEntrySize;
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    DWORD written = 0;
    WriteFile(file, doc.imageBuffer.data(), doc.imageSize, &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(doc.imageSize, written);
}

ScratchFolder::ScratchFolder() {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    static int serial = 0;
    path_ = std::string(temp) + "vkwin" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial);
    CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path_ + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = path_ + "\\" + data.cFileName;
            SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(name.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path_.c_str());
}

void DrainMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void MainWindowTest::SetUp() {
    win32::App().instance = GetModuleHandleA(nullptr);
    win32::App().labelEditActive = false;
    win32::TheSettings() = win32::Settings{};
    win32::SetDefaultColumnWidths(win32::TheSettings());
    g_commands.clear();
    g_windowProc = nullptr;
}

void MainWindowTest::TearDown() {
    ImageDocument& doc = win32::TheDocument();
    doc.modified = false;
    win32::CloseDocument(doc, false);
    if (window_ != nullptr && IsWindow(window_)) {
        DestroyWindow(window_);
    }
    window_ = nullptr;
    DrainMessages();
}

bool MainWindowTest::StartWindow(const win32::CommandLine& line) {
    if (!RegisterOnce()) {
        ADD_FAILURE() << "class not registered";
        return false;
    }
    win32::TheCommandLine() = line;
    window_ = win32::CreateMainWindow(GetModuleHandleA(nullptr));
    if (window_ != nullptr) {
        ShowWindow(window_, SW_SHOWNOACTIVATE);
        UpdateWindow(window_);
    }
    return window_ != nullptr;
}

HWND MainWindowTest::List() const { return GetDlgItem(window_, IDC_EXPLORER_LIST); }

std::string MainWindowTest::Title() const {
    char text[300] = "";
    GetWindowTextA(window_, text, sizeof text);
    return text;
}

std::string MainWindowTest::StatusText() const {
    char text[300] = "";
    GetWindowTextA(GetDlgItem(window_, IDC_STATUS_BAR), text, sizeof text);
    return text;
}

std::string MainWindowTest::StatusPart(int part) const {
    HWND bar = GetDlgItem(window_, IDC_STATUS_BAR);
    if (part >= static_cast<int>(SendMessageA(bar, SB_GETPARTS, 0, 0))) {
        return std::string();
    }
    char text[300] = "";
    SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
    return text;
}

int MainWindowTest::ItemCount() const { return static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0)); }

std::string MainWindowTest::ItemText(int item, int column) const {
    char text[260] = "";
    LVITEMA query = {};
    query.iSubItem = column;
    query.pszText = text;
    query.cchTextMax = sizeof text;
    SendMessageA(List(), LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&query));
    return text;
}

void MainWindowTest::Select(int item, bool selected) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = selected ? (LVIS_SELECTED | LVIS_FOCUSED) : 0;
    SendMessageA(List(), LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
}

DWORD MainWindowTest::ViewBits() const {
    return static_cast<DWORD>(GetWindowLongA(List(), GWL_STYLE)) & LVS_TYPEMASK;
}

void MainWindowTest::Command(UINT id) { SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void MainWindowTest::UseProgramAccelerators() {
    win32::App().accelerators = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(nullptr, win32::App().accelerators);
}

void MainWindowTest::PressKey(BYTE key, bool control, bool alt, bool shift, HWND target) {
    BYTE keys[256] = {};
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys[VK_MENU] = alt ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG msg = {};
    msg.hwnd = target != nullptr ? target : List();
    msg.message = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    msg.wParam = key;
    msg.lParam = alt ? (1 | (1 << 29)) : 1;
    if (!win32::PreTranslateLoopMessage(Window(), win32::App().accelerators, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    BYTE none[256] = {};
    SetKeyboardState(none);
}

void MainWindowTest::RecordCommands() {
    g_commands.clear();
    g_windowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
}

const std::vector<UINT>& MainWindowTest::Commands() const { return g_commands; }

}  // namespace vk::test
