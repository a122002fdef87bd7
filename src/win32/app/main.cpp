// VOLKARN's entry point: start-up, the message loop and shutdown, each step
// in its fixed order.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "win32/app/register_switch.h"
#include "win32/dragdrop/dragdrop.h"
#include "win32/ports/main_window.h"
#include "win32/ports/win32_prompts.h"
#include "win32/resources/command_ids.h"
#include "win32/settings/associations.h"
#include "win32/settings/settings.h"
#include "win32/ui/app_state.h"
#include "win32/ui/command_line.h"
#include "win32/ui/explorer_list.h"
#include "win32/ui/main_window.h"
#include "win32/ui/message_loop.h"

namespace {

using namespace vk::win32;

constexpr int kExitFailure = 1;

// Themed lists are a nicety: without the library the program runs as well.
void LoadThemeLibrary() {
    App().themeLibrary = LoadLibraryA("UXTHEME");
    if (App().themeLibrary != nullptr) {
        // Through void*: the entry's real type is not GetProcAddress's.
        App().setWindowTheme = reinterpret_cast<SetWindowThemeFn>(
            reinterpret_cast<void*>(GetProcAddress(App().themeLibrary, "SetWindowTheme")));
    }
}

void ReadCommandLine() {
    TheCommandLine() = ParseCommandLine(__argc, __argv);
    char module[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, module, sizeof module);
    ProgramDirectory() = ProgramDirectoryOf(module);
}

// Settings the file operations follow (with the /F switch, through
// CurrentFileOptions).
void PrepareSettings() {
    Settings& settings = TheSettings();
    SetDefaultColumnWidths(settings);
    LoadSettings(settings);
}

// Steps from registering the class to the end of the loop; the exit code.
int Run(HINSTANCE instance, int show) {
    InitCommonControls();
    if (!RegisterMainWindowClass(instance)) {
        return kExitFailure;
    }
    ReadCommandLine();
    vk::InitPromptCaption(instance);
    // /R registers the shell associations and ends: no window, no settings.
    if (vk::HasRegisterSwitch(__argc, __argv)) {
        vk::RegisterAssociations(nullptr);
        return kExitFailure;
    }
    PrepareSettings();
    HWND window = CreateMainWindow(instance);
    if (window == nullptr) {
        return kExitFailure;
    }
    App().accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ShowWindow(window, StartShowCommand(show));
    UpdateWindow(window);
    const bool ole = SUCCEEDED(OleInitialize(nullptr));
    if (ole) {
        RegisterDropTarget(window);
    }
    RunMessageLoop(window, App().accelerators);
    if (ole) {
        ReleaseDropTarget();
        OleUninitialize();
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    App().instance = instance;
    LoadThemeLibrary();
    const int exitCode = Run(instance, show);
    if (App().themeLibrary != nullptr) {
        FreeLibrary(App().themeLibrary);
    }
    return exitCode;
}
