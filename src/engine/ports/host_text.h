// Text services of the host: its character conversion and its locale.
#pragma once

#include <string>

namespace vk {

// Upper-cases `text` in place with the system's character conversion (the
// ANSI code page on Windows; ASCII letters elsewhere).
void HostUpperCase(std::string& text);

}  // namespace vk
