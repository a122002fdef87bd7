// The Options sheet and its three pages: "FAT name strength", "Default
// disk-format" and "Copy options". Each page writes the settings record on
// Apply only.
#pragma once

#include <windows.h>

namespace vk::win32 {

// With PSH_MODELESS in `extraFlags` the sheet's window comes back.
INT_PTR OpenOptionsSheet(HWND owner, DWORD extraFlags = 0);

INT_PTR CALLBACK NameStrengthPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void OnInitNameStrengthPage(HWND page);
void ApplyNameStrengthPage(HWND page);

INT_PTR CALLBACK DefaultFormatPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void OnInitDefaultFormatPage(HWND page);
void ApplyDefaultFormatPage(HWND page);

INT_PTR CALLBACK CopyOptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void OnInitCopyOptionsPage(HWND page);
void ApplyCopyOptionsPage(HWND page);

}  // namespace vk::win32
