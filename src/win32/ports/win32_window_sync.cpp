// The window-sync port over the main window: its status bar and explorer
// list follow what the engine's operations change.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "engine/strings/text_format.h"
#include "engine/core/document.h"
#include "win32/ports/win32_prompts.h"
#include "engine/ports/window_sync.h"
#include "engine/strings/string_ids.h"
#include "win32/ui/current_folder.h"
#include "win32/ui/list_sync.h"
#include "win32/ui/main_window.h"

namespace vk {
namespace {

using win32::MainParts;

// The status formats ("%lu Object(s)") are short; the filled text too.
constexpr int kStatusFormatLength = 64;
constexpr int kStatusTextLength = 128;

int g_waitDepth = 0;

// In a folder the bar has a second part with the folder's path, as the
// title shows it; at the root it is one part, the count alone.
constexpr int kCountPartWidth = 200;

void ShowFolderPart(HWND statusBar) {
    const win32::CurrentFolder& folder = win32::TheFolder();
    if (folder.AtRoot()) {
        int whole = -1;
        SendMessageA(statusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&whole));
        return;
    }
    int parts[2] = {kCountPartWidth, -1};
    SendMessageA(statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    const std::string path = std::string(1, '\\') + folder.Path();
    SendMessageA(statusBar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(path.c_str()));
}

}  // namespace

void UpdateStatusText() {
    const win32::MainWindowParts& parts = MainParts();
    if (parts.list == nullptr || parts.statusBar == nullptr) {
        return;
    }
    // Without an image there is nothing to count: the bar stays empty.
    if (!IsWindowEnabled(parts.list)) {
        ShowFolderPart(parts.statusBar);
        SetWindowTextA(parts.statusBar, "");
        return;
    }
    ShowFolderPart(parts.statusBar);
    const auto selected = static_cast<unsigned long>(SendMessageA(parts.list, LVM_GETSELECTEDCOUNT, 0, 0));
    const UINT formatId = selected > 0 ? kStrSelectedCount : kStrObjectCount;
    const unsigned long count =
        selected > 0 ? selected : static_cast<unsigned long>(SendMessageA(parts.list, LVM_GETITEMCOUNT, 0, 0));
    char format[kStatusFormatLength] = "";
    LoadStringA(GetModuleHandleA(nullptr), formatId, format, sizeof format);
    char text[kStatusTextLength] = "";
    wsprintfA(text, format, count);
    SetWindowTextA(parts.statusBar, text);
}

void BeginWaitCursor() {
    if (g_waitDepth++ == 0) {
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    }
}

void EndWaitCursor() {
    if (g_waitDepth > 0 && --g_waitDepth == 0) {
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    }
}

}  // namespace vk
