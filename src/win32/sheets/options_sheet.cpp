// The Options sheet and its pages.
#include "win32/sheets/options_sheet.h"

#include "win32/common/dialog_helpers.h"
#include "engine/core/disk_format.h"
#include "win32/resources/sheets_ids.h"
#include "win32/settings/settings.h"
#include "win32/sheets/format_lists.h"
#include "win32/sheets/page_support.h"
#include "win32/sheets/sheets.h"
#include "engine/strings/string_ids.h"

namespace vk::win32 {
namespace {

constexpr char kNameStrengthTopic[] = "FatStrength";
constexpr char kDefaultFormatTopic[] = "DefDiskFmt";
constexpr char kCopyOptionsTopic[] = "CopyOpts";

// The rows of the strength list, by NameStrength value.
constexpr const char* kStrengthRows[] = {"Strict", "Regular (default)"};
constexpr uint32_t kRegularRow = 1;
constexpr uint32_t kLargestFormatCode = 0xFF;

// The parts every page answers alike: help and the Apply result.
INT_PTR AnswerNotify(HWND page, LPARAM lParam, void (*apply)(HWND), const char* topic) {
    switch (reinterpret_cast<NMHDR*>(lParam)->code) {
    case PSN_APPLY:
        apply(page);
        return PageResult(page, PSNRET_NOERROR);
    case PSN_HELP:
        ShowTopic(page, topic);
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT Selection(HWND page, int control) { return SendDlgItemMessageA(page, control, CB_GETCURSEL, 0, 0); }

}  // namespace

void OnInitNameStrengthPage(HWND page) {
    for (const char* row : kStrengthRows) {
        SendDlgItemMessageA(page, IDC_NAME_STRENGTH, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
    }
    const uint32_t stored = TheSettings().nameStrength;
    SendDlgItemMessageA(page, IDC_NAME_STRENGTH, CB_SETCURSEL, stored > kRegularRow ? kRegularRow : stored, 0);
    CenterSheet(page);
}

void ApplyNameStrengthPage(HWND page) {
    const LRESULT row = Selection(page, IDC_NAME_STRENGTH);
    if (row < 0) {
        return;
    }
    // The next name typed follows it: each operation reads the settings anew.
    TheSettings().nameStrength = static_cast<uint32_t>(row);
}

void OnInitDefaultFormatPage(HWND page) {
    const Settings& settings = TheSettings();
    FillFormatList(page, IDC_DEFAULT_FORMAT, settings.defaultDiskFormat, false);
    FillBootSectorList(page, IDC_DEFAULT_BOOT_SECTOR, settings.defaultBootSector);
    CenterSheet(page);
}

void ApplyDefaultFormatPage(HWND page) {
    Settings& settings = TheSettings();
    const LRESULT format = Selection(page, IDC_DEFAULT_FORMAT);
    if (format >= 0) {
        const LRESULT code =
            SendDlgItemMessageA(page, IDC_DEFAULT_FORMAT, CB_GETITEMDATA, static_cast<WPARAM>(format), 0);
        if (code >= 0 && code <= static_cast<LRESULT>(kLargestFormatCode)) {
            settings.defaultDiskFormat = static_cast<uint32_t>(code);
        }
    }
    const LRESULT boot = Selection(page, IDC_DEFAULT_BOOT_SECTOR);
    if (boot >= 0) {
        settings.defaultBootSector = static_cast<int32_t>(boot);
    }
}

void OnInitCopyOptionsPage(HWND page) {
    CheckDlgButton(page, IDC_FAST_WRITE, TheSettings().fastWrite ? BST_CHECKED : BST_UNCHECKED);
    CenterSheet(page);
}

void ApplyCopyOptionsPage(HWND page) {
    TheSettings().fastWrite = IsDlgButtonChecked(page, IDC_FAST_WRITE) == BST_CHECKED;
}

INT_PTR CALLBACK NameStrengthPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitNameStrengthPage(page);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_NAME_STRENGTH && HIWORD(wParam) == CBN_SELCHANGE) {
            MarkPageChanged(page);
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY:
        return AnswerNotify(page, lParam, ApplyNameStrengthPage, kNameStrengthTopic);
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK DefaultFormatPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDefaultFormatPage(page);
        return TRUE;
    case WM_COMMAND:
        if ((LOWORD(wParam) == IDC_DEFAULT_FORMAT || LOWORD(wParam) == IDC_DEFAULT_BOOT_SECTOR) &&
            HIWORD(wParam) == CBN_SELCHANGE) {
            MarkPageChanged(page);
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY:
        return AnswerNotify(page, lParam, ApplyDefaultFormatPage, kDefaultFormatTopic);
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CopyOptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitCopyOptionsPage(page);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_FAST_WRITE && HIWORD(wParam) == BN_CLICKED) {
            MarkPageChanged(page);
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY:
        return AnswerNotify(page, lParam, ApplyCopyOptionsPage, kCopyOptionsTopic);
    default:
        return FALSE;
    }
}

INT_PTR OpenOptionsSheet(HWND owner, DWORD extraFlags) {
    const PROPSHEETPAGEA pages[] = {
        MakePropertyPage(IDD_NAME_STRENGTH_PAGE, NameStrengthPageProc, 0, PSP_HASHELP),
        MakePropertyPage(IDD_DEFAULT_FORMAT_PAGE, DefaultFormatPageProc, 0, PSP_HASHELP),
        MakePropertyPage(IDD_COPY_OPTIONS_PAGE, CopyOptionsPageProc, 0, PSP_HASHELP),
    };
    PROPSHEETHEADERA header = MakePropertySheet(owner, pages, 3, PSH_HASHELP | extraFlags);
    return RunPropertySheet(header, kStrOptionsCaption);
}

void ShowOptions(HWND owner) { OpenOptionsSheet(owner); }

}  // namespace vk::win32
