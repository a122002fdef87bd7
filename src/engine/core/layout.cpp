#include "engine/core/layout.h"

#include <algorithm>

namespace vk {

Layout ComputeLayout(const DiskFormat& g) {
    Layout l;
    const uint64_t reserved = g.reservedSectors == 0 ? 1 : g.reservedSectors;
    const uint64_t rootSectors = (uint64_t{g.rootEntries} + kEntriesPerSector - 1) / kEntriesPerSector;
    const uint64_t spc = g.sectorsPerCluster == 0 ? 1 : g.sectorsPerCluster;
    l.fatCount = g.fatCount;
    l.fatStart = reserved * kSectorSize;
    l.fatBytes = uint64_t{g.sectorsPerFat} * kSectorSize;
    l.rootStart = l.fatStart + uint64_t{g.fatCount} * l.fatBytes;
    l.rootEntries = g.rootEntries;
    l.dataStart = l.rootStart + rootSectors * kSectorSize;
    l.clusterBytes = spc * kSectorSize;
    l.totalBytes = uint64_t{g.totalSectors} * kSectorSize;

    const uint64_t firstDataSector = l.dataStart / kSectorSize;
    if (g.totalSectors > firstDataSector) {
        l.clusterCount = (g.totalSectors - firstDataSector) / spc;
    }
    l.fatBits = l.clusterCount < kFat16MinClusters ? 12 : l.clusterCount < kFat32MinClusters ? 16 : 32;
    uint64_t last = 1 + l.clusterCount;
    uint64_t fatLimit = 0;
    uint64_t widthLimit = kFat12MaxCluster;
    if (l.fatBits == 12) {
        // Entry n lies at 3n/2 in the FAT: the highest n whose two bytes fit.
        fatLimit = l.fatBytes >= 2 ? (2 * (l.fatBytes - 2) + 1) / 3 : 0;
    } else if (l.fatBits == 16) {
        fatLimit = l.fatBytes >= 2 ? l.fatBytes / 2 - 1 : 0;
        widthLimit = kFat16MaxCluster;
    }
    // FAT32 keeps its FAT size where this geometry does not look: no clusters.
    last = std::min<uint64_t>({last, fatLimit, widthLimit});
    l.lastCluster = static_cast<uint32_t>(std::max<uint64_t>(last, 1));
    return l;
}

}  // namespace vk
