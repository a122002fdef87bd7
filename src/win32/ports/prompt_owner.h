// Which window VOLKARN's boxes belong to. The engine asks through the prompt
// port without naming a window; VOLKARN gives each box the owner it had when
// the caller named it: a dialog's boxes stay over the dialog, a disk job's
// over its progress window, the rest over the main window.
#pragma once

#include <windows.h>

#include "engine/common/notice.h"
#include "engine/common/result.h"

namespace vk {

// Who owns the engine's boxes: the window that took them (a dialog while it
// runs an engine step, the progress window of a disk job), or the main
// window when none has.
struct PromptOwnerState {
    bool taken = false;
    HWND owner = nullptr;
};
HWND PromptOwner();
// Makes `owner` the owner of the boxes that follow; returns the state before.
PromptOwnerState TakePromptOwner(HWND owner);
void RestorePromptOwner(PromptOwnerState before);

// The engine's boxes of a scope belong to `owner`.
class ScopedPromptOwner {
public:
    explicit ScopedPromptOwner(HWND owner) : before_(TakePromptOwner(owner)) {}
    ~ScopedPromptOwner() { RestorePromptOwner(before_); }
    ScopedPromptOwner(const ScopedPromptOwner&) = delete;
    ScopedPromptOwner& operator=(const ScopedPromptOwner&) = delete;

private:
    PromptOwnerState before_;
};

// VOLKARN's own boxes over a window of its choosing (null: owned by none).
Answer Ask(HWND owner, const Notice& notice, Choices choices, bool secondIsDefault = false);
void Tell(HWND owner, const Notice& notice);
// What `result` has to say: its notices in order, then its failure.
void Report(HWND owner, const Result& result);

}  // namespace vk
