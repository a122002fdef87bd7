// Small services every dialog of VOLKARN shares.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace vk {

// Places `window` over the middle of its parent (or owner). A left edge that
// would fall off the screen is moved to 0; the top is left as computed.
// Nothing happens when either rectangle cannot be read.
void CenterOverParent(HWND window);

// Runs dialog resource `dialogId` modally. When it cannot be created the
// user is told (kMsgWindowNotCreated) and -1 comes back.
INT_PTR RunDialog(HWND owner, UINT dialogId, DLGPROC procedure, LPARAM param);

// One page of a property sheet: its dialog resource, procedure and parameter.
// PSP_HASHELP and the like go in `flags`.
PROPSHEETPAGEA MakePropertyPage(UINT dialogId, DLGPROC procedure, LPARAM param, DWORD flags = 0);

// A sheet over `count` pages (PSH_PROPSHEETPAGE), owned by `owner`; the
// caption is filled in by RunPropertySheet.
PROPSHEETHEADERA MakePropertySheet(HWND owner, const PROPSHEETPAGEA* pages, UINT count, DWORD flags = 0);

// Runs a sheet with caption string `captionId` (0: the header's own). When
// it cannot be created its parent is told (kMsgWindowNotCreated) and -1 comes back.
INT_PTR RunPropertySheet(PROPSHEETHEADERA& header, UINT captionId);

// Loads filter text `id` ("name|pattern|...|") from the program's string
// table and turns every '|' into a zero, giving the double-zero-terminated
// list of the common file dialogs. Returns the loaded length.
int LoadFilterString(UINT id, char* buffer, int size);

// Dispatches every message waiting in the thread's queue, the keys of
// `dialog` through its dialog navigation, so that a long job on the GUI
// thread keeps its Cancel button alive.
void PumpMessages(HWND dialog);

}  // namespace vk
