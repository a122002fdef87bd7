// The prompt and window ports of the fuzzers: every question is answered
// from bytes of the input; the window keeps nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vk {
struct ImageDocument;
struct Result;
}

namespace vk::fuzz {

// Bytes that answer the next questions; when they run out, the first button wins.
void SetAnswers(const uint8_t* data, size_t size);

// The front end's part: a result reported (true when done), and the
// document opened (list filled, backup FAT checked) or closed (list emptied).
bool Shown(const Result& result);
bool OpenDocument(ImageDocument& doc, const std::string& path);
void CloseDocument(ImageDocument& doc);

}  // namespace vk::fuzz
