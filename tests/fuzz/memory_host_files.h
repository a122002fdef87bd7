// A host file system held in memory, for the fuzzers: OpenImage, saving and
// extracting run unchanged, without touching the disk.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/ports/host_files.h"

namespace vk::fuzz {

struct MemoryFile {
    std::vector<uint8_t> data;
    uint32_t attributes = kHostArchive;
    HostTime time = 0;
};

// Every file by its path. Folders are files with kHostDirectory set.
std::map<std::string, MemoryFile>& MemoryFiles();

// Forgets every file and closes every handle.
void ResetMemoryFiles();

}  // namespace vk::fuzz
