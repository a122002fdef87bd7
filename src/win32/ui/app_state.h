// The few process-wide objects of VOLKARN besides the settings record and
// the command line: the one document, the module, the theme entry point and
// the label-edit flag the message loop consults.
#pragma once

#include <windows.h>

#include "engine/core/document.h"

namespace vk::win32 {

// The one open disk image; the main window works on it.
ImageDocument& TheDocument();

using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);

struct AppState {
    HINSTANCE instance = nullptr;
    HMODULE themeLibrary = nullptr;
    SetWindowThemeFn setWindowTheme = nullptr;  // absent without the theme library
    HACCEL accelerators = nullptr;
    bool labelEditActive = false;  // a list item's name is being edited in place
};

AppState& App();

}  // namespace vk::win32
