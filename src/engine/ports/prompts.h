// The prompt port: how the engine reaches the user. Each program links one
// implementation: message boxes in VOLKARN, the terminal in vkdisk, a
// scripted front end in the tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "engine/ports/platform_codes.h"

namespace vk {

// The platform's window handle; the engine only passes it on as an owner.
using WindowRef = void*;

// The window that owns the engine's messages when a step names no other.
WindowRef MainWindow();

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
