// Building a freshly formatted, empty image in memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/common/result.h"
#include "engine/core/disk_format.h"
#include "engine/core/partition_table.h"

namespace vk {

struct ImageDocument;

// Makes an empty image of format row `formatCode` with boot template
// `templateIndex` the (untitled, unmodified) document. The previous document
// must be closed already. Fails, leaving `doc` as it was, when the row
// cannot make an image or no memory could be had.
Result CreateEmptyImage(ImageDocument& doc, uint32_t formatCode, unsigned templateIndex);

// Sectors the boot sector, the FATs and the root directory of `row` take.
uint64_t SystemAreaSectors(const struct DiskFormat& row);

// A hard-disk volume (a partition, or a large image without a table) as it
// is formatted: FAT12 up to the 65535 sectors the boot sector's 16-bit count
// holds, which is what MSX-DOS 2 reads, a larger partition of up to 32 MB
// keeping its last sectors unused; FAT16 above. Each takes the fewest
// sectors per cluster that keep its clusters in its width's range, one
// reserved sector, two FATs and 512 root entries (112 below 2 MB).
constexpr uint64_t kFat12VolumeSectors = 0xFFFF;
constexpr uint64_t kFat12PartitionSectors = 0x10000;  // 32 MB
constexpr uint32_t kLargestCluster = 64;              // sectors: 32 KB
enum class VolumeSizeFault : uint8_t { kNone, kTooSmall, kTooLarge };
struct VolumePlan {
    DiskFormat geometry;  // totalSectors may need the 32-bit field
    uint32_t fatBits = 12;
};
VolumeSizeFault PlanVolume(uint64_t sectors, VolumePlan& plan);

// The system area of a volume planned so (boot sector from template
// `templateIndex`, FATs, root directory), to be laid at its first sector;
// `hiddenSectors` is where that sector lies in the image. The data area is
// left as it is.
std::vector<uint8_t> FormatVolume(const VolumePlan& plan, unsigned templateIndex, uint64_t hiddenSectors);

// Writes a new partitioned image to `path`: a table of `kind` with one
// partition of each of `sizes` sectors, each formatted with the template
// `templateIndex`; the data areas are left unwritten (a sparse file where
// the host makes one). The file takes `path` only when complete, replacing
// what is there only with `replace`. Fails, creating nothing, for a size no
// volume or table can hold.
Result CreatePartitionedImage(const std::string& path, PartitionTableKind kind, const std::vector<uint64_t>& sizes,
                              unsigned templateIndex, bool replace);

}  // namespace vk
