// The common open and save dialogs, set up in one place.
#pragma once

#include <windows.h>

namespace vk {

enum class FileDialogKind { kOpen, kSave };

// Runs the open or save dialog with filter text `filterId` (first pair
// selected), default extension text `defaultExtensionId` (0: none) and the
// OFN_ `flags`. `path` holds `pathLength` characters: the initial name in,
// the chosen path out. True when the user chose a file; `readOnly`, when
// given, receives the state of the dialog's read-only check box.
bool ShowFileDialog(HWND owner, UINT filterId, UINT defaultExtensionId, char* path, DWORD pathLength,
                    DWORD flags, FileDialogKind kind, bool* readOnly = nullptr);

}  // namespace vk
