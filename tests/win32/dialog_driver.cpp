#include "tests/win32/dialog_driver.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vk::test {
namespace {

constexpr UINT kPollMs = 50;

struct Driver {
    UINT_PTR timer = 0;
    const char* caption = nullptr;
    const std::function<void(HWND)>* act = nullptr;
    DWORD giveUpMs = 0;
    HWND dialog = nullptr;
    DWORD since = 0;        // when the dialog showed, or was last cancelled
    bool acting = false;
    bool reported = false;
};

// The drivers running now, innermost last; each timer finds its own.
std::vector<Driver*> g_drivers;

struct Search {
    const char* caption;
    HWND found = nullptr;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") != 0 || !IsWindowVisible(window)) {
        return TRUE;
    }
    // A dialog an outer driver holds is not the one an inner driver waits for.
    for (const Driver* driver : g_drivers) {
        if (driver->dialog == window) {
            return TRUE;
        }
    }
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    if (text == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK Poll(HWND, UINT, UINT_PTR timer, DWORD) {
    const auto it = std::find_if(g_drivers.begin(), g_drivers.end(), [timer](Driver* d) { return d->timer == timer; });
    if (it == g_drivers.end()) {
        KillTimer(nullptr, timer);
        return;
    }
    Driver& driver = **it;
    if (driver.acting) {
        return;  // a job the action started pumps messages: wait until the action is back
    }
    if (driver.dialog == nullptr) {
        Search search{driver.caption};
        EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            driver.dialog = search.found;
            driver.since = GetTickCount();
            driver.acting = true;
            (*driver.act)(driver.dialog);
            driver.acting = false;
        }
        return;
    }
    if (IsWindow(driver.dialog) && GetTickCount() - driver.since > driver.giveUpMs) {
        if (!driver.reported) {
            ADD_FAILURE() << "dialog \"" << driver.caption << "\" was left open";
            driver.reported = true;
        }
        PostMessageA(driver.dialog, WM_COMMAND, IDCANCEL, 0);
        driver.since = GetTickCount();
    }
}

}  // namespace

void WithDialog(const char* caption, const std::function<void(HWND)>& act, const std::function<void()>& run,
                DWORD giveUpMs) {
    Driver driver;
    driver.caption = caption;
    driver.act = &act;
    driver.giveUpMs = giveUpMs;
    driver.timer = SetTimer(nullptr, 0, kPollMs, Poll);
    g_drivers.push_back(&driver);
    run();
    g_drivers.erase(std::find(g_drivers.begin(), g_drivers.end(), &driver));
    KillTimer(nullptr, driver.timer);
    EXPECT_NE(driver.dialog, nullptr) << "dialog \"" << caption << "\" never showed";
}

}  // namespace vk::test
