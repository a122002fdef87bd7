// VOLKARN's entry point. For now it shows its empty main window.
#include <windows.h>

#include "ports/main_window.h"
#include "ports/win32_prompts.h"

#include "app/register_switch.h"
#include "settings/associations.h"

namespace {

constexpr char kClassName[] = "QuanbelVolkarnWndClass";

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        vk::SetMainWindow(nullptr);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    vk::InitPromptCaption(instance);
    // /R registers the shell associations and ends: no window, no settings.
    if (vk::HasRegisterSwitch(__argc, __argv)) {
        vk::RegisterAssociations(nullptr);
        return 1;
    }
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc)) {
        return 1;
    }
    HWND hwnd = CreateWindowA(kClassName, vk::ProgramCaption(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                              640, 400, nullptr, nullptr, instance, nullptr);
    if (!hwnd) {
        return 1;
    }
    vk::SetMainWindow(hwnd);
    ShowWindow(hwnd, show);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
