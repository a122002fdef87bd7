// The prompt port: how the engine reaches the user. Each program links one
// implementation: message boxes in VOLKARN, the terminal in vkdisk, a
// scripted front end in the tests. Which window a box belongs to is the
// front end's own business: VOLKARN keeps a prompt owner, the main window
// unless a dialog or the progress window of a disk job has taken it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "engine/common/notice.h"
#include "engine/common/result.h"

namespace vk {

// The platform's window handle; the engine only hands it back to the port
// that gave it (a progress window).
using WindowRef = void*;

// Shows `notice` with the answers `choices` offers (the second of them the
// default when `secondIsDefault`) and returns the one taken.
Answer Present(const Notice& notice, Choices choices = Choices::kOk, bool secondIsDefault = false);

inline void Tell(const Notice& notice) { Present(notice); }
inline Answer Ask(const Notice& notice, Choices choices, bool secondIsDefault = false) {
    return Present(notice, choices, secondIsDefault);
}
// Shows what `result` has to say: its notices in order, then its failure.
inline void Report(const Result& result) {
    for (const Notice& notice : result.notices) Tell(notice);
    if (result.failure) Tell(*result.failure);
}

// Asks for the path to save an untitled or renamed image under: `path`
// comes in with the one to propose (empty for an untitled image) and goes
// out with the one chosen. False when the user cancelled.
bool AskSaveImagePath(std::string& path);

}  // namespace vk
