#include "win32/common/dialog_helpers.h"

#include "engine/ports/prompts.h"
#include "engine/strings/string_ids.h"
#include "win32/ports/win32_prompts.h"

namespace vk {
namespace {

constexpr int kCaptionLength = 256;

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

}  // namespace

void CenterOverParent(HWND window) {
    RECT own;
    RECT parent;
    if (!GetWindowRect(window, &own) || !GetWindowRect(GetParent(window), &parent)) {
        return;
    }
    const LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;
    LONG left = parent.left + (parent.right - parent.left - width) / 2;
    const LONG top = parent.top + (parent.bottom - parent.top - height) / 2;
    // A dialog wider than its owner near the screen's left edge would hide
    // its left part; its top may stay where it falls.
    if (left < 0) {
        left = 0;
    }
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

INT_PTR RunDialog(HWND owner, UINT dialogId, DLGPROC procedure, LPARAM param) {
    const INT_PTR result = DialogBoxParamA(Module(), MAKEINTRESOURCEA(dialogId), owner, procedure, param);
    if (result == -1) {
        Tell(owner, TextNotice(kMsgWindowNotCreated, Tone::kError));
    }
    return result;
}

PROPSHEETPAGEA MakePropertyPage(UINT dialogId, DLGPROC procedure, LPARAM param, DWORD flags) {
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT | flags;
    page.hInstance = Module();
    page.pszTemplate = MAKEINTRESOURCEA(dialogId);
    page.pfnDlgProc = procedure;
    page.lParam = param;
    return page;
}

PROPSHEETHEADERA MakePropertySheet(HWND owner, const PROPSHEETPAGEA* pages, UINT count, DWORD flags) {
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | flags;
    header.hwndParent = owner;
    header.hInstance = Module();
    header.nPages = count;
    header.ppsp = pages;
    return header;
}

INT_PTR RunPropertySheet(PROPSHEETHEADERA& header, UINT captionId) {
    char caption[kCaptionLength] = "";
    const char* ownCaption = header.pszCaption;
    if (captionId != 0) {
        LoadStringA(Module(), captionId, caption, sizeof caption);
        header.pszCaption = caption;
    }
    const INT_PTR result = PropertySheetA(&header);
    // The caption buffer ends here; the header must not keep pointing at it.
    header.pszCaption = ownCaption;
    if (result == -1) {
        Tell(header.hwndParent, TextNotice(kMsgWindowNotCreated, Tone::kError));
    }
    return result;
}

int LoadFilterString(UINT id, char* buffer, int size) {
    if (size <= 0) {
        return 0;
    }
    buffer[0] = '\0';
    if (size < 2) {
        return 0;
    }
    // One character is kept back for the list's closing zero, which a filter
    // cut short by the buffer would otherwise lack.
    const int length = LoadStringA(Module(), id, buffer, size - 1);
    buffer[length + 1] = '\0';
    for (int i = 0; i < length; ++i) {
        if (buffer[i] == '|') {
            buffer[i] = '\0';
        }
    }
    return length;
}

void PumpMessages(HWND dialog) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // A quit request taken out here belongs to the main loop: put it back
        // and let the job finish first.
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (dialog == nullptr || !IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

}  // namespace vk
