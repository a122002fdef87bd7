#include "engine/fat/ops/partition_info.h"

#include "engine/core/document.h"
#include "engine/core/write_safety.h"
#include "engine/fat/ops/volume_info.h"

namespace vk {

Result DescribeImagePartitions(const std::string& path, PartitionTable& table,
                               std::vector<PartitionSummary>& summaries) {
    summaries.clear();
    Result read = ReadImagePartitions(path, table);
    if (!read.Done()) return read;
    for (const PartitionEntry& entry : table.partitions) {
        PartitionSummary summary;
        summary.entry = entry;
        summary.totalBytes = entry.sectorCount * kSectorSize;
        ImageDocument doc;
        if (OpenImage(doc, path, OpenOptions{true, entry.number}).Done() && !doc.geometryGuessed) {
            const VolumeFigures figures = ReadVolumeFigures(doc);
            summary.opened = true;
            summary.fileSystem = "FAT" + std::to_string(ReadersFatBits(doc));
            summary.label = figures.labelText;
            summary.freeBytes = figures.freeBytes;
            summary.writable = doc.changeBlock == ChangeBlock::kNone;
        }
        doc.Discard();
        summaries.push_back(std::move(summary));
    }
    return Done();
}

}  // namespace vk
