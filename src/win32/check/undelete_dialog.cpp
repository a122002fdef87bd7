// Extras > Undelete: the deleted files and folders of the disk, each that
// can be recovered with a check box, and the first character their names
// get back.
#include <string>

#include "engine/core/document.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "engine/strings/text_format.h"
#include "win32/check/check_dialogs.h"
#include "win32/common/dialog_helpers.h"
#include "win32/ports/prompt_owner.h"
#include "win32/resources/check_dialog_ids.h"
#include "win32/sheets/page_support.h"
#include "win32/ui/app_state.h"
#include "win32/ui/list_sync.h"
#include "win32/ui/main_window.h"

namespace vk::win32 {
namespace {

constexpr char kUndeleteTopic[] = "Undelete";
constexpr char kDefaultFirst[] = "_";
constexpr unsigned kDeletedColumns[] = {kStrUndeleteColName, kStrUndeleteColSize, kStrUndeleteColState, 0};
constexpr int kDeletedShares[] = {46, 20, 34};
constexpr int kSizeColumn = 1;

// The list's state images with check boxes: none, unticked, ticked.
constexpr UINT kNoCheckBox = 0;
constexpr UINT kUnticked = 1;
constexpr UINT kTicked = 2;

HWND Deleted(HWND dialog) { return GetDlgItem(dialog, IDC_UNDELETE_LIST); }

UINT StateImage(UINT state) { return (state & LVIS_STATEIMAGEMASK) >> 12; }

const DeletedEntry* RowEntry(HWND dialog, int row) {
    const UndeleteState* state = WindowData<UndeleteState>(dialog);
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (state == nullptr || !SendMessageA(Deleted(dialog), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ||
        static_cast<size_t>(item.lParam) >= state->entries.size()) {
        return nullptr;
    }
    return &state->entries[static_cast<size_t>(item.lParam)];
}

void SetStateImage(HWND list, int row, UINT image) {
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(image);
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::string SizeText(const DeletedEntry& entry) {
    if (entry.folder) {
        return std::string(LoadText(kStrUndeleteFolder));
    }
    std::string text;
    FormatNumber(entry.size, text);
    return text;
}

// Rows that cannot be recovered are drawn in the gray of disabled text.
LRESULT OnDeletedRowDraw(HWND dialog, NMLVCUSTOMDRAW& draw) {
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
        return CDRF_NOTIFYITEMDRAW;
    }
    if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        const DeletedEntry* entry = RowEntry(dialog, static_cast<int>(draw.nmcd.dwItemSpec));
        if (entry != nullptr && !entry->recoverable) {
            draw.clrText = GetSysColor(COLOR_GRAYTEXT);
        }
    }
    return CDRF_DODEFAULT;
}

}  // namespace

void FillDeletedList(HWND dialog) {
    UndeleteState* state = WindowData<UndeleteState>(dialog);
    if (state == nullptr) {
        return;
    }
    HWND list = Deleted(dialog);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    state->entries = FindDeleted(*state->doc);
    size_t recoverable = 0;
    for (size_t index = 0; index < state->entries.size(); ++index) {
        const DeletedEntry& entry = state->entries[index];
        const int row = AppendRow(
            list,
            {entry.path, SizeText(entry),
             std::string(LoadText(entry.recoverable ? kStrUndeleteRecoverable : kStrUndeleteNotRecoverable))},
            static_cast<LPARAM>(index));
        if (entry.recoverable) {
            ++recoverable;
        } else if (row >= 0) {
            SetStateImage(list, row, kNoCheckBox);
        }
    }
    std::string summary;
    ExpandInserts(LoadText(kStrUndeleteSummary),
                  {std::to_string(state->entries.size()), std::to_string(recoverable)}, summary);
    SetItemText(dialog, IDC_UNDELETE_SUMMARY, summary);
    UpdateUndeleteButton(dialog);
}

std::vector<uint32_t> CheckedEntries(HWND dialog) {
    std::vector<uint32_t> slots;
    HWND list = Deleted(dialog);
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        const UINT state = static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row),
                                                          LVIS_STATEIMAGEMASK));
        const DeletedEntry* entry = RowEntry(dialog, row);
        if (StateImage(state) == kTicked && entry != nullptr) {
            slots.push_back(entry->entry);
        }
    }
    return slots;
}

bool RefusesStateChange(HWND dialog, const NMLISTVIEW& change) {
    if (!(change.uChanged & LVIF_STATE) || ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK) == 0) {
        return false;
    }
    const DeletedEntry* entry = RowEntry(dialog, change.iItem);
    return entry != nullptr && !entry->recoverable && StateImage(change.uNewState) != kNoCheckBox;
}

void UpdateUndeleteButton(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDC_UNDELETE_RUN), CheckedEntries(dialog).empty() ? FALSE : TRUE);
}

void OnInitUndeleteDialog(HWND dialog, UndeleteState& state) {
    SetWindowData(dialog, &state);
    CenterOverParent(dialog);
    HWND list = Deleted(dialog);
    SetUpReportList(list, kDeletedColumns, kDeletedShares, kSizeColumn);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    SendDlgItemMessageA(dialog, IDC_UNDELETE_FIRST, EM_LIMITTEXT, 1, 0);
    SetItemText(dialog, IDC_UNDELETE_FIRST, kDefaultFirst);
    FillDeletedList(dialog);
}

void OnRunUndelete(HWND dialog) {
    UndeleteState* state = WindowData<UndeleteState>(dialog);
    const std::vector<uint32_t> slots = CheckedEntries(dialog);
    if (state == nullptr || slots.empty()) {
        return;
    }
    const std::string typed = ItemText(dialog, IDC_UNDELETE_FIRST, 1);
    const char first = typed.empty() ? kDefaultFirst[0] : typed[0];
    Result recovered;
    {
        const ScopedPromptOwner boxes(dialog);
        recovered = Undelete(*state->doc, slots, first);
    }
    ShowResult(dialog, MainParts().list, *state->doc, recovered);
    FillDeletedList(dialog);
}

INT_PTR CALLBACK UndeleteDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitUndeleteDialog(dialog, *reinterpret_cast<UndeleteState*>(lParam));
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom != IDC_UNDELETE_LIST) {
            return FALSE;
        }
        if (header->code == LVN_ITEMCHANGING) {
            return PageResult(dialog, RefusesStateChange(dialog, *reinterpret_cast<const NMLISTVIEW*>(lParam)));
        }
        if (header->code == LVN_ITEMCHANGED) {
            UpdateUndeleteButton(dialog);
        } else if (header->code == NM_CUSTOMDRAW) {
            return PageResult(dialog, OnDeletedRowDraw(dialog, *reinterpret_cast<NMLVCUSTOMDRAW*>(lParam)));
        }
        return FALSE;
    }
    case WM_HELP:
        ShowTopic(dialog, kUndeleteTopic);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_UNDELETE_RUN:
            OnRunUndelete(dialog);
            return TRUE;
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_CHECK_DIALOG_HELP:
            ShowTopic(dialog, kUndeleteTopic);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

void ShowUndeleteDialog(HWND owner) {
    UndeleteState state;
    state.doc = &TheDocument();
    if (!state.doc->IsOpen()) {
        return;
    }
    RunDialog(owner, IDD_UNDELETE, UndeleteDialogProc, reinterpret_cast<LPARAM>(&state));
}

}  // namespace vk::win32
