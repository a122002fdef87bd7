// The Details dialog: the widths of the main list's four columns, typed per
// column, and whether the main window takes the width that shows them all.
#pragma once

#include <windows.h>

#include "win32/settings/settings.h"

namespace vk::win32 {

// The dialog's working copy; the settings change only after OK.
struct DetailsWork {
    int widths[kColumnCount] = {0, 0, 0, 0};
    bool adjustWindow = false;
};

INT_PTR CALLBACK DetailsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void OnInitDetailsDialog(HWND dialog, DetailsWork& work);
// Keeps the typed width for `column` when it is a number from 1 to 999.
void StoreTypedWidth(HWND dialog, int column);
// Shows the working width of `column` in the width field.
void ShowColumnWidth(HWND dialog, int column);
// OK: keeps the width typed for the selected column and the adjust choice.
void OnDetailsOk(HWND dialog);

// Puts an accepted working copy into the settings and onto the list.
void AcceptDetails(const DetailsWork& work);

}  // namespace vk::win32
