// The way into writing the open image to a floppy disk: the media-error
// warning, then the Write-to-disk dialog.
#pragma once

#include <windows.h>

namespace vk::win32 {

// True when the dialog ended with a written disk.
bool ConfirmWriteToDisk(HWND owner);

}  // namespace vk::win32
