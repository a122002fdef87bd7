// A directory entry's cluster chain, freed together with the entry.
#pragma once

#include <cstdint>

#include "engine/fat/table/volume.h"

namespace vk {

// Frees the chain of the directory entry at `entryOffset` and marks the entry
// deleted. The walk stops at the first link that is no data cluster or that
// leads back into the chain.
void FreeChain(const Volume& vol, uint32_t entryOffset);

}  // namespace vk
