// Naming entries on vkdisk's command line: DOS wildcards over the names a
// listing shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vk::cli {

// The entries of the open image that the patterns name, in directory order.
// False, after a complaint per pattern, when a pattern names nothing.
bool ResolveNames(const std::vector<std::string>& patterns, std::vector<uint32_t>& entries);

}  // namespace vk::cli
