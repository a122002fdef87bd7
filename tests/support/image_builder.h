// Small images built in memory for tests: a valid image of any table
// format, and the damages the corrupt-image tests apply to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/disk_format.h"

namespace vk::test {

using Bytes = std::vector<uint8_t>;

// An empty image of format `code` with boot template `boot`, as new images are made.
Bytes MakeImage(uint32_t code = 0xF9, unsigned boot = 0);

// A comment header with `comment` and compression word `compression`, to put in front of an image.
Bytes CommentHeader(const std::string& comment, uint16_t compression = 0, char kind = 'Z');

void Put16(Bytes& image, size_t offset, uint16_t value);

}  // namespace vk::test
