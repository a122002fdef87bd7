#include "ui/message_loop.h"

#include "settings/help.h"
#include "ui/app_state.h"

namespace vk::win32 {

bool PreTranslateLoopMessage(HWND mainWindow, HACCEL accelerators, MSG* msg) {
    // While the label editor is open, Delete and the other keys belong to it.
    if (!App().labelEditActive && accelerators != nullptr &&
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
