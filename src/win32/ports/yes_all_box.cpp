// The question with Yes, Yes to all, No and Cancel: the platform's message
// box has no such set, so this box is ours, laid out like one.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "win32/common/dialog_helpers.h"
#include "win32/ports/win32_prompts.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

// The message box's own control id of its text, so that tools reading boxes
// find this one's text where they look for it.
constexpr int kTextId = 0xFFFF;
constexpr int kIconId = 0x0014;

constexpr int kMargin = 11;
constexpr int kIconSize = 32;
constexpr int kIconGap = 12;
constexpr int kTextWidthLimit = 420;
constexpr int kButtonMinWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kButtonPadding = 16;
constexpr int kRowGap = 18;

struct BoxSetup {
    const char* text;
    const char* caption;
};

struct Button {
    int id;
    UINT textId;
};
const Button kButtons[] = {
    {IDYES, kStrButtonYes}, {kYesToAllId, kStrButtonYesToAll}, {IDNO, kStrButtonNo}, {IDCANCEL, kStrButtonCancel}};

std::string LoadButtonText(UINT id) {
    char text[64] = "";
    LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return text;
}

HWND AddControl(HWND dialog, const char* className, const char* text, DWORD style, int id, HFONT font) {
    HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                   nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

SIZE TextSize(HWND dialog, HFONT font, const char* text, int widthLimit, UINT flags) {
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r = {0, 0, widthLimit, 0};
    DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_NOPREFIX | flags);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    return {r.right - r.left, r.bottom - r.top};
}

void LayOut(HWND dialog, const BoxSetup& setup) {
    SetWindowTextA(dialog, setup.caption);
    const HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    HWND icon = AddControl(dialog, "STATIC", "", SS_ICON, kIconId, font);
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_QUESTION)), 0);
    HWND text = AddControl(dialog, "STATIC", setup.text, SS_LEFT | SS_NOPREFIX, kTextId, font);
    const SIZE textSize = TextSize(dialog, font, setup.text, kTextWidthLimit, DT_WORDBREAK);

    int buttonWidth = kButtonMinWidth;
    std::vector<std::string> labels;
    for (const Button& b : kButtons) {
        labels.push_back(LoadButtonText(b.textId));
        buttonWidth = std::max<int>(buttonWidth, TextSize(dialog, font, labels.back().c_str(), 0, DT_SINGLELINE).cx +
                                                     kButtonPadding);
    }
    const int count = static_cast<int>(sizeof kButtons / sizeof kButtons[0]);
    const int rowWidth = count * buttonWidth + (count - 1) * kButtonGap;
    const int textLeft = kMargin + kIconSize + kIconGap;
    const int clientWidth = std::max<int>(textLeft + textSize.cx + kMargin, rowWidth + 2 * kMargin);
    const int bodyHeight = std::max<int>(kIconSize, textSize.cy);
    const int rowTop = kMargin + bodyHeight + kRowGap;
    const int clientHeight = rowTop + kButtonHeight + kMargin;

    MoveWindow(icon, kMargin, kMargin, kIconSize, kIconSize, FALSE);
    MoveWindow(text, textLeft, kMargin + std::max(0, (kIconSize - static_cast<int>(textSize.cy)) / 2), textSize.cx,
               textSize.cy, FALSE);
    int x = (clientWidth - rowWidth) / 2;
    for (int i = 0; i < count; ++i) {
        // No is the default: one key press must not delete everything.
        const DWORD kind = kButtons[i].id == IDNO ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        HWND button = AddControl(dialog, "BUTTON", labels[i].c_str(), kind | WS_TABSTOP, kButtons[i].id, font);
        MoveWindow(button, x, rowTop, buttonWidth, kButtonHeight, FALSE);
        x += buttonWidth + kButtonGap;
    }
    RECT frame = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CenterOverParent(dialog);
    SendMessageA(dialog, DM_SETDEFID, IDNO, 0);
    SetFocus(GetDlgItem(dialog, IDNO));
}

INT_PTR CALLBACK YesAllProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        LayOut(dialog, *reinterpret_cast<const BoxSetup*>(lParam));
        MessageBeep(MB_ICONQUESTION);
        return FALSE;  // the focus is set
    case WM_COMMAND:
        for (const Button& b : kButtons) {
            if (LOWORD(wParam) == b.id) {
                EndDialog(dialog, b.id);
                return TRUE;
            }
        }
        return FALSE;
    default:
        return FALSE;
    }
}

// A template without controls: they are made and measured at WM_INITDIALOG.
std::vector<WORD> EmptyTemplate() {
    DLGTEMPLATE head = {};
    head.style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    std::vector<WORD> words(sizeof head / sizeof(WORD));
    CopyMemory(words.data(), &head, sizeof head);
    words.push_back(0);  // no menu
    words.push_back(0);  // the dialog class
    words.push_back(0);  // an empty title; set from the caption
    words.push_back(8);  // points
    for (const char* p = "MS Shell Dlg"; ; ++p) {
        words.push_back(static_cast<WORD>(*p));
        if (*p == '\0') {
            break;
        }
    }
    return words;
}

}  // namespace

int ShowYesAllBox(HWND owner, const char* text, const char* caption) {
    const std::vector<WORD> dialogTemplate = EmptyTemplate();
    BoxSetup setup{text, caption};
    const INT_PTR result = DialogBoxIndirectParamA(
        GetModuleHandleA(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), owner, YesAllProc,
        reinterpret_cast<LPARAM>(&setup));
    return result <= 0 ? kNoBoxShown : static_cast<int>(result);
}

}  // namespace vk
