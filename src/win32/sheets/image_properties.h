// The disk-image properties sheet and its pages "Volume", "Errors" and
// "Media", with the Add sector dialog of the Errors page. The named
// functions are what the dialog procedures call; tests call them too.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace vk {
struct ImageDocument;
}

namespace vk::win32 {

// The sheet: Volume alone without a bad-sector list, Volume and Errors with
// one, all three when Shift is held as it opens.
int ImagePageCount(bool hasErrorList, bool shiftHeld);

// Opens the sheet over `doc`. With PSH_MODELESS in `extraFlags` the sheet's
// window comes back; else the sheet's result. -1 (after kMsgWindowNotCreated) when it
// could not be created.
INT_PTR OpenImagePropertiesSheet(HWND owner, ImageDocument& doc, bool shiftHeld, DWORD extraFlags = 0);

// "Volume": OEM text, label and space figures; Apply sets, changes or
// removes the label and is false (after kMsgLabelRootFull) when the root directory
// has no room for it.
INT_PTR CALLBACK VolumePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void OnInitVolumePage(HWND page, ImageDocument& doc);
bool ApplyVolumePage(HWND page);
void OnDestroyVolumePage(HWND page);

// "Errors": one row per bad sector; Apply rebuilds the list's bitmap from
// the rows.
INT_PTR CALLBACK ErrorsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void OnInitErrorsPage(HWND page, ImageDocument& doc);
// Appends a row for `sector` (no sorting, duplicates kept) and marks the page changed.
void AddErrorRow(HWND page, uint32_t sector);
// The Add button: asks for a sector number and appends its row.
void OnAddErrorSector(HWND page);
// Removes the selected row, if any; true when one went.
bool RemoveSelectedErrorRow(HWND page);
// Edit and Remove are enabled exactly while a row is selected.
void UpdateErrorButtons(HWND page);
void ApplyErrorsPage(HWND page);
void OnDestroyErrorsPage(HWND page);

// "Media": the geometry, read only.
INT_PTR CALLBACK MediaPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void OnInitMediaPage(HWND page, const ImageDocument& doc);
// "1234-5678" for the serial bytes 78 56 34 12 at boot-sector offset 0x27.
std::string VolumeSerialText(const uint8_t* bootSector);

// Add sector: a number below `totalSectors`, typed or picked.
enum class SectorInput {
    kValid,       // `sector` holds the number
    kNoNumber,    // no digit after the leading blanks (kMsgNoSectorNumber)
    kOutOfRange,  // not below the sector count (kMsgBadSectorNumber)
};
SectorInput ParseSectorInput(std::string_view text, uint32_t totalSectors, uint32_t& sector);
INT_PTR CALLBACK AddSectorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void OnInitAddSectorDialog(HWND dialog, uint32_t totalSectors);
// OK: the number typed, or false after kMsgNoSectorNumber or kMsgBadSectorNumber on the dialog.
bool ReadAddSectorInput(HWND dialog, uint32_t totalSectors, uint32_t& sector);
// Runs the dialog; false when it was cancelled.
bool AskSectorNumber(HWND owner, uint32_t totalSectors, uint32_t& sector);

}  // namespace vk::win32
