// Naming entries on vkdisk's command line: DOS wildcards over the names a
// listing shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vk::cli {

// `name` matches `pattern` (* and ?, without regard to case); as in DOS,
// "NAME.*" also takes NAME without an extension.
bool MatchesName(const std::string& pattern, const std::string& name);

// The entries of the open image that the patterns name, in directory order.
// False, after a complaint per pattern, when a pattern names nothing.
bool ResolveNames(const std::vector<std::string>& patterns, std::vector<uint32_t>& entries);

}  // namespace vk::cli
