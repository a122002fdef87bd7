// The explorer list of the main window: the list control with its columns,
// image lists and view modes, the column texts it asks for on display, and
// the in-place label editor that renames an entry.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "win32/settings/settings.h"

namespace vk::win32 {

// One column of the list, in display order; the Details dialog reads the
// captions up to the row with caption id 0.
struct ColumnSpec {
    UINT captionId;
    int format;          // LVCFMT_LEFT or LVCFMT_RIGHT
    int defaultWidth;    // dialog units
    const char* valueName;  // the registry value of its width
};
extern const ColumnSpec kColumnSpec[kColumnCount + 1];

// The list's style without its view bits. The disabled bit is kept apart:
// it is the document's state, not a choice of view.
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_EDITLABELS;

// Image indexes of the items.
enum ListImage : int { kImageFolder = 0, kImageFolderOpen = 1, kImageFile = 2 };

// Resource icons for when the shell offers none.
constexpr UINT kIconFolder = 110;
constexpr UINT kIconFolderOpen = 111;
constexpr UINT kIconFile = 112;

// The default column widths in pixels: dialog units times the horizontal
// dialog base unit over four.
void SetDefaultColumnWidths(Settings& settings);

// Creates the list control as a child of `parent`, with its extended styles,
// theme and the four columns at the settings' widths. Null on failure.
HWND CreateExplorerList(HWND parent, HINSTANCE instance);

// The two image lists (16 and 32 pixels) with folder, open folder and file.
struct ImageLists {
    HIMAGELIST smallIcons = nullptr;
    HIMAGELIST largeIcons = nullptr;
};
ImageLists CreateListImages(HINSTANCE instance);
void DestroyListImages(ImageLists& lists);

// Switches the view (0 icon, 1 report, 2 small icon, 3 list) and stores it.
void SetViewMode(HWND list, uint32_t mode);
// Gives the columns the settings' widths when the list shows report view;
// in the other views they wait for it.
void ShowColumnWidths(HWND list);
// Keeps the widths the user gave the columns. Only report view shows the
// columns: elsewhere the list answers with its item width, not theirs.
void CaptureColumnWidths(HWND list);
// The window width that shows all four columns, as Details' Optimum width
// sets it: their sum with a frame and scroll-bar allowance.
int OptimalWindowWidth();
// The main window's width at its first start: the four columns whole, with
// the list's sunken edges and a vertical scroll bar beside them, in the
// window's real frame; never less than OptimalWindowWidth, never wider
// than the screen's work area.
int FirstWindowWidth();

// The entry offset an item refers to; false when the item does not exist.
bool ItemEntryOffset(HWND list, int index, uint32_t& offset);

// LVN_GETDISPINFO: the texts of columns 1 to 3 from the item's entry.
void AnswerDisplayInfo(HWND list, NMLVDISPINFOA* info);

// Rename: starts the label editor on the focused item (item 0 without one).
void BeginRename(HWND list);
// LVN_ENDLABELEDIT: renames the entry; TRUE lets the list show the new name.
// A name refused as no name or as taken is said, and the editor opens
// again on the item with the typed text selected (posted to `owner` as
// kReopenLabelEditMessage), as Explorer does.
LRESULT EndLabelEdit(HWND owner, HWND list, NMLVDISPINFOA* info);

// Posted by EndLabelEdit: wParam is the item whose editor opens again.
constexpr UINT kReopenLabelEditMessage = WM_APP + 1;
// kReopenLabelEditMessage: the editor opens on `item` again.
void ReopenLabelEdit(HWND list, int item);
// LVN_BEGINLABELEDIT: an editor that opens again gets the refused text,
// all of it selected.
void FillReopenedEditor(HWND list);

}  // namespace vk::win32
