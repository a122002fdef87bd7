// Building a freshly formatted, empty image in memory.
#pragma once

#include <cstdint>

#include "engine/common/result.h"

namespace vk {

struct ImageDocument;

// Makes an empty image of format row `formatCode` with boot template
// `templateIndex` the (untitled, unmodified) document. The previous document
// must be closed already. Fails, leaving `doc` as it was, when the row
// cannot make an image or no memory could be had.
Result CreateEmptyImage(ImageDocument& doc, uint32_t formatCode, unsigned templateIndex);

// Sectors the boot sector, the FATs and the root directory of `row` take.
uint64_t SystemAreaSectors(const struct DiskFormat& row);

}  // namespace vk
