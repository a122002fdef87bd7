// vkdisk's progress window: a percentage line on stderr while a disk job
// runs, when stderr is a terminal.
#pragma once

#include <string>

namespace vk::cli {

// The name the progress line gives the device.
void SetProgressDeviceName(const std::string& name);

// Ends a percentage line that is being drawn, so that a message printed next
// starts on a line of its own.
void BreakProgressLine();

}  // namespace vk::cli
