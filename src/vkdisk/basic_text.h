// MSX-BASIC programs as text on the host: the conversions vkdisk list, get
// --basic-text and add --tokenize make.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/basic/basic_program.h"

namespace vk::cli {

// How a file's bytes leave the image.
enum class TextForm { kAsItIs, kMsxListing, kUtf8Listing };

// `bytes` in `form`: a tokenized program as its listing (MSX characters with
// CR LF and a final ^Z, or UTF-8 with the host's line ends); anything else as
// it is. `stop` gets the note of a listing that stopped early.
std::vector<uint8_t> ConvertedBytes(const std::vector<uint8_t>& bytes, TextForm form, std::optional<Notice>& stop);

}  // namespace vk::cli
