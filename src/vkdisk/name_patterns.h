// Naming entries on vkdisk's command line: DOS wildcards over the names a
// listing shows, and paths into folders ("GAMES/SHOOT/*.DAT", '/' or '\'),
// wildcards in the last part only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/fat/dir/dir_walk.h"

namespace vk::cli {

// The entries of the open image that the patterns name: those of the root
// in directory order, then those named by paths, each once. False, after a
// complaint per pattern, when a pattern names nothing.
bool ResolveNames(const std::vector<std::string>& patterns, std::vector<uint32_t>& entries);

// The folder `path` names ("" or "/" for the root). False, said already,
// when there is none.
bool ResolveFolder(const std::string& path, DirRef& dir);

}  // namespace vk::cli
