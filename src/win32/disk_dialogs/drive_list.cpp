#include <cstdio>

#include "win32/disk_dialogs/disk_dialogs.h"
#include "win32/resources/disk_dialog_ids.h"

namespace vk::win32 {
namespace {

constexpr int kDriveLetters = 26;
// GetVolumeInformationA's buffers as the list has always asked for them.
constexpr DWORD kLabelLength = MAX_PATH;
constexpr DWORD kFileSystemLength = 32;
constexpr int kItemLength = 8 + MAX_PATH;

}  // namespace

int FillDriveList(HWND dialog) {
    HWND combo = GetDlgItem(dialog, IDC_DRIVE_LIST);
    // An empty drive must not bring up the system's "no disk" box while
    // the list is being filled.
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    const DWORD drives = GetLogicalDrives();
    int count = 0;
    for (int index = 0; index < kDriveLetters; ++index) {
        if ((drives & (1u << index)) == 0) {
            continue;
        }
        const char letter = static_cast<char>('A' + index);
        char root[] = {letter, ':', '\\', '\0'};
        if (GetDriveTypeA(root) != DRIVE_REMOVABLE) {
            continue;
        }
        char label[kLabelLength] = "";
        char fileSystem[kFileSystemLength] = "";
        if (!GetVolumeInformationA(root, label, kLabelLength, nullptr, nullptr, nullptr, fileSystem,
                                   kFileSystemLength)) {
            label[0] = '\0';
        }
        char item[kItemLength];
        if (label[0] != '\0') {
            std::snprintf(item, sizeof item, "%c: [%s]", letter, label);
        } else {
            std::snprintf(item, sizeof item, "%c:", letter);
        }
        if (SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item)) >= 0) {
            ++count;
        }
    }
    SetErrorMode(previousMode);
    return count;
}

int SelectedDrive(HWND dialog) {
    char text[kItemLength] = "";
    GetDlgItemTextA(dialog, IDC_DRIVE_LIST, text, sizeof text);
    if (text[0] < 'A' || text[0] > 'Z') {
        return -1;
    }
    return text[0] - 'A';
}

}  // namespace vk::win32
