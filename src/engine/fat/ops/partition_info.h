// What each partition of a partitioned image holds, for a list to choose
// from: its entry, file system, label and free space.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/common/result.h"
#include "engine/core/document.h"
#include "engine/core/partition_table.h"

namespace vk {

struct PartitionSummary {
    PartitionEntry entry;
    bool opened = false;      // a volume could be read in it; the fields below are empty otherwise
    std::string fileSystem;   // "FAT12", "FAT16" or "FAT32", as other readers take it
    std::string label;        // the volume label; empty without one
    uint64_t totalBytes = 0;  // the partition's length
    uint64_t freeBytes = 0;
    bool writable = false;    // the engine would change it
};

// Opens the image at `path` (`member` of a zip) read only, once, and
// describes each of its partitions from its bytes, as DescribeOpenPartitions
// does. `table` is the image's table (kind kNone without one, and then
// `summaries` stays empty). Fails only when the file cannot be read.
Result DescribeImagePartitions(const std::string& path, const std::string& member, PartitionTable& table,
                               std::vector<PartitionSummary>& summaries);

// The same for the image `doc` has open with one of its partitions, read
// from the document's bytes: its own file may be held open for writing,
// and the open partition is described with the changes not yet saved.
// Empty for a document without a partition table.
void DescribeOpenPartitions(const ImageDocument& doc, std::vector<PartitionSummary>& summaries);

}  // namespace vk
