// The prompt and window ports of the fuzzers: every question is answered
// from bytes of the input, the list is a vector of entry offsets, and the
// selection is what the fuzzer chose.
#pragma once

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

struct FuzzWindow {
    std::vector<uint32_t> items;     // entry offsets in list order
    std::vector<int> selected;       // item indices, ascending
    const ImageDocument* doc = nullptr;  // whose entries the items are
};
FuzzWindow& Window();

// The front end's part: a result reported (true when done), and the
// document opened (list filled, backup FAT checked) or closed (list emptied).
bool Shown(const Result& result);
bool OpenDocument(ImageDocument& doc, const std::string& path);
void CloseDocument(ImageDocument& doc);

}  // namespace vk::fuzz
