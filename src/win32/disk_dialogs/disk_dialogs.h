// The floppy-disk dialogs of VOLKARN: New disk-image (an empty image or a
// copy of a disk), Write to disk, Custom disk-format, and the progress
// window both disk jobs show. Each dialog procedure only dispatches to the
// named functions below, which take the dialog and are what the tests drive.
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/core/disk_format.h"

namespace vk {
struct ImageDocument;
}

namespace vk::win32 {

// New disk-image (dialog 109). True when it ended with a new document.
bool RunNewImageDialog(HWND owner);
INT_PTR CALLBACK NewImageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// WM_INITDIALOG: TRUE, or FALSE when the focus was set because there is no
// removable drive to copy from.
BOOL OnInitNewImageDialog(HWND dialog);
// A click on "Copy data from disk" or "Disk capacity/format".
void OnNewImageCheckBox(HWND dialog, int control);
// The OK button: an empty image, or the disk copied into `doc`.
bool OnNewImageOk(HWND dialog, ImageDocument& doc);

// The removable drives into list 1116 as "A:" or "A: [LABEL]"; their number.
int FillDriveList(HWND dialog);
// The drive index the selected item of list 1116 names (0 = A:), or -1.
int SelectedDrive(HWND dialog);
// The format chosen in list 1115: its code, 0x100 after an accepted
// "Custom...", or -1.
int32_t SelectFormat(HWND dialog);

// Write to disk (dialog 118) for the open document. True when it ended
// after a write.
bool RunWriteToDiskDialog(HWND owner);
INT_PTR CALLBACK WriteToDiskDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL OnInitWriteToDiskDialog(HWND dialog);
// The OK button: the document written onto `drive` (0 = A:, -1: none chosen).
bool OnWriteToDiskOk(HWND dialog, const ImageDocument& doc, int drive);

// Custom disk-format (dialog 120). True after OK stored the custom row.
bool RunCustomFormatDialog(HWND owner);
INT_PTR CALLBACK CustomFormatDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void SetCustomDefaults(HWND dialog);
DiskFormat ReadCustomFormat(HWND dialog);
void UpdateCustomCapacity(HWND dialog);
// The OK button: the fields checked and, when they hold, the custom row stored.
bool OnCustomFormatOk(HWND dialog);

}  // namespace vk::win32
