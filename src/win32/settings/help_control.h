// The system's HTML help control, found through its registered class id and
// loaded on first use. Once loading has failed it is not tried again.
#pragma once

#include <windows.h>

#include <string>

namespace vk::win32 {

// What a call into the control gave back.
struct HelpAnswer {
    bool reached = false;  // false: the control is not available
    HWND window = nullptr; // what HtmlHelpA returned: the help window for the display commands
};

// Calls the control's HtmlHelpA with the four arguments, loading it first
// when needed.
HelpAnswer LoadHtmlHelp(HWND window, const char* file, UINT command, DWORD_PTR data);

// Where the control is registered: the default value of `subKey` under
// `root`, expanded when it is a REG_EXPAND_SZ. Empty when there is none.
std::string LocateHelpControl(HKEY root, const char* subKey);

// Where the control is looked for: the registered location first, then the
// library by name.
struct HelpControlSource {
    HKEY root;
    const char* subKey;
    const char* libraryName;
};

// The system's registration of hhctrl.ocx.
HelpControlSource SystemHelpControl();

// Forgets the loaded control and the failure, and looks for it in `source`
// from now on. For the tests, which play a missing control.
void ResetHelpControl(const HelpControlSource& source);

}  // namespace vk::win32
