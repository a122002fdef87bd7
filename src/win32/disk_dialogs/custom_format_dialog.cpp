#include <cstdio>

#include "win32/common/dialog_helpers.h"
#include "win32/disk_dialogs/disk_dialogs.h"
#include "engine/core/custom_format.h"
#include "engine/ports/prompts.h"
#include "win32/resources/disk_dialog_ids.h"
#include "win32/settings/help.h"
#include "win32/ports/win32_prompts.h"

namespace vk::win32 {
namespace {

constexpr char kHelpTopic[] = "CustmDsk";
// Fields are read as the dialog always read them: 32 characters at most.
constexpr int kFieldLength = 32;
constexpr int kFigureLength = 24;

// Which edit holds which text of the row.
struct FieldControl {
    int control;
    std::string CustomFormatTexts::*text;
    CustomFormatField field;
};
const FieldControl kFields[] = {
    {IDC_CUSTOM_FAT_COUNT, &CustomFormatTexts::fatCount, CustomFormatField::kFatCount},
    {IDC_CUSTOM_TOTAL_SECTORS, &CustomFormatTexts::totalSectors, CustomFormatField::kTotalSectors},
    {IDC_CUSTOM_SECTORS_PER_FAT, &CustomFormatTexts::sectorsPerFat, CustomFormatField::kSectorsPerFat},
    {IDC_CUSTOM_SECTORS_PER_CLUSTER, &CustomFormatTexts::sectorsPerCluster, CustomFormatField::kSectorsPerCluster},
    {IDC_CUSTOM_RESERVED_SECTORS, &CustomFormatTexts::reservedSectors, CustomFormatField::kReservedSectors},
    {IDC_CUSTOM_HEADS, &CustomFormatTexts::heads, CustomFormatField::kHeads},
    {IDC_CUSTOM_SECTORS_PER_TRACK, &CustomFormatTexts::sectorsPerTrack, CustomFormatField::kSectorsPerTrack},
    {IDC_CUSTOM_ROOT_ENTRIES, &CustomFormatTexts::rootEntries, CustomFormatField::kRootEntries},
    {IDC_CUSTOM_MEDIA_BYTE, &CustomFormatTexts::mediaByte, CustomFormatField::kMediaByte},
};

// Puts the focus on the edit of `field`, its text selected for typing over.
void FocusField(HWND dialog, CustomFormatField field) {
    for (const FieldControl& f : kFields) {
        if (f.field == field) {
            HWND edit = GetDlgItem(dialog, f.control);
            SetFocus(edit);
            SendMessageA(edit, EM_SETSEL, 0, -1);
        }
    }
}

// Sectors are always 512 bytes and never hidden; the two edits only say so.
constexpr char kBytesPerSectorText[] = "512";
constexpr char kHiddenSectorsText[] = "0";

void ShowFigure(HWND dialog, int control, unsigned long long kb) {
    char text[kFigureLength];
    std::snprintf(text, sizeof text, "%llu", kb);
    SetDlgItemTextA(dialog, control, text);
}

}  // namespace

void SetCustomDefaults(HWND dialog) {
    const CustomFormatTexts defaults = CustomFormatDefaults();
    for (const FieldControl& field : kFields) {
        SetDlgItemTextA(dialog, field.control, (defaults.*field.text).c_str());
    }
    SetDlgItemTextA(dialog, IDC_CUSTOM_BYTES_PER_SECTOR, kBytesPerSectorText);
    SetDlgItemTextA(dialog, IDC_CUSTOM_HIDDEN_SECTORS, kHiddenSectorsText);
    UpdateCustomCapacity(dialog);
}

DiskFormat ReadCustomFormat(HWND dialog) {
    CustomFormatTexts texts;
    for (const FieldControl& field : kFields) {
        char text[kFieldLength] = "";
        GetDlgItemTextA(dialog, field.control, text, sizeof text);
        texts.*field.text = text;
    }
    return ParseCustomFormat(texts);
}

void UpdateCustomCapacity(HWND dialog) {
    const CustomCapacity capacity = ComputeCustomCapacity(ReadCustomFormat(dialog));
    ShowFigure(dialog, IDC_CUSTOM_TOTAL_KB, capacity.totalKb);
    ShowFigure(dialog, IDC_CUSTOM_FORMATTED_KB, capacity.formattedKb);
}

bool OnCustomFormatOk(HWND dialog) {
    const DiskFormat row = ReadCustomFormat(dialog);
    if (const std::optional<CustomFormatRefusal> refusal = RefuseCustomFormat(row)) {
        Tell(dialog, refusal->notice);
        FocusField(dialog, refusal->field);
        return false;
    }
    StoreCustomFormat(row);
    return true;
}

INT_PTR CALLBACK CustomFormatDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        CenterOverParent(dialog);
        SetCustomDefaults(dialog);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE) {
            UpdateCustomCapacity(dialog);
            return TRUE;
        }
        switch (LOWORD(wParam)) {
        case IDOK:
            if (OnCustomFormatOk(dialog)) {
                EndDialog(dialog, 1);
            }
            return TRUE;
        case IDCANCEL:
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        case IDC_DISK_DIALOG_HELP:
            ShowHelp(dialog, kHelpTopic);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

bool RunCustomFormatDialog(HWND owner) { return RunDialog(owner, IDD_CUSTOM_FORMAT, CustomFormatDialogProc, 0) > 0; }

}  // namespace vk::win32
