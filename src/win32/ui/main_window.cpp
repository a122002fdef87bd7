#include "win32/ui/main_window.h"

#include <commctrl.h>

#include "engine/core/document.h"
#include "win32/dragdrop/dragdrop.h"
#include "win32/ports/main_window.h"
#include "win32/ports/win32_prompts.h"
#include "engine/ports/window_sync.h"
#include "win32/resources/command_ids.h"
#include "win32/settings/help.h"
#include "win32/settings/settings.h"
#include "win32/ui/app_state.h"
#include "win32/ui/file_options.h"
#include "win32/ui/commands.h"
#include "win32/ui/document_view.h"
#include "win32/ui/folder_commands.h"
#include "win32/ui/list_sync.h"
#include "win32/ui/startup_commands.h"

namespace vk::win32 {
namespace {

constexpr int kWindowHeightDialogUnits = 186;

void LayOut(HWND window) {
    const MainWindowParts& parts = MainParts();
    RECT client;
    GetClientRect(window, &client);
    MoveWindow(parts.list, 0, 0, client.right, client.bottom - parts.statusHeight, TRUE);
    SendMessageA(parts.statusBar, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

LRESULT OnCreate(HWND window) {
    MainWindowParts& parts = MainParts();
    parts = {};
    parts.window = window;
    InitHelp();
    parts.list = CreateExplorerList(window, App().instance);
    parts.statusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", window, IDC_STATUS_BAR);
    if (parts.list == nullptr || parts.statusBar == nullptr) {
        return -1;
    }
    RECT status;
    GetClientRect(parts.statusBar, &status);
    parts.statusHeight = status.bottom;
    LayOut(window);
    parts.images = CreateListImages(App().instance);
    SendMessageA(parts.list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(parts.images.largeIcons));
    SendMessageA(parts.list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(parts.images.smallIcons));
    SetViewMode(parts.list, TheSettings().viewType);
    EnableWindow(parts.list, FALSE);
    SetMainWindow(window);
    return RunCommandLineActions(window) ? 0 : -1;
}

// The window's restored rectangle, and whether it is maximized, for the next start.
void NoteWindowPlace(HWND window, WindowPlace& place) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (window == nullptr || !GetWindowPlacement(window, &placement)) {
        return;
    }
    const RECT& normal = placement.rcNormalPosition;
    place.left = normal.left;
    place.top = normal.top;
    place.width = normal.right - normal.left;
    place.height = normal.bottom - normal.top;
    place.maximized = placement.showCmd == SW_SHOWMAXIMIZED;
}

// Puts a window not shown yet where the settings say it stood, when that
// still lies on a screen: a monitor that is gone would hide it.
void RestoreWindowPlace(HWND window, const WindowPlace& place) {
    if (!place.Known()) {
        return;
    }
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    placement.showCmd = SW_HIDE;
    placement.rcNormalPosition = {place.left, place.top, place.left + place.width, place.top + place.height};
    if (MonitorFromRect(&placement.rcNormalPosition, MONITOR_DEFAULTTONULL) == nullptr) {
        return;
    }
    SetWindowPlacement(window, &placement);
}

// False when the document was kept and the window must stay.
bool OnClose() {
    {
        WaitCursor wait;
        if (!CloseDocument(TheDocument(), false)) {
            return false;
        }
    }
    RemoveDragTempDirectory();
    UninitHelp();
    CaptureColumnWidths(MainParts().list);
    NoteWindowPlace(MainParts().window, TheSettings().window);
    SaveSettings(TheSettings());
    return true;
}

void OnDestroy() {
    MainWindowParts& parts = MainParts();
    // The platform holds the drop target until it is revoked from a live window.
    RevokeDropTarget();
    UninitHelp();
    DestroyListImages(parts.images);
    parts = {};
    SetMainWindow(nullptr);
    PostQuitMessage(0);
}

// The list's notifications. Sets `handled` when the answer is ours alone.
LRESULT OnNotify(HWND window, NMHDR* header, bool& handled) {
    const MainWindowParts& parts = MainParts();
    if (header->hwndFrom != parts.list || parts.list == nullptr) {
        return 0;
    }
    switch (header->code) {
    case LVN_GETDISPINFOA:
        AnswerDisplayInfo(parts.list, reinterpret_cast<NMLVDISPINFOA*>(header));
        break;
    case LVN_BEGINLABELEDITA:
        handled = true;
        if (TheDocument().changeBlock != ChangeBlock::kNone) {
            return TRUE;  // no rename on an image the engine keeps read-only
        }
        App().labelEditActive = true;
        FillReopenedEditor(parts.list);
        return FALSE;
    case LVN_ENDLABELEDITA:
        handled = true;
        return EndLabelEdit(window, parts.list, reinterpret_cast<NMLVDISPINFOA*>(header));
    case LVN_ITEMCHANGED:
        UpdateStatusText();
        break;
    case LVN_BEGINDRAG:
        StartDragOut(window, TheDocument(), SelectedEntries(parts.list));
        break;
    case NM_RCLICK: {
        POINT cursor;
        GetCursorPos(&cursor);
        ShowContextMenu(window, cursor);
        break;
    }
    case NM_DBLCLK:
        if (GetKeyState(VK_MENU) < 0) {
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(ID_EDIT_PROPERTIES, 0), 0);
        } else {
            OpenListItem(window, reinterpret_cast<NMITEMACTIVATE*>(header)->iItem);
        }
        break;
    case NM_RETURN:
        OpenListItem(window, static_cast<int>(SendMessageA(parts.list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                                           LVNI_FOCUSED)));
        break;
    default:
        break;
    }
    return 0;
}

}  // namespace

MainWindowParts& MainParts() {
    static MainWindowParts parts;
    return parts;
}

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.style = 0;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kMainIconId));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
    wc.lpszClassName = kMainWindowClass;
    return RegisterClassA(&wc) != 0;
}

HWND CreateMainWindow(HINSTANCE instance) {
    const int height = MulDiv(kWindowHeightDialogUnits, HIWORD(GetDialogBaseUnits()), 8);
    HWND window = CreateWindowExA(0, kMainWindowClass, ProgramCaption(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, FirstWindowWidth(), height, nullptr, nullptr, instance,
                                  nullptr);
    if (window != nullptr) {
        RestoreWindowPlace(window, TheSettings().window);
    }
    return window;
}

int StartShowCommand(int show) {
    const bool normalShow = show == SW_SHOWNORMAL || show == SW_SHOWDEFAULT || show == SW_SHOW;
    return TheSettings().window.maximized && normalShow ? SW_SHOWMAXIMIZED : show;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_SIZE:
        if (MainParts().list != nullptr) {
            LayOut(window);
        }
        break;
    case WM_SETFOCUS:
        // A disabled list cannot take the keyboard: the window keeps it then.
        if (MainParts().list != nullptr && IsWindowEnabled(MainParts().list)) {
            SetFocus(MainParts().list);
        }
        break;
    case WM_CLOSE:
        if (!OnClose()) {
            return 0;
        }
        break;
    case WM_SYSCOLORCHANGE:
        SendMessageA(MainParts().list, message, wParam, lParam);
        SendMessageA(MainParts().statusBar, message, wParam, lParam);
        break;
    case WM_NOTIFY: {
        bool handled = false;
        const LRESULT answer = OnNotify(window, reinterpret_cast<NMHDR*>(lParam), handled);
        if (handled) {
            return answer;
        }
        break;
    }
    case WM_COMMAND:
        ExecuteCommand(LOWORD(wParam), window);
        break;
    case WM_INITMENUPOPUP:
        UpdateMenuState(reinterpret_cast<HMENU>(wParam));
        break;
    case kReopenLabelEditMessage:
        ReopenLabelEdit(MainParts().list, static_cast<int>(wParam));
        return 0;
    case kDroppedFilesMessage:
    {
        const std::string image =
            HandleDroppedFiles(reinterpret_cast<HDROP>(wParam), window, MainParts().list, TheDocument(),
                               CurrentFileOptions());
        if (!image.empty()) {
            OpenDocument(TheDocument(), window, image);
        }
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace vk::win32
