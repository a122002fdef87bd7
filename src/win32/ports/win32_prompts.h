// The message boxes of VOLKARN: the prompt port over the platform's message
// box, formatter and common save dialog.
#pragma once

#include <windows.h>

#include "win32/ports/prompt_owner.h"

namespace vk {


// Loads the caption of every box (the program name, string 1) once. Called at
// start-up; a box shown before that loads it from the running module.
void InitPromptCaption(HINSTANCE instance);

// The caption, for the few boxes that call the platform directly.
const char* ProgramCaption();

// What a box returns when none could show, and the id of our own box's
// "Yes to all" button, which no message box has.
constexpr int kNoBoxShown = 0;
constexpr int kYesToAllId = 0x0100;

// Yes, Yes to all, No and Cancel under `caption`, No the default; the
// button's id (kYesToAllId for the second), kNoBoxShown when none could show.
int ShowYesAllBox(HWND owner, const char* text, const char* caption);

}  // namespace vk
