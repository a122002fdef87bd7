// Drives the modal dialogs a test's code shows: the call that shows one
// returns only when the dialog ends, so the test's part of the work runs
// from a timer that the dialog's own modal loop dispatches.
#pragma once

#include <windows.h>

#include <functional>

namespace vk::test {

// How long a dialog may stay open after it showed before it counts as left
// open; a long disk job its action starts needs a longer one.
constexpr DWORD kDialogGiveUpMs = 5000;

// Runs `run`, which shows the modal dialog captioned `caption` (a visible
// dialog of this thread); once it is up, `act` works on it once and should
// end it. A dialog still open `giveUpMs` after it showed is a failure and is
// cancelled (again every `giveUpMs` while it stays), so no test can hang; one
// that never showed is a failure too. Drivers may nest: `act` may run
// another dialog through one of its own.
void WithDialog(const char* caption, const std::function<void(HWND)>& act, const std::function<void()>& run,
                DWORD giveUpMs = kDialogGiveUpMs);

}  // namespace vk::test
