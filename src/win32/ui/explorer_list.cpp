#include "win32/ui/explorer_list.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "engine/fat/ops/delete_rename.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/dir/list_texts.h"
#include "win32/ports/win32_prompts.h"
#include "win32/resources/command_ids.h"
#include "engine/strings/string_ids.h"
#include "win32/ui/app_state.h"
#include "win32/ui/file_options.h"

namespace vk::win32 {

const ColumnSpec kColumnSpec[kColumnCount + 1] = {
    {kStrColFilename, LVCFMT_LEFT, 57, "FileName"},
    {kStrColSize, LVCFMT_RIGHT, 37, "FileSize"},
    {kStrColLastChange, LVCFMT_LEFT, 58, "ChangeDate"},
    {kStrColAttributes, LVCFMT_LEFT, 32, "Attributes"},
    {0, 0, 0, nullptr},
};

namespace {

constexpr int kCaptionLength = 81;
constexpr int kDisplayTextSize = 128;
constexpr int kImageListGrowth = 4;
constexpr int kImageListInitial = 4;
constexpr int kLastChangeColumn = 2;
// What the list keeps free left and right of a column's text.
constexpr int kColumnTextMargin = 16;

// The one buffer LVN_GETDISPINFO answers point into; each request overwrites it.
char g_displayText[kDisplayTextSize];

void CopyDisplayText(const std::string& text) {
    lstrcpynA(g_displayText, text.c_str(), kDisplayTextSize);
}

// The shell's folder icon (closed or open) at the given size, looked up by
// attributes alone; null when the shell has none.
HICON ShellFolderIcon(bool open, bool smallIcon) {
    SHFILEINFOA info = {};
    UINT flags = SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_ICON;
    if (smallIcon) {
        flags |= SHGFI_SMALLICON;
    }
    if (open) {
        flags |= SHGFI_OPENICON;
    }
    if (!SHGetFileInfoA("C:\\:", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, flags)) {
        return nullptr;
    }
    return info.hIcon;
}

// Adds `shellIcon` (released afterwards) or, without it, the resource icon;
// a missing resource still takes its place so that the indexes hold.
void AddIcon(HIMAGELIST list, HINSTANCE instance, HICON shellIcon, UINT resourceId) {
    if (shellIcon != nullptr) {
        ImageList_ReplaceIcon(list, -1, shellIcon);
        DestroyIcon(shellIcon);
        return;
    }
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(resourceId));
    if (icon == nullptr) {
        icon = LoadIconA(nullptr, IDI_APPLICATION);
    }
    ImageList_ReplaceIcon(list, -1, icon);
}

HIMAGELIST CreateImageList(HINSTANCE instance, bool smallIcons) {
    const int size = smallIcons ? 16 : 32;
    HIMAGELIST list =
        ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, kImageListInitial, kImageListGrowth);
    if (list == nullptr) {
        return nullptr;
    }
    ImageList_SetBkColor(list, GetSysColor(COLOR_WINDOW));
    AddIcon(list, instance, ShellFolderIcon(false, smallIcons), kIconFolder);
    AddIcon(list, instance, ShellFolderIcon(true, smallIcons), kIconFolderOpen);
    AddIcon(list, instance, nullptr, kIconFile);
    return list;
}

DWORD ViewBits(HWND list) { return static_cast<DWORD>(GetWindowLongA(list, GWL_STYLE)) & LVS_TYPEMASK; }

// The widest "Last change" text of the user's locale in the list's font,
// in pixels with the column's margins; 0 when it cannot be measured.
int WidestDateTimeWidth() {
    // Two-digit days, months and hours of both halves of the day: the
    // long forms of every locale's short date and time.
    const struct {
        int year, month, day, hour, minute;
    } kSamples[] = {{2088, 12, 28, 23, 58}, {2088, 11, 30, 10, 48}, {2000, 10, 20, 22, 38}, {2088, 9, 28, 8, 58}};
    LOGFONTA face = {};
    HFONT font = nullptr;
    if (SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof face, &face, 0)) {
        font = CreateFontIndirectA(&face);
    }
    HDC dc = GetDC(nullptr);
    if (dc == nullptr) {
        if (font != nullptr) {
            DeleteObject(font);
        }
        return 0;
    }
    HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
    int widest = 0;
    for (const auto& sample : kSamples) {
        uint8_t entry[kDirEntrySize] = {};
        std::memcpy(entry, "SAMPLE  TXT", kDirFullNameLength);
        Store16(entry + kDirDate, PackDosDate(sample.year, sample.month, sample.day));
        Store16(entry + kDirTime, PackDosTime(sample.hour, sample.minute, 58));
        const std::string text = EntryColumns(entry).lastChange;
        SIZE size = {};
        if (GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size) && size.cx > widest) {
            widest = size.cx;
        }
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (font != nullptr) {
        DeleteObject(font);
    }
    return widest == 0 ? 0 : widest + kColumnTextMargin;
}

}  // namespace

void SetDefaultColumnWidths(Settings& settings) {
    const int baseUnit = LOWORD(GetDialogBaseUnits());
    for (int i = 0; i < kColumnCount; ++i) {
        settings.columnWidths[i] = MulDiv(kColumnSpec[i].defaultWidth, baseUnit, 4);
    }
    // A cut date reads as a different one: the column takes a full date and
    // time of the user's locale by default (saved widths still win).
    settings.columnWidths[kLastChangeColumn] =
        std::max(settings.columnWidths[kLastChangeColumn], WidestDateTimeWidth());
}

HWND CreateExplorerList(HWND parent, HINSTANCE instance) {
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, ProgramCaption(), kListStyle | LVS_REPORT, 0, 0,
                                1, 1, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EXPLORER_LIST)),
                                instance, nullptr);
    if (list == nullptr) {
        return nullptr;
    }
    const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    if (App().setWindowTheme != nullptr) {
        App().setWindowTheme(list, L"Explorer", nullptr);
    }
    const Settings& settings = TheSettings();
    for (int i = 0; i < kColumnCount; ++i) {
        char caption[kCaptionLength] = "";
        LoadStringA(instance, kColumnSpec[i].captionId, caption, sizeof caption);
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = kColumnSpec[i].format;
        column.cx = settings.columnWidths[i];
        column.pszText = caption;
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    return list;
}

ImageLists CreateListImages(HINSTANCE instance) {
    ImageLists lists;
    lists.smallIcons = CreateImageList(instance, true);
    lists.largeIcons = CreateImageList(instance, false);
    return lists;
}

void DestroyListImages(ImageLists& lists) {
    if (lists.smallIcons != nullptr) {
        ImageList_Destroy(lists.smallIcons);
    }
    if (lists.largeIcons != nullptr) {
        ImageList_Destroy(lists.largeIcons);
    }
    lists = {};
}

void SetViewMode(HWND list, uint32_t mode) {
    CaptureColumnWidths(list);
    const DWORD disabled = static_cast<DWORD>(GetWindowLongA(list, GWL_STYLE)) & WS_DISABLED;
    SetWindowLongA(list, GWL_STYLE, static_cast<LONG>(kListStyle | disabled | (mode & LVS_TYPEMASK)));
    TheSettings().viewType = mode & LVS_TYPEMASK;
    // Widths given in the Details dialog outside report view wait in the
    // settings until the columns show.
    ShowColumnWidths(list);
    // The old rows and selection bars must not stay on the screen where the
    // new view puts other items: the list and its header are drawn anew.
    SetWindowPos(list, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void ShowColumnWidths(HWND list) {
    // Outside report view the list would take column 0's width as the width
    // of its own columns of names.
    if (list == nullptr || ViewBits(list) != LVS_REPORT) {
        return;
    }
    const Settings& settings = TheSettings();
    for (int column = 0; column < kColumnCount; ++column) {
        SendMessageA(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                     MAKELPARAM(static_cast<WORD>(settings.columnWidths[column]), 0));
    }
}

void CaptureColumnWidths(HWND list) {
    if (list == nullptr || ViewBits(list) != LVS_REPORT) {
        return;
    }
    Settings& settings = TheSettings();
    for (int i = 0; i < kColumnCount; ++i) {
        const int width = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0));
        if (width != 0) {
            settings.columnWidths[i] = width;
        }
    }
}

namespace {

int ColumnWidthSum() {
    int sum = 0;
    for (int w : TheSettings().columnWidths) {
        sum += w;
    }
    return sum;
}

}  // namespace

int OptimalWindowWidth() {
    return ColumnWidthSum() + 4 + 2 * GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXHSCROLL);
}

int FirstWindowWidth() {
    RECT rect = {0, 0, ColumnWidthSum() + 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL), 1};
    AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, TRUE, 0);
    const int width = std::max(static_cast<int>(rect.right - rect.left), OptimalWindowWidth());
    RECT work = {};
    return SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) ? std::min<int>(width, work.right - work.left)
                                                               : width;
}

bool ItemEntryOffset(HWND list, int index, uint32_t& offset) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) {
        return false;
    }
    offset = static_cast<uint32_t>(item.lParam);
    return true;
}

void AnswerDisplayInfo(HWND list, NMLVDISPINFOA* info) {
    if (!(info->item.mask & LVIF_TEXT)) {
        return;
    }
    g_displayText[0] = '\0';
    const ImageDocument& doc = TheDocument();
    uint32_t offset = 0;
    if (doc.IsOpen() && ItemEntryOffset(list, info->item.iItem, offset) &&
        offset <= doc.AreaLength() && doc.AreaLength() - offset >= kDirEntrySize) {
        const ListColumns columns = EntryColumns(doc.Area() + offset);
        switch (info->item.iSubItem) {
        case 1: CopyDisplayText(columns.size); break;
        case 2: CopyDisplayText(columns.lastChange); break;
        case 3: CopyDisplayText(columns.attributes); break;
        default: break;
        }
    }
    info->item.pszText = g_displayText;
}

void BeginRename(HWND list) {
    int index = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (index < 0) {
        index = 0;
    }
    SetFocus(list);
    SendMessageA(list, LVM_EDITLABELA, index, 0);
}

namespace {

// The text a refused name goes back into the editor with; empty when no
// editor is to open again.
std::string& RetypedName() {
    static std::string text;
    return text;
}

}  // namespace

void ReopenLabelEdit(HWND list, int item) {
    if (item < 0 || RetypedName().empty()) {
        return;
    }
    SetFocus(list);
    if (SendMessageA(list, LVM_EDITLABELA, static_cast<WPARAM>(item), 0) == 0) {
        RetypedName().clear();  // the list refused to edit: nothing waits for the text
    }
}

void FillReopenedEditor(HWND list) {
    if (RetypedName().empty()) {
        return;
    }
    HWND editor = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETEDITCONTROL, 0, 0));
    if (editor != nullptr) {
        SetWindowTextA(editor, RetypedName().c_str());
        SendMessageA(editor, EM_SETSEL, 0, -1);
    }
    RetypedName().clear();
}

LRESULT EndLabelEdit(HWND owner, HWND list, NMLVDISPINFOA* info) {
    App().labelEditActive = false;
    uint32_t offset = 0;
    if (!TheDocument().IsOpen() || !ItemEntryOffset(list, info->item.iItem, offset)) {
        return FALSE;
    }
    if (info->item.pszText == nullptr) {
        return FALSE;  // editing was cancelled
    }
    const std::string typed = info->item.pszText;
    std::string text;
    const Result renamed = RenameEntry(TheDocument(), offset, &typed, CurrentFileOptions(), &text);
    Report(owner, renamed);
    if (!renamed.Done()) {
        if (renamed.kind == FailureKind::kBadName || renamed.kind == FailureKind::kExists) {
            RetypedName() = typed;
            PostMessageA(owner, kReopenLabelEditMessage, static_cast<WPARAM>(info->item.iItem), 0);
        }
        return FALSE;
    }
    // The list shows what the editor holds; the accepted name is never
    // longer than the typed one, so it fits in place.
    if (text.size() <= std::strlen(info->item.pszText)) {
        std::memcpy(info->item.pszText, text.c_str(), text.size() + 1);
        return TRUE;
    }
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = &text[0];
    SendMessageA(list, LVM_SETITEMTEXTA, info->item.iItem, reinterpret_cast<LPARAM>(&item));
    return FALSE;
}

}  // namespace vk::win32
