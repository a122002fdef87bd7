// The main window: class "QuanbelVolkarnWndClass", its creation with the
// list and status bar, and its window procedure.
#pragma once

#include <windows.h>

#include "win32/ui/explorer_list.h"

namespace vk::win32 {

constexpr char kMainWindowClass[] = "QuanbelVolkarnWndClass";
constexpr UINT kMainIconId = 100;

// The main window's state, created with it and kept until it is destroyed.
struct MainWindowParts {
    HWND window = nullptr;
    HWND list = nullptr;
    HWND statusBar = nullptr;
    int statusHeight = 0;
    ImageLists images;
};
MainWindowParts& MainParts();

bool RegisterMainWindowClass(HINSTANCE instance);

// Creates the main window where it stood when it last closed (the settings'
// placement, when it still lies on a screen), else at a size that shows
// the four columns whole. Its creation carries out the command line's
// actions; null when creation failed or /W ended it.
HWND CreateMainWindow(HINSTANCE instance);

// The show command that opens the window as it closed: maximized when it was
// and the caller asks for the normal show, else `show`.
int StartShowCommand(int show);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace vk::win32
