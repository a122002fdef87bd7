// Naming entries on vkdisk's command line: DOS wildcards (the engine's
// MatchesName) over the names the list shows.
#pragma once

#include <string>
#include <vector>

namespace vk::cli {

// The list indices of the items the patterns name, in list order. False,
// after a complaint per pattern, when a pattern names nothing.
bool ResolveNames(const std::vector<std::string>& patterns, std::vector<size_t>& indices);

}  // namespace vk::cli
