// The property sheets and small dialogs the main window's commands open:
// disk-image properties (File > Properties), file properties (Edit >
// Properties), Options (Extras > Options) and Details (View > Details).
#pragma once

#include <windows.h>

namespace vk::win32 {

// The properties of the open document: "Volume", then "Errors" when it has a
// bad-sector list, then "Media" as well when Shift is held as it opens.
void ShowImageProperties(HWND owner);

// The "General" page of the first selected list item; the list is repainted
// when its attributes were changed.
void ShowFileProperties(HWND owner);

// The Options sheet: FAT name strength, default disk-format, copy options.
void ShowOptions(HWND owner);

// The Details dialog over the settings' column widths (capture them from the
// list first); on OK the widths go to the settings and to the list. Returns
// the dialog's result: 1 OK, 0 cancelled, -1 not shown.
INT_PTR ShowDetailsDialog(HWND owner);

// Gives the main list's four columns the settings' widths; with
// `adjustWindow` the main window also takes OptimalWindowWidth, keeping its
// place, height and stacking order.
void ApplyColumnWidths(bool adjustWindow);

}  // namespace vk::win32
