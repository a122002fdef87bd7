// The message boxes of VOLKARN: the prompt port over the platform's message
// box, formatter and common save dialog.
#pragma once

#include <windows.h>

namespace vk {

// Loads the caption of every box (the program name, string 1) once. Called at
// start-up; a box shown before that loads it from the running module.
void InitPromptCaption(HINSTANCE instance);

// The caption, for the few boxes that call the platform directly.
const char* ProgramCaption();

// Yes, Yes to all, No and Cancel under `caption`, No the default; the
// button's id (kIdYesToAll for the second), kNoBox when none could show.
int ShowYesAllBox(HWND owner, const char* text, const char* caption);

}  // namespace vk
