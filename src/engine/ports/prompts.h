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
#include "engine/ports/platform_codes.h"

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

// DEPRECATED, go with platform_codes.h once fat/add_file, extract,
// delete_rename, directory and volume_info return Results: the older calls,
// in message-box flags. Nothing new may call them; use Tell, Ask and Report.

// Shows string-table text `id` with "%1", "%2", ... replaced by `inserts`,
// under the program caption. Returns the button, or kNoBox.
int ShowMessage(WindowRef owner, unsigned id, unsigned flags,
                std::initializer_list<std::string_view> inserts = {});

// Shows the system's text for `code`, framed by the caller's lines (each may
// be empty). Returns the button.
int ShowSystemError(WindowRef owner, std::string_view firstLine, uint32_t code,
                    std::string_view lastLine, unsigned flags);

// A box with a text of the caller's own and a string-table caption: the
// comment of an image, which is no string of ours.
int ShowTextBox(WindowRef owner, std::string_view text, unsigned captionId, unsigned flags);

// Asks for the path to save an untitled or renamed image under. False when
// the user cancelled.
bool AskSaveImagePath(WindowRef owner, std::string& path);

}  // namespace vk
