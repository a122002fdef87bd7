#include "win32/ui/message_loop.h"

#include "win32/settings/help.h"
#include "win32/ui/app_state.h"

namespace vk::win32 {

namespace {

// The accelerators are the main window's: a key typed in the help window or
// in a modeless window of another owner must reach that window, not delete
// an entry of the image behind it.
bool ForMainWindow(HWND mainWindow, HWND target) {
    return mainWindow != nullptr && target != nullptr && (target == mainWindow || IsChild(mainWindow, target));
}

}  // namespace

bool PreTranslateLoopMessage(HWND mainWindow, HACCEL accelerators, MSG* msg) {
    // While the label editor is open, Delete and the other keys belong to it.
    if (!App().labelEditActive && accelerators != nullptr && ForMainWindow(mainWindow, msg->hwnd) &&
        TranslateAcceleratorA(mainWindow, accelerators, msg)) {
        return true;
    }
    return PreTranslateHelpMessage(msg);
}

int RunMessageLoop(HWND mainWindow, HACCEL accelerators) {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslateLoopMessage(mainWindow, accelerators, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace vk::win32
