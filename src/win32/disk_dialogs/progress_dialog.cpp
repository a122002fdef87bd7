// The progress port of VOLKARN: the modeless "Reading disk" and "Write to
// disk" windows over the dialog that runs a disk job.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "win32/common/dialog_helpers.h"
#include "win32/ports/win32_prompts.h"
#include "engine/drive/disk_job.h"
#include "engine/ports/progress.h"
#include "win32/resources/disk_dialog_ids.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"

namespace vk {
namespace {

constexpr int kPercentLength = 16;
constexpr int kCapacityLength = 128;
constexpr WPARAM kBarMinimum = 0;
constexpr LPARAM kBarRange = MAKELPARAM(0, 100);

// Whose the boxes were before the open progress window took them.
PromptOwnerState g_ownerBeforeProgress;

INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        CenterOverParent(window);
        SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_SETRANGE, kBarMinimum, kBarRange);
        if (lParam != 0) {
            ShowDriveCapacity(window, *reinterpret_cast<const ProgressHeader*>(lParam));
        }
        break;
    case WM_COMMAND:
        // The Cancel button, or Escape through the pump's dialog navigation.
        if (LOWORD(wParam) == IDCANCEL) {
            SetCancelRequested(true);
            EnableWindow(GetDlgItem(window, IDCANCEL), FALSE);
        }
        break;
    default:
        break;
    }
    return FALSE;
}

}  // namespace

WindowRef OpenProgress(DiskJob job, const ProgressHeader& header) {
    HWND ownerWindow = PromptOwner();
    const UINT resource = job == DiskJob::kReading ? IDD_PROGRESS_READING : IDD_PROGRESS_WRITING;
    HWND window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), ownerWindow,
                                     ProgressDialogProc, reinterpret_cast<LPARAM>(&header));
    if (window == nullptr) {
        return nullptr;
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    if (ownerWindow != nullptr) {
        EnableWindow(ownerWindow, FALSE);
    }
    g_ownerBeforeProgress = TakePromptOwner(window);
    return window;
}

void ShowDriveCapacity(WindowRef progress, const ProgressHeader& header) {
    if (progress == nullptr) {
        return;
    }
    const std::string format(LoadText(kStrDriveCapacity));
    char text[kCapacityLength] = "";
    wsprintfA(text, format.c_str(), static_cast<char>('A' + header.drive),
              static_cast<unsigned long>(header.capacityBytes >> 10));
    SetDlgItemTextA(static_cast<HWND>(progress), IDC_PROGRESS_CAPACITY, text);
}

void UpdateProgress(WindowRef progress, uint32_t current, uint32_t total) {
    if (progress == nullptr) {
        return;
    }
    HWND window = static_cast<HWND>(progress);
    const uint32_t percent = ProgressPercent(current, total);
    char text[kPercentLength] = "";
    wsprintfA(text, "%lu", static_cast<unsigned long>(percent));
    SetDlgItemTextA(window, IDC_PROGRESS_PERCENT, text);
    SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_SETPOS, percent, 0);
    PumpMessages(window);
}

void CloseProgress(WindowRef progress) {
    if (progress == nullptr) {
        return;
    }
    RestorePromptOwner(g_ownerBeforeProgress);
    if (HWND owner = PromptOwner()) {
        EnableWindow(owner, TRUE);
    }
    DestroyWindow(static_cast<HWND>(progress));
}

}  // namespace vk
