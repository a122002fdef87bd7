// The Choose file dialog.
#include "win32/sheets/member_dialog.h"

#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "engine/strings/text_format.h"
#include "win32/common/dialog_helpers.h"
#include "win32/resources/member_dialog_ids.h"
#include "win32/sheets/page_support.h"

namespace vk::win32 {
namespace {

constexpr char kArchiveTopic[] = "Archive";

HWND List(HWND dialog) { return GetDlgItem(dialog, IDC_MEMBER_LIST); }

// The prompt with the zip's name, '&' in it doubled so that it underlines nothing.
std::string Prompt(std::string_view zipName) {
    std::string name;
    for (const char c : zipName) {
        name += c;
        if (c == '&') name += '&';
    }
    std::string text;
    ExpandInserts(LoadText(kStrMemberPrompt), {name}, text);
    return text;
}

int SelectedRow(HWND dialog) { return static_cast<int>(SendMessageA(List(dialog), LB_GETCURSEL, 0, 0)); }

void UpdateMemberOk(HWND dialog) { EnableWindow(GetDlgItem(dialog, IDOK), SelectedRow(dialog) >= 0 ? TRUE : FALSE); }

void ChooseAndEnd(HWND dialog) {
    if (OnMemberOk(dialog)) EndDialog(dialog, IDOK);
}

}  // namespace

void OnInitMemberDialog(HWND dialog, MemberChoice& choice) {
    SetWindowData(dialog, &choice);
    CenterOverParent(dialog);
    SetItemText(dialog, IDC_MEMBER_PROMPT, Prompt(choice.imageName));
    HWND list = List(dialog);
    for (const std::string& name : choice.members) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    if (!choice.members.empty()) SendMessageA(list, LB_SETCURSEL, 0, 0);
    UpdateMemberOk(dialog);
    SetFocus(list);
}

bool OnMemberOk(HWND dialog) {
    MemberChoice* choice = WindowData<MemberChoice>(dialog);
    const int row = SelectedRow(dialog);
    if (choice == nullptr || row < 0 || static_cast<size_t>(row) >= choice->members.size()) {
        return false;
    }
    choice->chosen = choice->members[static_cast<size_t>(row)];
    return true;
}

INT_PTR CALLBACK MemberDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitMemberDialog(dialog, *reinterpret_cast<MemberChoice*>(lParam));
        return FALSE;  // the focus is on the list
    case WM_HELP:
        ShowTopic(dialog, kArchiveTopic);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_MEMBER_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE) UpdateMemberOk(dialog);
            if (HIWORD(wParam) == LBN_DBLCLK) ChooseAndEnd(dialog);
            return TRUE;
        case IDOK:
            ChooseAndEnd(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_MEMBER_HELP:
            ShowTopic(dialog, kArchiveTopic);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

std::string RunMemberDialog(HWND owner, MemberChoice& choice) {
    choice.chosen.clear();
    const INT_PTR result = RunDialog(owner, IDD_CHOOSE_MEMBER, MemberDialogProc, reinterpret_cast<LPARAM>(&choice));
    return result == IDOK ? choice.chosen : std::string();
}

}  // namespace vk::win32
