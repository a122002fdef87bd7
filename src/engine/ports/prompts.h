// The prompt port: how the engine reaches the user. Each program links one
// implementation: message boxes in VOLKARN, the terminal in vkdisk, a
// scripted front end in the tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "engine/common/notice.h"
#include "engine/common/result.h"

namespace vk {

// The platform's window handle; the engine only passes it on as an owner.
using WindowRef = void*;

// The window that owns the engine's messages when a step names no other.
WindowRef MainWindow();

// Shows `notice` over `owner` with the answers `choices` offers (the second
// of them the default when `secondIsDefault`) and returns the one taken.
Answer Present(WindowRef owner, const Notice& notice, Choices choices = Choices::kOk, bool secondIsDefault = false);

inline void Tell(WindowRef owner, const Notice& notice) { Present(owner, notice); }
inline Answer Ask(WindowRef owner, const Notice& notice, Choices choices, bool secondIsDefault = false) {
    return Present(owner, notice, choices, secondIsDefault);
}
// Shows what `result` has to say: its notices in order, then its failure.
inline void Report(WindowRef owner, const Result& result) {
    for (const Notice& notice : result.notices) Tell(owner, notice);
    if (result.failure) Tell(owner, *result.failure);
}

// Asks for the path to save an untitled or renamed image under. False when
// the user cancelled.
bool AskSaveImagePath(WindowRef owner, std::string& path);

}  // namespace vk
