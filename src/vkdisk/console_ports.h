// How vkdisk answers the engine's questions: on the terminal, from --yes or
// --no, or, with no terminal, with the answer that changes nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/notice.h"

namespace vk::cli {

enum class AnswerMode { kAsk, kYes, kNo };

void SetAnswerMode(AnswerMode mode);
// The answer to every Abort/Retry/Ignore question about a disk sector,
// whatever the answer mode; Answer::kNone leaves those questions to the mode.
void SetSectorErrorAnswer(Answer answer);
// The program name messages start with.
void SetProgramName(const char* name);

// How many questions were answered for the user, with the answer that
// changes nothing, because no terminal could ask them. A command compares
// the count before and after a step to learn that the step skipped something.
unsigned UnaskedDeclines();

// `text` fit for a terminal: bytes below 0x20 (but line breaks) and 0x7F
// become \xNN, so names and comments from an image cannot steer the terminal.
std::string Printable(std::string_view text, bool keepLineBreaks = false);

// vkdisk's list: one item per entry the engine listed, in list order, with
// the entry's offset and its display name.
struct ConsoleItem {
    uint32_t entryOffset = 0;
    std::string text;
};
const std::vector<ConsoleItem>& ListItems();
// Empties the list (and its selection), as when the document is closed.
void ClearListItems();
// The selection the engine's per-item steps walk: the items a command named.
// Removing an item takes it out of the selection.
void SelectListItems(const std::vector<size_t>& indices);

}  // namespace vk::cli
