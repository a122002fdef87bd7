// Where the FATs, the root directory and the clusters lie inside an image,
// in bytes from the boot sector. Every part of the engine locates data
// through this one computation.
#pragma once

#include <cstdint>

#include "engine/core/disk_format.h"

namespace vk {

constexpr uint32_t kDirEntrySize = 32;
constexpr uint32_t kEntriesPerSector = kSectorSize / kDirEntrySize;
// A FAT12 volume holds at most 4084 clusters, numbered 2 .. 0xFF5; a larger
// count would make it FAT16 to every other reader.
constexpr uint32_t kFat12MaxCluster = 0xFF5;
constexpr uint32_t kFirstDataCluster = 2;
// Every FAT reader decides the FAT's width by the number of data clusters
// alone: below 4085 FAT12, below 65525 FAT16, else FAT32.
constexpr uint64_t kFat16MinClusters = 4085;
constexpr uint64_t kFat32MinClusters = 65525;
constexpr uint32_t kFat16MaxCluster = 0xFFF6;

struct Layout {
    uint64_t fatStart = 0;      // FAT copy 1
    uint64_t fatBytes = 0;      // one FAT copy
    uint32_t fatCount = 0;
    uint64_t rootStart = 0;
    uint32_t rootEntries = 0;
    uint64_t dataStart = 0;     // cluster 2
    uint64_t clusterBytes = 0;
    uint32_t lastCluster = 0;   // highest data cluster; below 2 when there is none
    uint64_t totalBytes = 0;    // what the geometry describes
    uint64_t clusterCount = 0;  // data clusters the disk holds, as other readers count them
    uint32_t fatBits = 12;      // 12, 16 or 32: the FAT width that count gives

    uint64_t FatCopyStart(uint32_t copy) const { return fatStart + uint64_t{copy} * fatBytes; }
    uint64_t ClusterOffset(uint32_t cluster) const {
        return dataStart + uint64_t{cluster - kFirstDataCluster} * clusterBytes;
    }
    bool IsDataCluster(uint32_t cluster) const {
        return cluster >= kFirstDataCluster && cluster <= lastCluster;
    }
    bool IsFat12() const { return fatBits == 12; }
    // FAT12 and FAT16 are written; a FAT32 layout has no clusters here.
    bool IsWritableWidth() const { return fatBits == 12 || fatBits == 16; }
    // The end-of-chain mark written in this FAT's width, and the bad-cluster mark.
    uint32_t EndMark() const { return fatBits == 12 ? 0xFFF : 0xFFFF; }
    uint32_t BadMark() const { return fatBits == 12 ? 0xFF7 : 0xFFF7; }
    // Byte offset of cluster's entry in FAT copy 1: 3n/2 for FAT12, 2n for FAT16.
    uint64_t FatEntryOffset(uint32_t cluster) const {
        return fatStart + (fatBits == 12 ? uint64_t{cluster} * 3 / 2 : uint64_t{cluster} * 2);
    }
    // An end-of-chain mark in this FAT's width (0xFF8 .. 0xFFF, 0xFFF8 .. 0xFFFF).
    bool IsEndMark(uint32_t value) const {
        return fatBits == 12 ? value >= 0xFF8 && value <= 0xFFF : value >= 0xFFF8 && value <= 0xFFFF;
    }
};

// The layout of a geometry. The FATs begin after the reserved sectors the
// boot sector gives (one, as every table row has; a count of 0 is taken as
// one), the root directory takes whole sectors, the cluster count decides the
// FAT's width, and the last cluster is limited by the disk, by what one FAT
// copy can hold and by the range of that width.
Layout ComputeLayout(const DiskFormat& geometry);

}  // namespace vk
