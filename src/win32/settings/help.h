// Help from VOLKARN.CHM beside the program, through the system's HTML help
// control, and the About box.
#pragma once

#include <windows.h>

namespace vk::win32 {

// Prepares help at start-up and releases it at shutdown. Releasing twice
// (on close and on destroy) releases once.
void InitHelp();
void UninitHelp();

// Opens the help's contents page with its table of contents (topic null)
// or the topic "::/html/<topic>.htm" in a help window owned by the main
// window. When no help window comes, `owner`
// is told (message 9) and false comes back.
bool ShowHelp(HWND owner, const char* topic);

// Lets help see the message before the loop dispatches it; true when help
// took it.
bool PreTranslateHelpMessage(MSG* msg);

void ShowAbout(HWND owner);

}  // namespace vk::win32
