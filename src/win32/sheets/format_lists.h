// The drop-down lists of floppy formats and boot-sector templates that the
// Options sheet and the new-image dialog fill alike.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vk::win32 {

// The standard formats in table order, each with its media byte as item
// data; the row of `selectedCode` is selected, else the first. With
// `withCustom` "Custom..." follows with item data 0.
void FillFormatList(HWND dialog, int control, uint32_t selectedCode, bool withCustom);

// The three boot-sector templates in template order; index `selected` is
// selected, or nothing when it is no template's index.
void FillBootSectorList(HWND dialog, int control, int32_t selected);

}  // namespace vk::win32
