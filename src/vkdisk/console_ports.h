// How vkdisk answers the engine's questions: on the terminal, from --yes or
// --no, or, with no terminal, with the answer that changes nothing.
#pragma once

namespace vk::cli {

enum class AnswerMode { kAsk, kYes, kNo };

void SetAnswerMode(AnswerMode mode);
// The program name messages start with.
void SetProgramName(const char* name);

}  // namespace vk::cli
