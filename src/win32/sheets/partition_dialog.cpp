// The Choose partition dialog.
#include "win32/sheets/partition_dialog.h"

#include <commctrl.h>

#include "engine/ports/host_text.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "engine/strings/text_format.h"
#include "win32/common/dialog_helpers.h"
#include "win32/resources/partition_dialog_ids.h"
#include "win32/sheets/page_support.h"

namespace vk::win32 {
namespace {

constexpr char kPartitionTopic[] = "Partition";
constexpr uint64_t kKilobyte = 1024;
constexpr uint64_t kMegabyte = kKilobyte * 1024;
constexpr uint64_t kGigabyte = kMegabyte * 1024;
constexpr int kColumnCount = 4;
constexpr UINT kColumnCaptions[kColumnCount] = {kStrPartitionColNumber, kStrPartitionColSize,
                                                kStrPartitionColFileSystem, kStrPartitionColLabel};

HWND List(HWND dialog) { return GetDlgItem(dialog, IDC_PARTITION_LIST); }

int SelectedRow(HWND dialog) {
    return static_cast<int>(SendMessageA(List(dialog), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::string Expanded(UINT id, std::initializer_list<std::string_view> inserts) {
    std::string text;
    ExpandInserts(LoadText(id), inserts, text);
    return text;
}

std::string Grouped(uint64_t value) {
    std::string text;
    if (value > UINT32_MAX || !FormatNumber(static_cast<uint32_t>(value), text)) {
        text = std::to_string(value);
    }
    return text;
}

// Whole units as they are, others with two decimals in the user's form.
std::string InUnits(uint64_t bytes, uint64_t unit) {
    if (bytes % unit == 0) {
        return Grouped(bytes / unit);
    }
    const uint64_t hundredths = (bytes * 100 + unit / 2) / unit;
    const uint64_t fraction = hundredths % 100;
    const std::string plain = std::to_string(hundredths / 100) + (fraction < 10 ? ".0" : ".") + std::to_string(fraction);
    std::string text;
    return HostFormatDecimal(plain, text) ? text : plain;
}

// "720 KB", "1.41 MB", "100 MB", "2 GB".
std::string SizeText(uint64_t bytes) {
    if (bytes < kMegabyte) {
        return Expanded(kStrSizeKilobytes, {Grouped((bytes + kKilobyte - 1) / kKilobyte)});
    }
    if (bytes < kGigabyte) {
        return Expanded(kStrSizeMegabytes, {InUnits(bytes, kMegabyte)});
    }
    return Expanded(kStrSizeGigabytes, {InUnits(bytes, kGigabyte)});
}

// '&' in a file name would underline the letter after it.
std::string WithoutPrefixes(std::string_view name) {
    std::string text;
    for (const char c : name) {
        text += c;
        if (c == '&') {
            text += '&';
        }
    }
    return text;
}

void SetCell(HWND list, int row, int column, std::string text) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = text.data();
    if (column == 0) {
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    } else {
        SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
}

void SelectRow(HWND list, int row) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void ChooseAndEnd(HWND dialog) {
    if (OnPartitionOk(dialog)) {
        EndDialog(dialog, IDOK);
    }
}

}  // namespace

PartitionRow PartitionRowTexts(const PartitionSummary& partition) {
    PartitionRow row;
    row.number = std::to_string(partition.entry.number);
    row.size = SizeText(partition.totalBytes);
    if (!partition.opened) {
        row.fileSystem = Expanded(kStrPartitionNoVolume, {PartitionTypeName(partition.entry.type)});
        return row;
    }
    row.fileSystem = partition.writable ? partition.fileSystem
                                        : Expanded(kStrPartitionReadOnly, {partition.fileSystem});
    row.label = partition.label;
    return row;
}

int PreselectedRow(const std::vector<PartitionSummary>& partitions, uint32_t preselect) {
    if (partitions.empty()) {
        return -1;
    }
    for (size_t i = 0; i < partitions.size(); ++i) {
        if (preselect != 0 && partitions[i].entry.number == preselect) {
            return static_cast<int>(i);
        }
    }
    for (size_t i = 0; i < partitions.size(); ++i) {
        if (partitions[i].opened) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

void OnInitPartitionDialog(HWND dialog, PartitionChoice& choice) {
    SetWindowData(dialog, &choice);
    CenterOverParent(dialog);
    SetItemText(dialog, IDC_PARTITION_PROMPT, Expanded(kStrPartitionPrompt, {WithoutPrefixes(choice.imageName)}));
    HWND list = List(dialog);
    ApplyListLook(list);
    for (int column = 0; column < kColumnCount; ++column) {
        std::string caption(LoadText(kColumnCaptions[column]));
        LVCOLUMNA header = {};
        header.mask = LVCF_FMT | LVCF_TEXT;
        // Numbers and sizes line up on the right, as in the explorer's lists.
        header.fmt = column == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        header.pszText = caption.data();
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&header));
    }
    for (size_t i = 0; i < choice.partitions.size(); ++i) {
        const PartitionRow row = PartitionRowTexts(choice.partitions[i]);
        const int item = static_cast<int>(i);
        SetCell(list, item, 0, row.number);
        SetCell(list, item, 1, row.size);
        SetCell(list, item, 2, row.fileSystem);
        SetCell(list, item, 3, row.label);
    }
    for (int column = 0; column < kColumnCount; ++column) {
        SendMessageA(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), LVSCW_AUTOSIZE_USEHEADER);
    }
    const int preselected = PreselectedRow(choice.partitions, choice.preselect);
    if (preselected >= 0) {
        SelectRow(list, preselected);
    }
    UpdatePartitionOk(dialog);
    SetFocus(list);
}

void UpdatePartitionOk(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDOK), SelectedRow(dialog) >= 0 ? TRUE : FALSE);
}

bool OnPartitionOk(HWND dialog) {
    PartitionChoice* choice = WindowData<PartitionChoice>(dialog);
    const int row = SelectedRow(dialog);
    if (choice == nullptr || row < 0 || static_cast<size_t>(row) >= choice->partitions.size()) {
        return false;
    }
    choice->chosen = choice->partitions[static_cast<size_t>(row)].entry.number;
    return true;
}

INT_PTR CALLBACK PartitionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitPartitionDialog(dialog, *reinterpret_cast<PartitionChoice*>(lParam));
        return FALSE;  // the focus is on the list
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom != IDC_PARTITION_LIST) {
            return FALSE;
        }
        if (header->code == LVN_ITEMCHANGED) {
            UpdatePartitionOk(dialog);
        } else if (header->code == NM_DBLCLK && reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem >= 0) {
            ChooseAndEnd(dialog);
        }
        return FALSE;
    }
    case WM_HELP:
        ShowTopic(dialog, kPartitionTopic);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            ChooseAndEnd(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_PARTITION_HELP:
            ShowTopic(dialog, kPartitionTopic);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

uint32_t RunPartitionDialog(HWND owner, PartitionChoice& choice) {
    choice.chosen = 0;
    const INT_PTR result =
        RunDialog(owner, IDD_CHOOSE_PARTITION, PartitionDialogProc, reinterpret_cast<LPARAM>(&choice));
    return result == IDOK ? choice.chosen : 0;
}

}  // namespace vk::win32
