#include "win32/common/dialog_helpers.h"
#include "engine/core/document.h"
#include "win32/disk_dialogs/disk_dialogs.h"
#include "engine/drive/sector_device.h"
#include "engine/drive/write_disk.h"
#include "win32/resources/disk_dialog_ids.h"
#include "win32/settings/help.h"
#include "win32/settings/settings.h"
#include "win32/ui/app_state.h"
#include "win32/drive/drive_backend.h"
#include "win32/ports/win32_prompts.h"

namespace vk::win32 {
namespace {

constexpr char kHelpTopic[] = "WrtToDsk";

}  // namespace

BOOL OnInitWriteToDiskDialog(HWND dialog) {
    CenterOverParent(dialog);
    if (FillDriveList(dialog) > 0) {
        SendDlgItemMessageA(dialog, IDC_DRIVE_LIST, CB_SETCURSEL, 0, 0);
        return TRUE;
    }
    EnableWindow(GetDlgItem(dialog, IDC_DRIVE_LIST), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_WRITE_FORMAT_DISK), FALSE);
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    SetFocus(GetDlgItem(dialog, IDCANCEL));
    return FALSE;
}

bool OnWriteToDiskOk(HWND dialog, const ImageDocument& doc, int drive) {
    if (drive < 0) {
        return false;
    }
    WriteDiskRequest request;
    request.formatDisk = IsDlgButtonChecked(dialog, IDC_WRITE_FORMAT_DISK) == BST_CHECKED;
    request.fastWrite = TheSettings().fastWrite;
    SectorDevice device;
    device.drive = static_cast<uint32_t>(drive);
    device.backend = &Win32DriveBackend();
    // No system box may ask for a disk while the drive is written.
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    Result written;
    {
        const ScopedPromptOwner boxes(dialog);
        written = WriteImageToDisk(doc, request, device);
    }
    SetErrorMode(previousMode);
    Report(dialog, written);
    return written.Done();
}

INT_PTR CALLBACK WriteToDiskDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitWriteToDiskDialog(dialog);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (OnWriteToDiskOk(dialog, TheDocument(), SelectedDrive(dialog))) {
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

bool RunWriteToDiskDialog(HWND owner) { return RunDialog(owner, IDD_WRITE_TO_DISK, WriteToDiskDialogProc, 0) > 0; }

}  // namespace vk::win32
