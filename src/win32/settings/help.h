// Help from VOLKARN.CHM beside the program, through the system's HTML help
// control, and the About box.
#pragma once

#include <windows.h>

namespace vk::win32 {

// Prepares help at start-up and releases it at shutdown.
void InitHelp();
void UninitHelp();

// Opens the help index (topic null) or the topic "::/html/<topic>.htm".
void ShowHelp(HWND owner, const char* topic);

// Lets help see the message before the loop dispatches it.
bool PreTranslateHelpMessage(MSG* msg);

void ShowAbout(HWND owner);

}  // namespace vk::win32
