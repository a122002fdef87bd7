// The system's own text for a platform error code, as a message box shows it.
#pragma once

#include <cstdint>
#include <string>

namespace vk {

// Empty when the system has no text for `code`.
std::string SystemErrorText(uint32_t code);

}  // namespace vk
