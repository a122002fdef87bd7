// What the pages and dialogs of this folder share: their state kept with the
// window, the sheet's changed and result signals, and small text setters.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

namespace vk::win32 {

// The caller's parameter of a page, from WM_INITDIALOG's PROPSHEETPAGE.
inline LPARAM PageParam(LPARAM initParam) { return reinterpret_cast<const PROPSHEETPAGEA*>(initParam)->lParam; }

// A page's or dialog's own record, kept in DWLP_USER.
template <typename T>
T* WindowData(HWND window) {
    return reinterpret_cast<T*>(GetWindowLongPtrA(window, DWLP_USER));
}
inline void SetWindowData(HWND window, void* data) {
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
}

// Tells the sheet that `page` has changes, which enables Apply.
void MarkPageChanged(HWND page);

// Answers a notification through DWLP_MSGRESULT.
INT_PTR PageResult(HWND page, LRESULT result);

// Centres the sheet that holds `page` over the sheet's owner.
void CenterSheet(HWND page);

// The look of the main list: full-row selection, double buffering and the
// system's explorer theme when the theme library is there.
void ApplyListLook(HWND list);

void SetItemText(HWND dialog, int control, const std::string& text);
std::string ItemText(HWND dialog, int control, int maxLength);
// Unsigned decimal, no grouping.
void SetItemNumber(HWND dialog, int control, uint64_t value);
// The user's digit grouping; plain digits past 32 bits.
void SetItemGroupedNumber(HWND dialog, int control, uint64_t value);

// The help topic of a page or dialog; message 9 over `owner` when no help
// window comes.
void ShowTopic(HWND owner, const char* topic);

}  // namespace vk::win32
