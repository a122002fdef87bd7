#include "win32/settings/about.h"

#include <shellapi.h>

#include "win32/common/dialog_helpers.h"
#include "win32/resources/dialog_ids.h"
#include "win32/settings/help.h"
#include "engine/strings/string_ids.h"

namespace vk::win32 {
namespace {

constexpr char kMailScheme[] = "mailto:";

void FillFromStringTable(HWND dialog, int fieldId, UINT stringId) {
    char text[MAX_PATH] = "";
    LoadStringA(GetModuleHandleA(nullptr), stringId, text, sizeof text);
    SetDlgItemTextA(dialog, fieldId, text);
}

// Failures of the shell are not the About box's to report.
void OpenWithShell(HWND dialog, const std::string& target) {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.hwnd = dialog;
    info.lpFile = target.c_str();
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
}

void OnAboutLink(HWND dialog, int fieldId) {
    const std::string target = AboutLinkTarget(dialog, fieldId);
    if (!target.empty()) {
        OpenWithShell(dialog, target);
    }
}

}  // namespace

void OnInitAboutDialog(HWND dialog) {
    CenterOverParent(dialog);
    FillFromStringTable(dialog, IDC_ABOUT_HOMEPAGE, kStrHomepageUrl);
    FillFromStringTable(dialog, IDC_ABOUT_EMAIL, kStrEmailAddress);
}

std::string AboutLinkTarget(HWND dialog, int fieldId) {
    char text[MAX_PATH] = "";
    GetDlgItemTextA(dialog, fieldId, text, sizeof text);
    if (text[0] == '\0') {
        return {};
    }
    return fieldId == IDC_ABOUT_EMAIL ? kMailScheme + std::string(text) : std::string(text);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitAboutDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ABOUT_OPEN_HOMEPAGE:
            OnAboutLink(dialog, IDC_ABOUT_HOMEPAGE);
            return TRUE;
        case IDC_ABOUT_SEND_EMAIL:
            OnAboutLink(dialog, IDC_ABOUT_EMAIL);
            return TRUE;
        case IDOK:  // Enter, though the box has no OK button
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

void ShowAbout(HWND owner) { RunDialog(owner, IDD_ABOUT, AboutDialogProc, 0); }

}  // namespace vk::win32
