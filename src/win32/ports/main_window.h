// The program's one main window, the owner of the engine's messages when a
// step names no other. Set when the window is created, cleared when it goes.
#pragma once

#include <windows.h>

namespace vk {

void SetMainWindow(HWND window);
HWND MainWindowHandle();

}  // namespace vk
