// The program's one message loop: accelerators (not while a name is being
// edited in place), then help's pre-translation, then dispatch.
#pragma once

#include <windows.h>

namespace vk::win32 {

// True when an accelerator or help consumed `msg`; it must not be dispatched.
bool PreTranslateLoopMessage(HWND mainWindow, HACCEL accelerators, MSG* msg);

// Runs until the quit message; returns its code.
int RunMessageLoop(HWND mainWindow, HACCEL accelerators);

}  // namespace vk::win32
