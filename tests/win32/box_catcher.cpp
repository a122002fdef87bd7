#include "tests/win32/box_catcher.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>

#include "tests/support/box_flags.h"

namespace vk::test {
namespace {

// Control ids of the platform's dialogs.
constexpr int kMessageTextId = 0xFFFF;  // the message box's text
constexpr int kFileNameId = 0x47C;      // cmb13: the file name of an explorer-style file dialog
constexpr int kFileTypeId = 0x470;      // cmb1: the file-type filter
constexpr int kReadOnlyId = 0x410;      // chx1: "Open as read-only"

BoxCatcher* g_catcher = nullptr;

std::string WindowText(HWND window) {
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string SelectedItem(HWND combo) {
    const LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    const LRESULT length = index == CB_ERR ? CB_ERR : SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) {
        return {};
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

bool IsDialog(HWND window) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    return std::strcmp(name, "#32770") == 0;
}

struct IconSearch {
    HICON icon = nullptr;
    std::string longestStatic;
};

BOOL CALLBACK VisitChild(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<IconSearch*>(param);
    char name[16] = "";
    GetClassNameA(child, name, sizeof name);
    if (std::strcmp(name, "Static") != 0) {
        return TRUE;
    }
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        search->icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    } else {
        std::string text = WindowText(child);
        if (text.size() > search->longestStatic.size()) {
            search->longestStatic = text;
        }
    }
    return TRUE;
}

unsigned IconKind(HICON icon) {
    const struct {
        LPCSTR name;
        unsigned kind;
    } kIcons[] = {{IDI_HAND, kIconError}, {IDI_EXCLAMATION, kIconWarning},
                  {IDI_QUESTION, kIconQuestion}, {IDI_ASTERISK, kIconInformation}};
    for (const auto& i : kIcons) {
        if (icon != nullptr && icon == LoadIconA(nullptr, i.name)) {
            return i.kind;
        }
    }
    return 0;
}

unsigned ButtonKind(HWND box) {
    if (GetDlgItem(box, IDABORT)) {
        return kBoxAbortRetryIgnore;
    }
    if (GetDlgItem(box, kIdYesToAll)) {
        return kBoxYesAllNoCancel;
    }
    if (GetDlgItem(box, IDYES)) {
        return GetDlgItem(box, IDCANCEL) ? kBoxYesNoCancel : kBoxYesNo;
    }
    return kBoxOk;
}

BOOL CALLBACK FindDefaultPush(HWND child, LPARAM param) {
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if ((style & WS_VISIBLE) && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
        *reinterpret_cast<int*>(param) = GetDlgCtrlID(child);
        return FALSE;
    }
    return TRUE;
}

// The button Enter presses: the visible push button drawn as the default
// one (the message box marks its default so, and keeps IDOK as the
// dialog's default id whatever its buttons), or else the dialog's default id.
int DefaultButton(HWND box) {
    int found = 0;
    EnumChildWindows(box, FindDefaultPush, reinterpret_cast<LPARAM>(&found));
    if (found != 0) {
        return found;
    }
    const LRESULT id = SendMessageA(box, DM_GETDEFID, 0, 0);
    return HIWORD(id) == DC_HASDEFID ? LOWORD(id) : 0;
}

void Press(HWND dialog, int button) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0); }

}  // namespace

BoxCatcher::BoxCatcher() : BoxCatcher(false) {}

BoxCatcher::BoxCatcher(bool boxesOnly) : boxesOnly_(boxesOnly) {
    g_catcher = this;
    hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

BoxCatcher::~BoxCatcher() {
    UnhookWindowsHookEx(hook_);
    if (timer_ != 0) {
        KillTimer(nullptr, timer_);
    }
    g_catcher = nullptr;
}

BoxCatcher& BoxCatcher::Answer(int button) {
    Action a;
    a.button = button;
    actions_.push_back(a);
    return *this;
}

BoxCatcher& BoxCatcher::ChooseFile(const std::string& name, bool tickReadOnly) {
    Action a;
    a.file = true;
    a.button = IDOK;
    a.name = name;
    a.tickReadOnly = tickReadOnly;
    actions_.push_back(a);
    return *this;
}

LRESULT CALLBACK BoxCatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_catcher != nullptr) {
        g_catcher->OnActivate(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A dialog is activated while it is still being set up (the file dialog
// before its controls are filled), so it is handled from a thread timer,
// which its own modal loop dispatches once the set-up is done.
void BoxCatcher::OnActivate(HWND dialog) {
    if (!IsDialog(dialog) || std::find(waiting_.begin(), waiting_.end(), dialog) != waiting_.end()) {
        return;
    }
    waiting_.push_back(dialog);
    if (timer_ == 0) {
        timer_ = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, OnTimer);
    }
}

void CALLBACK BoxCatcher::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    BoxCatcher* self = g_catcher;
    if (self == nullptr) {
        return;
    }
    KillTimer(nullptr, self->timer_);
    self->timer_ = 0;
    std::vector<HWND> waiting;
    waiting.swap(self->waiting_);
    for (HWND dialog : waiting) {
        if (IsWindow(dialog)) {
            self->Handle(dialog);
        }
    }
}

void BoxCatcher::Handle(HWND dialog) {
    const bool seen = std::find(handled_.begin(), handled_.end(), dialog) != handled_.end();
    const bool fileDialog = GetDlgItem(dialog, kFileNameId) != nullptr;
    if (boxesOnly_ && !fileDialog && GetDlgItem(dialog, kMessageTextId) == nullptr) {
        return;
    }
    // A message box is handled once; a file dialog comes back to the front
    // after a box of its own (the overwrite question) and is answered again.
    if (seen && !fileDialog) {
        return;
    }
    if (!seen) {
        handled_.push_back(dialog);
        CaughtBox box;
        box.fileDialog = fileDialog;
        box.owner = GetWindow(dialog, GW_OWNER);
        box.caption = WindowText(dialog);
        if (fileDialog) {
            box.fileType = SelectedItem(GetDlgItem(dialog, kFileTypeId));
            HWND readOnly = GetDlgItem(dialog, kReadOnlyId);
            box.readOnlyShown = readOnly != nullptr && (GetWindowLongA(readOnly, GWL_STYLE) & WS_VISIBLE) != 0;
            box.fileName = WindowText(GetDlgItem(dialog, kFileNameId));
            char folder[MAX_PATH] = "";
            if (SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder)) > 0) {
                box.folder = folder;
            }
        } else {
            IconSearch search;
            EnumChildWindows(dialog, VisitChild, reinterpret_cast<LPARAM>(&search));
            HWND text = GetDlgItem(dialog, kMessageTextId);
            box.text = text ? WindowText(text) : search.longestStatic;
            box.buttons = ButtonKind(dialog);
            box.icon = IconKind(search.icon);
            box.defaultButton = DefaultButton(dialog);
        }
        boxes_.push_back(box);
    }

    if (actions_.empty() || actions_.front().file != fileDialog) {
        const bool okOnly = !fileDialog && ButtonKind(dialog) == kBoxOk;
        Press(dialog, okOnly ? IDOK : IDCANCEL);
        return;
    }
    const Action action = actions_.front();
    actions_.pop_front();
    if (fileDialog) {
        SetDlgItemTextA(dialog, kFileNameId, action.name.c_str());
        if (action.tickReadOnly) {
            CheckDlgButton(dialog, kReadOnlyId, BST_CHECKED);
        }
    }
    Press(dialog, action.button);
}

OwnerWindow::OwnerWindow() {
    hwnd_ = CreateWindowExA(0, "STATIC", "test owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
}

OwnerWindow::~OwnerWindow() { DestroyWindow(hwnd_); }

}  // namespace vk::test
