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

// Marks a file written by CreateNewHostFile and not yet committed.
constexpr uint32_t kMemoryTemp = 0x80000000u;
// How many such files are there: a finished extraction leaves none.
size_t TempFilesLeft();

}  // namespace vk::fuzz
