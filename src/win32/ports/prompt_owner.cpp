#include "win32/ports/prompt_owner.h"

#include "engine/ports/prompts.h"
#include "win32/ports/main_window.h"

namespace vk {
namespace {

HWND g_mainWindow = nullptr;
PromptOwnerState g_promptOwner;

}  // namespace

void SetMainWindow(HWND window) { g_mainWindow = window; }
HWND MainWindowHandle() { return g_mainWindow; }

HWND PromptOwner() { return g_promptOwner.taken ? g_promptOwner.owner : g_mainWindow; }

PromptOwnerState TakePromptOwner(HWND owner) {
    const PromptOwnerState before = g_promptOwner;
    g_promptOwner = PromptOwnerState{true, owner};
    return before;
}

void RestorePromptOwner(PromptOwnerState before) { g_promptOwner = before; }

Answer Ask(HWND owner, const Notice& notice, Choices choices, bool secondIsDefault) {
    const ScopedPromptOwner boxes(owner);
    return Present(notice, choices, secondIsDefault);
}

void Tell(HWND owner, const Notice& notice) { Ask(owner, notice, Choices::kOk); }

void Report(HWND owner, const Result& result) {
    const ScopedPromptOwner boxes(owner);
    Report(result);
}

}  // namespace vk
