// The Details dialog and the column widths it gives the main list.
#include "win32/sheets/details_dialog.h"

#include <commctrl.h>

#include <string>

#include "win32/common/dialog_helpers.h"
#include "win32/resources/sheets_ids.h"
#include "win32/sheets/page_support.h"
#include "win32/sheets/sheets.h"
#include "engine/strings/strings.h"
#include "win32/ui/explorer_list.h"
#include "win32/ui/main_window.h"

namespace vk::win32 {
namespace {

constexpr char kDetailsTopic[] = "Details";
constexpr int kWidthDigits = 3;
constexpr UINT kLargestWidth = 999;

HWND Columns(HWND dialog) { return GetDlgItem(dialog, IDC_DETAILS_COLUMNS); }

int SelectedColumn(HWND dialog) {
    return static_cast<int>(
        SendMessageA(Columns(dialog), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void OnColumnStateChange(HWND dialog, const NMLISTVIEW& change, bool changing) {
    if (!(change.uChanged & LVIF_STATE) || change.iItem < 0 || change.iItem >= kColumnCount) {
        return;
    }
    const bool wasSelected = (change.uOldState & LVIS_SELECTED) != 0;
    const bool isSelected = (change.uNewState & LVIS_SELECTED) != 0;
    if (changing && wasSelected && !isSelected) {
        StoreTypedWidth(dialog, change.iItem);
    } else if (!changing && !wasSelected && isSelected) {
        ShowColumnWidth(dialog, change.iItem);
    }
}

}  // namespace

void OnInitDetailsDialog(HWND dialog, DetailsWork& work) {
    SetWindowData(dialog, &work);
    CenterOverParent(dialog);
    HWND list = Columns(dialog);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    for (int row = 0; kColumnSpec[row].captionId != 0; ++row) {
        std::string caption(LoadText(kColumnSpec[row].captionId));
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = caption.data();
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
    SendDlgItemMessageA(dialog, IDC_DETAILS_WIDTH, EM_LIMITTEXT, kWidthDigits, 0);
}

void StoreTypedWidth(HWND dialog, int column) {
    DetailsWork* work = WindowData<DetailsWork>(dialog);
    BOOL isNumber = FALSE;
    const UINT width = GetDlgItemInt(dialog, IDC_DETAILS_WIDTH, &isNumber, FALSE);
    if (work != nullptr && isNumber && width >= 1 && width <= kLargestWidth && column >= 0 && column < kColumnCount) {
        work->widths[column] = static_cast<int>(width);
    }
}

void ShowColumnWidth(HWND dialog, int column) {
    const DetailsWork* work = WindowData<DetailsWork>(dialog);
    if (work != nullptr && column >= 0 && column < kColumnCount) {
        SetDlgItemInt(dialog, IDC_DETAILS_WIDTH, static_cast<UINT>(work->widths[column]), FALSE);
    }
}

void OnDetailsOk(HWND dialog) {
    const int selected = SelectedColumn(dialog);
    if (selected >= 0) {
        StoreTypedWidth(dialog, selected);
    }
    if (DetailsWork* work = WindowData<DetailsWork>(dialog)) {
        work->adjustWindow = IsDlgButtonChecked(dialog, IDC_DETAILS_OPTIMUM) == BST_CHECKED;
    }
}

INT_PTR CALLBACK DetailsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDetailsDialog(dialog, *reinterpret_cast<DetailsWork*>(lParam));
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom == IDC_DETAILS_COLUMNS &&
            (header->code == LVN_ITEMCHANGING || header->code == LVN_ITEMCHANGED)) {
            OnColumnStateChange(dialog, *reinterpret_cast<const NMLISTVIEW*>(lParam),
                                header->code == LVN_ITEMCHANGING);
            // FALSE lets the change happen.
            return PageResult(dialog, FALSE);
        }
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnDetailsOk(dialog);
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_DIALOG_HELP:
            ShowTopic(dialog, kDetailsTopic);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

void AcceptDetails(const DetailsWork& work) {
    Settings& settings = TheSettings();
    for (int column = 0; column < kColumnCount; ++column) {
        settings.columnWidths[column] = work.widths[column];
    }
    ApplyColumnWidths(work.adjustWindow);
}

INT_PTR ShowDetailsDialog(HWND owner) {
    DetailsWork work;
    for (int column = 0; column < kColumnCount; ++column) {
        work.widths[column] = TheSettings().columnWidths[column];
    }
    const INT_PTR result = RunDialog(owner, IDD_DETAILS, DetailsDialogProc, reinterpret_cast<LPARAM>(&work));
    if (result == 1) {
        AcceptDetails(work);
    }
    return result;
}

void ApplyColumnWidths(bool adjustWindow) {
    const MainWindowParts& parts = MainParts();
    ShowColumnWidths(parts.list);
    RECT frame;
    if (adjustWindow && parts.window != nullptr && GetWindowRect(parts.window, &frame)) {
        SetWindowPos(parts.window, nullptr, 0, 0, OptimalWindowWidth(), frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
}

}  // namespace vk::win32
