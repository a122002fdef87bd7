// The page "Errors": the bad-sector list as rows the user may add to and
// remove from; Apply turns the rows back into the list's bitmap.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/core/document.h"
#include "engine/core/media_errors.h"
#include "engine/ports/prompts.h"
#include "win32/resources/sheets_ids.h"
#include "win32/sheets/image_properties.h"
#include "win32/sheets/page_support.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "win32/ports/win32_prompts.h"

namespace vk::win32 {
namespace {

constexpr char kErrorsTopic[] = "DskError";
constexpr char kEditNotImplemented[] = "Edit not implemented yet!";
constexpr int kSectorColumnWidth = 122;
constexpr int kRowTextLength = 16;

struct ErrorsPage {
    ImageDocument* doc = nullptr;
    bool changed = false;  // rows differ from the list; stays set after Apply
};

HWND List(HWND page) { return GetDlgItem(page, IDC_ERRORS_LIST); }

int SelectedRow(HWND page) {
    return static_cast<int>(SendMessageA(List(page), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void AppendRow(HWND list, uint32_t sector) {
    std::string text = std::to_string(sector);
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = text.data();
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void SetChanged(HWND page) {
    if (ErrorsPage* state = WindowData<ErrorsPage>(page)) {
        state->changed = true;
    }
    MarkPageChanged(page);
}

void OnEditErrorSector(HWND page) {
    Tell(page, OwnTextNotice(kEditNotImplemented, kStrProgramName, Tone::kWarning));
}

}  // namespace

void OnInitErrorsPage(HWND page, ImageDocument& doc) {
    auto state = std::make_unique<ErrorsPage>();
    state->doc = &doc;
    HWND list = List(page);
    ApplyListLook(list);
    if (!doc.errorList.empty()) {
        std::string title(LoadText(kStrBadSectorsColumn));
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = LVCFMT_LEFT;
        column.cx = kSectorColumnWidth;
        column.pszText = title.data();
        SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        for (uint32_t sector = 0; sector < doc.geometry.totalSectors; ++sector) {
            if (IsSectorMarked(doc.errorList, sector)) {
                AppendRow(list, sector);
            }
        }
    } else {
        // Shown with Shift although there is no list: nothing to edit.
        EnableWindow(GetDlgItem(page, IDC_ERRORS_LABEL), FALSE);
        EnableWindow(list, FALSE);
        EnableWindow(GetDlgItem(page, IDC_ERRORS_ADD), FALSE);
    }
    EnableWindow(GetDlgItem(page, IDC_ERRORS_EDIT), FALSE);
    EnableWindow(GetDlgItem(page, IDC_ERRORS_REMOVE), FALSE);
    SetWindowData(page, state.release());
    CenterSheet(page);
}

void AddErrorRow(HWND page, uint32_t sector) {
    AppendRow(List(page), sector);
    SetChanged(page);
}

void OnAddErrorSector(HWND page) {
    const ErrorsPage* state = WindowData<ErrorsPage>(page);
    uint32_t sector = 0;
    if (state != nullptr && AskSectorNumber(page, state->doc->geometry.totalSectors, sector)) {
        AddErrorRow(page, sector);
    }
}

bool RemoveSelectedErrorRow(HWND page) {
    const int row = SelectedRow(page);
    if (row < 0 || !SendMessageA(List(page), LVM_DELETEITEM, static_cast<WPARAM>(row), 0)) {
        return false;
    }
    SetChanged(page);
    EnableWindow(GetDlgItem(page, IDC_ERRORS_EDIT), FALSE);
    EnableWindow(GetDlgItem(page, IDC_ERRORS_REMOVE), FALSE);
    return true;
}

void UpdateErrorButtons(HWND page) {
    const BOOL selected = SelectedRow(page) >= 0;
    EnableWindow(GetDlgItem(page, IDC_ERRORS_EDIT), selected);
    EnableWindow(GetDlgItem(page, IDC_ERRORS_REMOVE), selected);
}

void ApplyErrorsPage(HWND page) {
    ErrorsPage* state = WindowData<ErrorsPage>(page);
    if (state == nullptr || !state->changed || state->doc->errorList.empty()) {
        return;
    }
    ByteBlock& bits = state->doc->errorList;
    std::fill(bits.data() + kErrorListHeaderSize, bits.data() + bits.size(), uint8_t{0});
    HWND list = List(page);
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        char text[kRowTextLength] = "";
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        MarkBadSector(bits, static_cast<uint32_t>(std::strtoul(text, nullptr, 10)));
    }
}

void OnDestroyErrorsPage(HWND page) {
    delete WindowData<ErrorsPage>(page);
    SetWindowData(page, nullptr);
}

INT_PTR CALLBACK ErrorsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitErrorsPage(page, *reinterpret_cast<ImageDocument*>(PageParam(lParam)));
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            switch (LOWORD(wParam)) {
            case IDC_ERRORS_ADD:
                OnAddErrorSector(page);
                return TRUE;
            case IDC_ERRORS_EDIT:
                OnEditErrorSector(page);
                return TRUE;
            case IDC_ERRORS_REMOVE:
                RemoveSelectedErrorRow(page);
                return TRUE;
            default:
                break;
            }
        }
        return FALSE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom == IDC_ERRORS_LIST && header->code == LVN_ITEMCHANGED) {
            const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
            if (change->uChanged & LVIF_STATE) {
                UpdateErrorButtons(page);
            }
            return TRUE;
        }
        switch (header->code) {
        case PSN_APPLY:
            ApplyErrorsPage(page);
            return PageResult(page, PSNRET_NOERROR);
        case PSN_HELP:
            ShowTopic(page, kErrorsTopic);
            return TRUE;
        default:
            return FALSE;
        }
    }
    case WM_DESTROY:
        OnDestroyErrorsPage(page);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace vk::win32
