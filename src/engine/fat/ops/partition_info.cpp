#include "engine/fat/ops/partition_info.h"

#include <algorithm>

#include "engine/core/boot_sector.h"
#include "engine/core/document.h"
#include "engine/core/write_safety.h"
#include "engine/fat/ops/volume_info.h"

namespace vk {
namespace {

PartitionSummary SummaryOf(const PartitionEntry& entry) {
    PartitionSummary summary;
    summary.entry = entry;
    summary.totalBytes = entry.sectorCount * kSectorSize;
    return summary;
}

// What an opened partition holds; one whose layout is a guess holds nothing
// a list could name.
void DescribeVolume(const ImageDocument& doc, PartitionSummary& summary) {
    if (doc.geometryGuessed) return;
    const VolumeFigures figures = ReadVolumeFigures(doc);
    summary.opened = true;
    summary.fileSystem = "FAT" + std::to_string(ReadersFatBits(doc));
    summary.label = figures.labelText;
    summary.freeBytes = figures.freeBytes;
    summary.writable = doc.changeBlock == ChangeBlock::kNone;
}

void KeepBytes(uint8_t*, size_t) {}

}  // namespace

Result DescribeImagePartitions(const std::string& path, const std::string& member, PartitionTable& table,
                               std::vector<PartitionSummary>& summaries) {
    summaries.clear();
    Result read = ReadImagePartitions(path, table, member);
    if (!read.Done()) return read;
    // One opening serves them all: the first partition that opens gives the
    // bytes every other one is described from.
    for (const PartitionEntry& entry : table.partitions) {
        ImageDocument doc;
        const bool opened = OpenImage(doc, path, OpenOptions{true, entry.number, member}).Done();
        if (opened) DescribeOpenPartitions(doc, summaries);
        doc.Discard();
        if (opened) return Done();
    }
    for (const PartitionEntry& entry : table.partitions) summaries.push_back(SummaryOf(entry));
    return Done();
}

void DescribeOpenPartitions(const ImageDocument& doc, std::vector<PartitionSummary>& summaries) {
    summaries.clear();
    const PartitionEntry* open = doc.partitions.Find(doc.partition);
    if (!doc.IsOpen() || open == nullptr) return;
    // Where sector 0 of the table lies: behind the comment header.
    const uint64_t base = doc.dataOffset - open->startSector * kSectorSize;
    for (const PartitionEntry& entry : doc.partitions.partitions) {
        PartitionSummary summary = SummaryOf(entry);
        if (entry.number == doc.partition) {
            DescribeVolume(doc, summary);
            summaries.push_back(std::move(summary));
            continue;
        }
        const uint64_t start = base + entry.startSector * kSectorSize;
        const uint64_t end = std::min<uint64_t>(doc.imageSize, start + entry.sectorCount * kSectorSize);
        if (start + kSectorSize <= end) {
            // A view of the partition over the document's bytes, which it never changes.
            ImageDocument view;
            view.imageBuffer.Adopt(const_cast<uint8_t*>(doc.imageBuffer.data()), doc.imageBuffer.size(), KeepBytes);
            view.imageSize = doc.imageSize;
            view.dataOffset = static_cast<uint32_t>(start);
            view.areaEnd = static_cast<uint32_t>(end);
            view.partitions = doc.partitions;
            view.partition = entry.number;
            std::vector<Notice> warnings;
            const bool valid = ParseBootSector(view, warnings);
            view.changeBlock = JudgeChangeSafety(view, valid);
            if (doc.partitions.fault != PartitionFault::kNone && view.changeBlock == ChangeBlock::kNone) {
                view.changeBlock = ChangeBlock::kPartitionTable;
            }
            DescribeVolume(view, summary);
        }
        summaries.push_back(std::move(summary));
    }
}

}  // namespace vk
