#include "win32/sheets/page_support.h"

#include <vector>

#include "win32/common/dialog_helpers.h"
#include "engine/strings/text_format.h"
#include "win32/settings/help.h"
#include "win32/ui/app_state.h"

namespace vk::win32 {

void MarkPageChanged(HWND page) { PropSheet_Changed(GetParent(page), page); }

INT_PTR PageResult(HWND page, LRESULT result) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

void CenterSheet(HWND page) { CenterOverParent(GetParent(page)); }

void ApplyListLook(HWND list) {
    const DWORD look = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, look, look);
    if (App().setWindowTheme != nullptr) {
        App().setWindowTheme(list, L"Explorer", nullptr);
    }
}

void SetItemText(HWND dialog, int control, const std::string& text) {
    SetDlgItemTextA(dialog, control, text.c_str());
}

std::string ItemText(HWND dialog, int control, int maxLength) {
    std::vector<char> buffer(static_cast<size_t>(maxLength) + 1, '\0');
    const UINT length = GetDlgItemTextA(dialog, control, buffer.data(), maxLength + 1);
    return std::string(buffer.data(), length);
}

void SetItemNumber(HWND dialog, int control, uint64_t value) {
    SetItemText(dialog, control, std::to_string(value));
}

void SetItemGroupedNumber(HWND dialog, int control, uint64_t value) {
    std::string text;
    if (value > UINT32_MAX) {
        text = std::to_string(value);
    } else {
        FormatNumber(static_cast<uint32_t>(value), text);
    }
    SetItemText(dialog, control, text);
}

void ShowTopic(HWND owner, const char* topic) { ShowHelp(owner, topic); }

}  // namespace vk::win32
