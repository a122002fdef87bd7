// Extras > Check disk and Extras > Undelete: two dialogs over the engine's
// checker (engine/fat/check/disk_check.h). The procedures only dispatch; the
// work is in the named functions, which the tests call on dialogs made from
// the real resources.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "engine/fat/check/disk_check.h"

namespace vk {
struct ImageDocument;
}  // namespace vk

namespace vk::win32 {

// The text a notice of the engine says, its inserts filled in.
std::string NoticeLine(const Notice& notice);

// Gives a report list its look and the columns `captionIds` (ended by 0),
// sharing the list's width by `shares` (parts of 100); column
// `rightAligned` (-1 for none) holds numbers.
void SetUpReportList(HWND list, const unsigned* captionIds, const int* shares, int rightAligned = -1);
// Appends a row of `texts` (one per column) with `param`; its index.
int AppendRow(HWND list, const std::vector<std::string>& texts, LPARAM param);

// --- Check disk -------------------------------------------------------------

struct CheckDiskState {
    ImageDocument* doc = nullptr;
    CheckReport shown;    // the rows of the list: what was found, or after Fix what was mended
    CheckReport pending;  // what a fix would mend now
    bool fixed = false;
};

INT_PTR CALLBACK CheckDiskDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Checks the document and fills the list, the summary and Fix.
void OnInitCheckDiskDialog(HWND dialog, CheckDiskState& state);
// One row per finding: kind, place, mend; each row's lParam its index.
void FillFindingList(HWND list, const CheckReport& report);
// "NAME: sound.", "NAME: 3 finding(s).", or why the disk cannot be checked.
std::string CheckSummary(const ImageDocument& doc, const CheckReport& report);
// Fix is offered when some finding can be mended and the image may be
// changed and saved: not opened read-only, not refused by the engine.
bool CanFix(const ImageDocument& doc, const CheckReport& report);
// What is wrong with the finding of row `row` (none: empty) under the list.
void ShowFindingDetails(HWND dialog, int row);
// Fix: mends the document, saves it as File > Save does, brings the main
// window's list and status bar in step, and shows what was mended.
void OnFixDisk(HWND dialog);

// Runs Check disk over the open document.
void ShowCheckDiskDialog(HWND owner);

// --- Undelete ---------------------------------------------------------------

struct UndeleteState {
    ImageDocument* doc = nullptr;
    std::vector<DeletedEntry> entries;  // the rows of the list, by lParam
};

INT_PTR CALLBACK UndeleteDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void OnInitUndeleteDialog(HWND dialog, UndeleteState& state);
// Lists the document's deleted entries anew; only recoverable rows have a
// check box.
void FillDeletedList(HWND dialog);
// The slots of the ticked rows, in list order.
std::vector<uint32_t> CheckedEntries(HWND dialog);
// True when a change of a row's state must be refused: a tick on a row that
// cannot be recovered.
bool RefusesStateChange(HWND dialog, const NMLISTVIEW& change);
// Undelete is offered while some row is ticked.
void UpdateUndeleteButton(HWND dialog);
// Undelete: recovers the ticked entries with the typed first character,
// shows what the engine said over the dialog, brings the main window in
// step and lists what is left.
void OnRunUndelete(HWND dialog);

// Runs Undelete over the open document.
void ShowUndeleteDialog(HWND owner);

}  // namespace vk::win32
