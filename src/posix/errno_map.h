#pragma once

#include <cstdint>

namespace vk {

// The platform error code that stands for `err` in the engine's messages.
uint32_t ErrnoToWinError(int err);

// The system text of a platform error code, as the Win32 front end would show it;
// empty for a code without text.
const char* WinErrorText(uint32_t code);

}  // namespace vk
