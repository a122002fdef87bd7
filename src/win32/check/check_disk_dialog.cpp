// Extras > Check disk: the findings of the engine's check in a list, what is
// wrong with the selected one below it, and Fix.
#include <algorithm>
#include <string>

#include "engine/core/document.h"
#include "engine/ports/window_sync.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "engine/strings/text_format.h"
#include "win32/check/check_dialogs.h"
#include "win32/common/dialog_helpers.h"
#include "win32/ports/prompt_owner.h"
#include "win32/resources/check_dialog_ids.h"
#include "win32/sheets/page_support.h"
#include "win32/ui/app_state.h"
#include "win32/ui/document_view.h"

namespace vk::win32 {
namespace {

constexpr char kCheckDiskTopic[] = "ChkDisk";
constexpr unsigned kFindingColumns[] = {kStrCheckColKind, kStrCheckColPlace, kStrCheckColMend, 0};
constexpr int kFindingShares[] = {30, 22, 48};

HWND Findings(HWND dialog) { return GetDlgItem(dialog, IDC_CHECK_FINDINGS); }

// The name the summary gives the disk: the image file's, or "Untitled".
std::string DiskName(const ImageDocument& doc) {
    const std::string_view tail = PathTail(doc.fileName);
    return tail.empty() ? std::string(LoadText(kStrUntitled)) : std::string(tail);
}

size_t MendableCount(const CheckReport& report) {
    return static_cast<size_t>(std::count_if(report.findings.begin(), report.findings.end(),
                                             [](const Finding& f) { return f.mendable; }));
}

void ShowReport(HWND dialog, const CheckDiskState& state, const std::string& summary) {
    HWND list = Findings(dialog);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    FillFindingList(list, state.shown);
    SetItemText(dialog, IDC_CHECK_SUMMARY, summary);
    ShowFindingDetails(dialog, -1);
    EnableWindow(GetDlgItem(dialog, IDC_CHECK_FIX), CanFix(*state.doc, state.pending) ? TRUE : FALSE);
}

}  // namespace

void FillFindingList(HWND list, const CheckReport& report) {
    for (size_t index = 0; index < report.findings.size(); ++index) {
        const Finding& finding = report.findings[index];
        AppendRow(list,
                  {std::string(LoadText(FindingKindTextId(finding.kind))), finding.place, NoticeLine(finding.mend)},
                  static_cast<LPARAM>(index));
    }
}

std::string CheckSummary(const ImageDocument& doc, const CheckReport& report) {
    if (!report.readable) {
        return NoticeLine(report.reason);
    }
    std::string text;
    const std::string name = DiskName(doc);
    if (report.Sound()) {
        ExpandInserts(LoadText(kMsgCheckSound), {name}, text);
    } else {
        ExpandInserts(LoadText(kMsgCheckFindings), {name, std::to_string(report.findings.size())}, text);
    }
    return text;
}

bool CanFix(const ImageDocument& doc, const CheckReport& report) {
    return doc.IsOpen() && !doc.readOnly && doc.changeBlock == ChangeBlock::kNone && report.readable &&
           MendableCount(report) > 0;
}

void ShowFindingDetails(HWND dialog, int row) {
    const CheckDiskState* state = WindowData<CheckDiskState>(dialog);
    std::string text;
    if (state != nullptr && row >= 0) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        if (SendMessageA(Findings(dialog), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) &&
            static_cast<size_t>(item.lParam) < state->shown.findings.size()) {
            text = NoticeLine(state->shown.findings[static_cast<size_t>(item.lParam)].what);
        }
    }
    SetItemText(dialog, IDC_CHECK_DETAILS, text);
}

void OnInitCheckDiskDialog(HWND dialog, CheckDiskState& state) {
    SetWindowData(dialog, &state);
    CenterOverParent(dialog);
    SetUpReportList(Findings(dialog), kFindingColumns, kFindingShares);
    {
        WaitCursor wait;
        state.shown = CheckDisk(*state.doc);
    }
    state.pending = state.shown;
    state.fixed = false;
    ShowReport(dialog, state, CheckSummary(*state.doc, state.shown));
}

void OnFixDisk(HWND dialog) {
    CheckDiskState* state = WindowData<CheckDiskState>(dialog);
    if (state == nullptr || !CanFix(*state->doc, state->pending)) {
        return;
    }
    ImageDocument& doc = *state->doc;
    CheckReport mended;
    CheckReport left;
    Result fixed;
    {
        WaitCursor wait;
        fixed = FixDisk(doc, CheckOptions{}, mended, left);
    }
    // Each mend is a row of the list and what is left is counted in the
    // summary: only a refusal needs a box.
    if (fixed.Failed() && fixed.kind != FailureKind::kDamaged) {
        Report(dialog, fixed);
        return;
    }
    if (doc.modified && doc.imageFile.IsOpen()) {
        const ScopedPromptOwner boxes(dialog);
        SaveDocument(doc);
    }
    ShowChangedDisk(doc);
    state->pending = left;
    state->shown = mended;
    state->fixed = true;
    std::string summary;
    ExpandInserts(LoadText(kMsgCheckMended),
                  {DiskName(doc), std::to_string(MendableCount(mended)), std::to_string(state->pending.findings.size())},
                  summary);
    ShowReport(dialog, *state, summary);
    SetFocus(GetDlgItem(dialog, IDCANCEL));
}

INT_PTR CALLBACK CheckDiskDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitCheckDiskDialog(dialog, *reinterpret_cast<CheckDiskState*>(lParam));
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom == IDC_CHECK_FINDINGS && header->code == LVN_ITEMCHANGED) {
            const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
            if ((change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_SELECTED)) {
                ShowFindingDetails(dialog, (change->uNewState & LVIS_SELECTED) ? change->iItem : -1);
            }
        }
        return FALSE;
    }
    case WM_HELP:
        ShowTopic(dialog, kCheckDiskTopic);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_CHECK_FIX:
            OnFixDisk(dialog);
            return TRUE;
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_CHECK_DIALOG_HELP:
            ShowTopic(dialog, kCheckDiskTopic);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

void ShowCheckDiskDialog(HWND owner) {
    CheckDiskState state;
    state.doc = &TheDocument();
    if (!state.doc->IsOpen()) {
        return;
    }
    RunDialog(owner, IDD_CHECK_DISK, CheckDiskDialogProc, reinterpret_cast<LPARAM>(&state));
}

}  // namespace vk::win32
