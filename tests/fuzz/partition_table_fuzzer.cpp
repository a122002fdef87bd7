// Any byte string as a partitioned image: the table read sector by sector
// (no sector asked for outside the image, a bounded number of them, and a
// table said to be sound really is), then each listed partition opened and
// its root listed, which must stay inside the partition.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/core/document.h"
#include "engine/core/partition_table.h"
#include "engine/fat/dir/list_texts.h"
#include "tests/fuzz/fuzz_ports.h"
#include "tests/fuzz/memory_host_files.h"

namespace {

// Sector 0, each extended record once, and the one read that finds a fault.
constexpr uint64_t kMostReads = 1 + vk::kMaxLogicalPartitions + 1;

void CheckSound(const vk::PartitionTable& table, uint64_t imageSectors) {
    uint32_t number = 0;
    for (const vk::PartitionEntry& p : table.partitions) {
        if (p.number != ++number) std::abort();
        if (table.fault == vk::PartitionFault::kNone) {
            if (p.startSector == 0 || p.startSector + p.sectorCount > imageSectors) std::abort();
            for (const vk::PartitionEntry& q : table.partitions) {
                if (&p != &q && p.startSector < q.startSector + q.sectorCount &&
                    q.startSector < p.startSector + p.sectorCount) {
                    std::abort();
                }
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vk;
    // The image is the input, seen as whole sectors; the chain may point anywhere.
    const uint64_t sectors = size / kPartitionSectorSize;
    uint64_t reads = 0;
    const PartitionTable table = ReadPartitionTable(
        [&](uint64_t sector, uint8_t* out) {
            if (sector >= sectors || ++reads > kMostReads) std::abort();
            std::memcpy(out, data + sector * kPartitionSectorSize, kPartitionSectorSize);
            return true;
        },
        sectors);
    CheckSound(table, sectors);

    fuzz::ResetMemoryFiles();
    fuzz::MemoryFiles()["/hd.img"].data.assign(data, data + size);
    fuzz::SetAnswers(data, size < 8 ? size : 8);
    for (const PartitionEntry& p : table.partitions) {
        ImageDocument doc;
        if (fuzz::Shown(OpenImage(doc, "/hd.img", OpenOptions{false, p.number, {}}))) {
            if (doc.AreaEnd() > doc.imageSize || doc.dataOffset > doc.AreaEnd()) std::abort();
            for (uint32_t offset : ListedEntries(doc)) {
                const ListColumns columns = EntryColumns(doc.Area() + offset);
                (void)columns;
            }
        }
        doc.modified = false;
        fuzz::CloseDocument(doc);
    }
    return 0;
}
