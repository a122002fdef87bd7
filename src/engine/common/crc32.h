// CRC-32 as zip, gzip and PNG compute it (reflected polynomial 0xEDB88320).
// The engine depends on nothing but the standard library, on every target,
// so it carries this one table itself.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vk {

// The CRC of `count` bytes continued from `crc` (0 to start).
uint32_t Crc32(const uint8_t* bytes, size_t count, uint32_t crc = 0);

}  // namespace vk
