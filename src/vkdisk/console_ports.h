// How vkdisk answers the engine's questions: on the terminal, from --yes or
// --no, or, with no terminal, with the answer that changes nothing.
#pragma once

#include <string>
#include <string_view>

#include "engine/common/notice.h"

namespace vk::cli {

enum class AnswerMode { kAsk, kYes, kNo };

void SetAnswerMode(AnswerMode mode);
// The answer to every Abort/Retry/Ignore question about a disk sector,
// whatever the answer mode; Answer::kNone leaves those questions to the mode.
void SetSectorErrorAnswer(Answer answer);

// How many questions were answered for the user, with the answer that
// changes nothing, because no terminal could ask them. A command compares
// the count before and after a step to learn that the step skipped something.
unsigned UnaskedDeclines();

// `text` fit for a terminal: bytes below 0x20 (but line breaks) and 0x7F
// become \xNN, so names and comments from an image cannot steer the terminal.
std::string Printable(std::string_view text, bool keepLineBreaks = false);

}  // namespace vk::cli
