// The first cluster of a subdirectory: its "." entry names the folder's own
// first cluster, its ".." entry the parent's (0 for the root directory), and
// every other entry is never used.
#pragma once

#include <cstdint>

namespace vk {

// The 11 name bytes of the two dot entries.
extern const char kDotName[];
extern const char kDotDotName[];

// Fills `cluster` (`clusterBytes` long, room for two entries at least) as a
// new, empty folder whose dot entries carry `date` and `time`.
void WriteEmptyFolder(uint8_t* cluster, uint64_t clusterBytes, uint32_t selfCluster, uint32_t parentCluster,
                      uint16_t date, uint16_t time);

// Whether the first two entries of `cluster` are the dot entries of the
// folder that begins at `selfCluster` under the one at `parentCluster`.
bool HasDotEntries(const uint8_t* cluster, uint64_t clusterBytes, uint32_t selfCluster, uint32_t parentCluster);

}  // namespace vk
