// The prompt and window ports of the fuzzers: every question is answered
// from bytes of the input; the window keeps nothing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vk::fuzz {

// Bytes that answer the next questions; when they run out, the first button wins.
void SetAnswers(const uint8_t* data, size_t size);

}  // namespace vk::fuzz
