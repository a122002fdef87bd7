// The FAT12 allocation layer: 12-bit entries, first-fit allocation, freeing
// chains and counting space. Every operation takes the layout in force and a
// file-system area (from the boot sector on) with its length, so that it
// serves the document and a work copy alike.
#pragma once

#include <cstdint>

#include "core/layout.h"

namespace vk {

// FAT entry values.
constexpr uint32_t kFatFree = 0x000;
constexpr uint32_t kFatBadCluster = 0xFF7;
constexpr uint32_t kFatEndFirst = 0xFF8;  // 0xFF8 .. 0xFFF end a chain
constexpr uint32_t kFatEnd = 0xFFF;       // the only end mark we write

inline bool IsEndOfChain(uint32_t value) { return value >= kFatEndFirst && value <= kFatEnd; }

// The entry of `cluster`; 0xFFF when the entry lies at or past `length`.
uint32_t ReadFatEntry(const Layout& layout, const uint8_t* area, uint32_t length, uint32_t cluster);
// Changes exactly the entry's 12 bits. False, writing nothing, past `length`.
bool WriteFatEntry(const Layout& layout, uint8_t* area, uint32_t length, uint32_t cluster, uint32_t value);
// The lowest free data cluster, or 0 when the disk is full.
uint32_t FindFreeCluster(const Layout& layout, const uint8_t* area, uint32_t length);
// Frees the chain of the directory entry at `entryOffset` and marks the entry deleted.
void FreeChain(const Layout& layout, uint8_t* area, uint32_t length, uint32_t entryOffset);

struct ClusterCounts {
    uint32_t used = 0;
    uint32_t free = 0;
};
ClusterCounts CountClusters(const Layout& layout, const uint8_t* area, uint32_t length);

}  // namespace vk
