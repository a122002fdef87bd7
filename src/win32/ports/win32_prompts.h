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

}  // namespace vk
