#include <string>

#include "win32/common/dialog_helpers.h"
#include "engine/core/document.h"
#include "win32/disk_dialogs/disk_dialogs.h"
#include "engine/drive/read_disk.h"
#include "engine/drive/sector_device.h"
#include "win32/resources/disk_dialog_ids.h"
#include "win32/settings/help.h"
#include "win32/settings/settings.h"
#include "win32/sheets/format_lists.h"
#include "win32/ui/app_state.h"
#include "win32/ui/document_view.h"
#include "win32/drive/drive_backend.h"
#include "win32/ports/win32_prompts.h"

namespace vk::win32 {
namespace {

constexpr char kHelpTopic[] = "DskNew";
constexpr int kDriveTextLength = 8 + MAX_PATH;

bool IsChecked(HWND dialog, int control) { return IsDlgButtonChecked(dialog, control) == BST_CHECKED; }

void Enable(HWND dialog, int control, bool enable) { EnableWindow(GetDlgItem(dialog, control), enable ? TRUE : FALSE); }

// The boot sector matters only for an empty image of a chosen format.
void UpdateBootSectorList(HWND dialog) {
    Enable(dialog, IDC_NEW_BOOT_SECTOR_LIST,
           IsChecked(dialog, IDC_NEW_CHOOSE_FORMAT) && !IsChecked(dialog, IDC_NEW_COPY_FROM_DISK));
}

int32_t SelectFormatFor(void* dialog) { return SelectFormat(static_cast<HWND>(dialog)); }

}  // namespace

BOOL OnInitNewImageDialog(HWND dialog) {
    CenterOverParent(dialog);
    BOOL answer = TRUE;
    if (FillDriveList(dialog) > 0) {
        SendDlgItemMessageA(dialog, IDC_DRIVE_LIST, CB_SETCURSEL, 0, 0);
    } else {
        Enable(dialog, IDC_NEW_COPY_FROM_DISK, false);
        Enable(dialog, IDC_DRIVE_LIST, false);
        SetFocus(GetDlgItem(dialog, IDC_NEW_CHOOSE_FORMAT));
        answer = FALSE;
    }
    CheckDlgButton(dialog, IDC_NEW_CHOOSE_FORMAT, BST_CHECKED);
    const Settings& settings = TheSettings();
    FillBootSectorList(dialog, IDC_NEW_BOOT_SECTOR_LIST, settings.defaultBootSector);
    FillFormatList(dialog, IDC_NEW_FORMAT_LIST, settings.defaultDiskFormat, true);
    Enable(dialog, IDC_DRIVE_LIST, IsChecked(dialog, IDC_NEW_COPY_FROM_DISK));
    Enable(dialog, IDC_NEW_FORMAT_LIST, IsChecked(dialog, IDC_NEW_CHOOSE_FORMAT));
    UpdateBootSectorList(dialog);
    return answer;
}

void OnNewImageCheckBox(HWND dialog, int control) {
    if (control == IDC_NEW_COPY_FROM_DISK) {
        const bool copy = IsChecked(dialog, IDC_NEW_COPY_FROM_DISK);
        Enable(dialog, IDC_DRIVE_LIST, copy);
        if (copy) {
            // A copy takes its capacity from the disk unless a format is forced again.
            CheckDlgButton(dialog, IDC_NEW_CHOOSE_FORMAT, BST_UNCHECKED);
            Enable(dialog, IDC_NEW_FORMAT_LIST, false);
        }
    } else if (control == IDC_NEW_CHOOSE_FORMAT) {
        Enable(dialog, IDC_NEW_FORMAT_LIST, IsChecked(dialog, IDC_NEW_CHOOSE_FORMAT));
    }
    UpdateBootSectorList(dialog);
}

int32_t SelectFormat(HWND dialog) {
    const LRESULT index = SendDlgItemMessageA(dialog, IDC_NEW_FORMAT_LIST, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) {
        return kNoFormatSelected;
    }
    const LRESULT code = SendDlgItemMessageA(dialog, IDC_NEW_FORMAT_LIST, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    if (code != 0) {
        return static_cast<int32_t>(code);
    }
    return RunCustomFormatDialog(dialog) ? static_cast<int32_t>(kCustomFormatCode) : kNoFormatSelected;
}

bool OnNewImageOk(HWND dialog, ImageDocument& doc) {
    NewImageRequest request;
    request.copyFromDisk = IsChecked(dialog, IDC_NEW_COPY_FROM_DISK);
    request.chooseFormat = IsChecked(dialog, IDC_NEW_CHOOSE_FORMAT);
    request.warnBeforeReading = IsWin9xPlatform();
    request.selectFormat = SelectFormatFor;
    request.selectContext = dialog;
    const LRESULT bootTemplate = SendDlgItemMessageA(dialog, IDC_NEW_BOOT_SECTOR_LIST, CB_GETCURSEL, 0, 0);
    request.bootTemplate = bootTemplate == CB_ERR ? 0 : static_cast<unsigned>(bootTemplate);

    SectorDevice device;
    if (request.copyFromDisk) {
        const int drive = SelectedDrive(dialog);
        if (drive < 0) {
            return false;  // the copy option is disabled without a drive
        }
        char text[kDriveTextLength] = "";
        GetDlgItemTextA(dialog, IDC_DRIVE_LIST, text, sizeof text);
        request.driveText = text;
        device.drive = static_cast<uint32_t>(drive);
        device.backend = &Win32DriveBackend();
    }
    // No system box may ask for a disk while the drive is read.
    const UINT previousMode = request.copyFromDisk ? SetErrorMode(SEM_FAILCRITICALERRORS) : 0;
    Result made;
    {
        const ScopedPromptOwner boxes(dialog);
        made = ReadDiskToImage(doc, request, device);
    }
    if (request.copyFromDisk) {
        SetErrorMode(previousMode);
    }
    return ShowNewDocument(doc, dialog, made);
}

INT_PTR CALLBACK NewImageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitNewImageDialog(dialog);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_NEW_COPY_FROM_DISK:
        case IDC_NEW_CHOOSE_FORMAT:
            OnNewImageCheckBox(dialog, LOWORD(wParam));
            return TRUE;
        case IDOK:
            if (OnNewImageOk(dialog, TheDocument())) {
                EndDialog(dialog, 1);
            }
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
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

bool RunNewImageDialog(HWND owner) { return RunDialog(owner, IDD_NEW_IMAGE, NewImageDialogProc, 0) > 0; }

}  // namespace vk::win32
