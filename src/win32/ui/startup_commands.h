// What the command line asks for once the main window's list exists: open
// the image, write it to disk (/W), add a file (/A), save and quit (/C).
#pragma once

#include <windows.h>

namespace vk::win32 {

// Opens the image named first and handles /W. False when /W ends the
// program: the window's creation then fails.
bool RunCommandLineActions(HWND mainWindow);

// /A and /C; true when every requested step succeeded.
bool RunStartupCommands(HWND mainWindow);

}  // namespace vk::win32
