// The common open and save dialogs, set up in one place.
#pragma once

#include <windows.h>

#include <string>

namespace vk {

enum class FileDialogKind { kOpen, kSave };

// Runs the open or save dialog with filter text `filterId` (first pair
// selected), default extension text `defaultExtensionId` (0: none) and the
// OFN_ `flags`. `path` holds `pathLength` characters: the initial name in,
// the chosen path out. True when the user chose a file; `readOnly`, when
// given, receives the state of the dialog's read-only check box. The dialog
// starts in `initialFolder` when one is given, else where the system
// remembers.
bool ShowFileDialog(HWND owner, UINT filterId, UINT defaultExtensionId, char* path, DWORD pathLength,
                    DWORD flags, FileDialogKind kind, bool* readOnly = nullptr, const char* initialFolder = nullptr);

// The folder of the image last opened or saved in this run; empty before.
// Save as of an untitled image starts there.
std::string& LastImageFolder();

// The folder that holds the file at `path` ("C:\" for a file in a root).
std::string FolderOfFile(const std::string& path);

// Notes the folder of the image file at `path` as the last image folder.
void NoteImageFolder(const std::string& path);

}  // namespace vk
