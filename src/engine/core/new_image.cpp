#include "engine/core/new_image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "engine/core/boot_sector.h"
#include "engine/core/document.h"
#include "engine/ports/host_failure.h"
#include "engine/ports/host_files.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"

namespace vk {
namespace {

constexpr uint32_t kHardDiskMedia = 0xF8;
constexpr uint32_t kHardDiskHeads = 255;
constexpr uint32_t kHardDiskTrack = 63;
constexpr uint64_t kSmallVolumeSectors = 4096;  // 2 MB: below, a floppy's 112 root entries
constexpr uint32_t kReservedSectors = 1;
constexpr uint32_t kFats = 2;

// Four bytes of volume serial where the template keeps one: template 0 has
// boot code there.
void PutSerial(uint8_t* bootSector, unsigned templateIndex, bool extendedBpb) {
    if (templateIndex == kBootMsxDos22 || templateIndex == kBootMsDos6 || extendedBpb) {
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        for (uint32_t i = 0; i < 4; ++i) {
            bootSector[kBsVolumeSerial + i] = static_cast<uint8_t>(std::rand());
        }
    }
}

// The FAT sectors for `clusters` data clusters and the two reserved entries.
uint64_t FatSectorsFor(uint32_t fatBits, uint64_t clusters) {
    const uint64_t bytes = fatBits == 12 ? ((clusters + 2) * 3 + 1) / 2 : (clusters + 2) * 2;
    return (bytes + kSectorSize - 1) / kSectorSize;
}

// The layout of `sectors` sectors with `perCluster` sectors per cluster: the
// FAT grown until it holds an entry for every cluster the rest leaves.
bool FitVolume(uint64_t sectors, uint32_t perCluster, uint32_t fatBits, uint32_t rootEntries, DiskFormat& g) {
    const uint64_t rootSectors = uint64_t{rootEntries} * kDirEntrySize / kSectorSize;
    uint64_t fatSectors = 1;
    uint64_t clusters = 0;
    for (;;) {
        const uint64_t system = kReservedSectors + kFats * fatSectors + rootSectors;
        if (system >= sectors) return false;
        clusters = (sectors - system) / perCluster;
        const uint64_t need = FatSectorsFor(fatBits, clusters);
        if (need <= fatSectors) break;
        fatSectors = need;
    }
    const bool fits = fatBits == 12 ? clusters >= 1 && clusters < kFat16MinClusters
                                    : clusters >= kFat16MinClusters && clusters < kFat32MinClusters;
    if (!fits || fatSectors > 0xFFFF) return false;
    g = DiskFormat{};
    g.fatCount = kFats;
    g.totalSectors = static_cast<uint32_t>(sectors);
    g.sectorsPerFat = static_cast<uint32_t>(fatSectors);
    g.sectorsPerCluster = perCluster;
    g.reservedSectors = kReservedSectors;
    g.heads = kHardDiskHeads;
    g.sectorsPerTrack = kHardDiskTrack;
    g.rootEntries = rootEntries;
    g.mediaByte = kHardDiskMedia;
    return true;
}

}  // namespace

uint64_t SystemAreaSectors(const DiskFormat& row) {
    return ComputeLayout(row).dataStart / kSectorSize;
}

Result CreateEmptyImage(ImageDocument& doc, uint32_t formatCode, unsigned templateIndex) {
    const DiskFormat& row = FormatRow(formatCode);
    if (row.fatCount == 0 || row.sectorsPerFat == 0 || row.sectorsPerCluster == 0) {
        return Failure(FailureKind::kImpossible, TextNotice(kMsgFormatZeroField, Tone::kError));
    }
    // A custom row may describe less disk than its own FATs and root directory need.
    const uint64_t systemSectors = SystemAreaSectors(row);
    const uint64_t imageBytes = uint64_t{row.totalSectors} * kSectorSize;
    if (row.totalSectors == 0 || systemSectors > row.totalSectors || imageBytes > 0xFFFFFFFFull) {
        return Failure(FailureKind::kImpossible, TextNotice(kMsgFormatTooSmall, Tone::kError,
                                  {std::to_string(systemSectors), std::to_string(row.totalSectors)}));
    }
    ByteBlock image;
    if (!image.Allocate(static_cast<size_t>(imageBytes))) {
        return Failure(FailureKind::kOutOfMemory, TextNotice(kMsgOutOfMemory, Tone::kError));
    }
    // Each byte is written once: the system area zero, the data area 0xFF.
    const Layout layout = ComputeLayout(row);
    uint8_t* p = image.data();
    std::memset(p, 0, static_cast<size_t>(layout.dataStart));
    std::memset(p + layout.dataStart, 0xFF, static_cast<size_t>(imageBytes - layout.dataStart));
    std::memcpy(p, BootTemplate(templateIndex).data(), kSectorSize);

    p[kBpbSectorsPerCluster] = static_cast<uint8_t>(row.sectorsPerCluster);
    Store16(p + kBpbReservedSectors, row.reservedSectors);
    p[kBpbFatCount] = static_cast<uint8_t>(row.fatCount);
    Store16(p + kBpbRootEntries, row.rootEntries);
    Store16(p + kBpbTotalSectors, row.totalSectors);
    p[kBpbMediaByte] = static_cast<uint8_t>(row.mediaByte);
    Store16(p + kBpbSectorsPerFat, row.sectorsPerFat);
    Store16(p + kBpbSectorsPerTrack, row.sectorsPerTrack);
    Store16(p + kBpbHeads, row.heads);

    PutSerial(p, templateIndex, false);

    for (uint32_t k = 0; k < row.fatCount; ++k) {
        uint8_t* fat = p + layout.FatCopyStart(k);
        fat[0] = static_cast<uint8_t>(row.mediaByte);
        fat[1] = 0xFF;
        fat[2] = 0xFF;
    }

    doc.geometry = row;
    doc.imageBuffer = std::move(image);
    doc.imageSize = static_cast<uint32_t>(imageBytes);
    doc.dataOffset = 0;
    doc.areaEnd = 0;
    doc.partitions = PartitionTable();
    doc.partition = 0;
    doc.imageFile.Close();
    doc.fileName = std::string(LoadText(kStrUntitled));
    doc.readOnly = false;
    doc.modified = false;
    doc.geometryGuessed = false;
    return Done();
}

VolumeSizeFault PlanVolume(uint64_t sectors, VolumePlan& plan) {
    plan = VolumePlan();
    plan.fatBits = sectors <= kFat12PartitionSectors ? 12 : 16;
    const uint64_t used = std::min(sectors, plan.fatBits == 12 ? kFat12VolumeSectors : sectors);
    const uint32_t rootEntries = used < kSmallVolumeSectors ? 112 : 512;
    for (uint32_t perCluster = 1; perCluster <= kLargestCluster; perCluster *= 2) {
        if (FitVolume(used, perCluster, plan.fatBits, rootEntries, plan.geometry)) {
            return VolumeSizeFault::kNone;
        }
    }
    return plan.fatBits == 12 ? VolumeSizeFault::kTooSmall : VolumeSizeFault::kTooLarge;
}

std::vector<uint8_t> FormatVolume(const VolumePlan& plan, unsigned templateIndex, uint64_t hiddenSectors) {
    const DiskFormat& g = plan.geometry;
    const Layout layout = ComputeLayout(g);
    std::vector<uint8_t> area(static_cast<size_t>(layout.dataStart), 0);
    uint8_t* p = area.data();
    const bool extendedBpb = g.totalSectors > 0xFFFF;
    const auto& boot = extendedBpb ? BootTemplateWithExtendedBpb(templateIndex) : BootTemplate(templateIndex);
    std::memcpy(p, boot.data(), kSectorSize);
    p[kBpbSectorsPerCluster] = static_cast<uint8_t>(g.sectorsPerCluster);
    Store16(p + kBpbReservedSectors, g.reservedSectors);
    p[kBpbFatCount] = static_cast<uint8_t>(g.fatCount);
    Store16(p + kBpbRootEntries, g.rootEntries);
    Store16(p + kBpbTotalSectors, extendedBpb ? 0 : g.totalSectors);
    p[kBpbMediaByte] = static_cast<uint8_t>(g.mediaByte);
    Store16(p + kBpbSectorsPerFat, g.sectorsPerFat);
    Store16(p + kBpbSectorsPerTrack, g.sectorsPerTrack);
    Store16(p + kBpbHeads, g.heads);
    // The MSX boot sectors keep 16 bits of hidden sectors, their loader or
    // the jump to it behind; the MS-DOS one and the extended BPB keep 32.
    if (templateIndex == kBootMsDos6) {
        Store32(p + kBpbHiddenSectors, static_cast<uint32_t>(hiddenSectors));
    } else if (hiddenSectors <= 0xFFFF) {
        Store16(p + kBpbHiddenSectors, static_cast<uint32_t>(hiddenSectors));
    }
    if (extendedBpb) {
        Store32(p + kBpbTotalSectors32, g.totalSectors);
    }
    if (extendedBpb || templateIndex == kBootMsDos6) {
        std::memcpy(p + kBsFileSystemType, plan.fatBits == 12 ? "FAT12   " : "FAT16   ", kFileSystemTypeLength);
    }
    PutSerial(p, templateIndex, extendedBpb);
    for (uint32_t k = 0; k < g.fatCount; ++k) {
        uint8_t* fat = p + layout.FatCopyStart(k);
        fat[0] = static_cast<uint8_t>(g.mediaByte);
        std::memset(fat + 1, 0xFF, plan.fatBits == 12 ? 2 : 3);
    }
    return area;
}

Result CreatePartitionedImage(const std::string& path, PartitionTableKind kind, const std::vector<uint64_t>& sizes,
                              unsigned templateIndex, bool replace) {
    std::vector<VolumePlan> volumes(sizes.size());
    std::vector<uint8_t> types;
    for (size_t i = 0; i < sizes.size(); ++i) {
        const VolumeSizeFault fault = PlanVolume(sizes[i], volumes[i]);
        if (fault != VolumeSizeFault::kNone) {
            const std::string number = std::to_string(i + 1);
            const std::string count = std::to_string(sizes[i]);
            const unsigned id = fault == VolumeSizeFault::kTooSmall ? kMsgPartitionTooSmall : kMsgPartitionTooLarge;
            return Failure(FailureKind::kImpossible, TextNotice(id, Tone::kError, {number, count}));
        }
        if (kind == PartitionTableKind::kMsxIde && volumes[i].fatBits != 12) {
            return Failure(FailureKind::kImpossible, TextNotice(kMsgMsxIdeLimits, Tone::kError));
        }
        types.push_back(FatPartitionType(volumes[i].fatBits, sizes[i]));
    }
    PartitionPlan plan;
    if (!MakePartitionTable(kind, sizes, types, 1, plan)) {
        return Failure(FailureKind::kImpossible, TextNotice(kind == PartitionTableKind::kMsxIde ? kMsgMsxIdeLimits
                                                                                                 : kMsgPartitionsTooMany,
                                                            Tone::kError));
    }
    const uint64_t imageBytes = plan.totalSectors * kSectorSize;
    if (imageBytes > 0xFFFFFFFFull) {
        return Failure(FailureKind::kImpossible, TextNotice(kMsgFileTooLarge, Tone::kError));
    }
    NewHostFile file;
    uint32_t error = CreateNewHostFile(path, 0, file);
    auto write = [&](uint64_t sector, const std::vector<uint8_t>& bytes) {
        if (error == kHostSuccess) {
            error = WriteHostFileAt(file.file, sector * kSectorSize, bytes.data(), static_cast<uint32_t>(bytes.size()));
        }
    };
    for (const TableSector& t : plan.sectors) {
        write(t.sector, t.bytes);
    }
    for (size_t i = 0; i < volumes.size(); ++i) {
        const PartitionEntry& partition = plan.partitions[i];
        write(partition.startSector, FormatVolume(volumes[i], templateIndex, partition.startSector));
    }
    // The last sector gives the file its length; what lies between stays a hole.
    write(plan.totalSectors - 1, std::vector<uint8_t>(kSectorSize, 0));
    if (error == kHostSuccess) {
        error = CommitNewHostFile(file, replace);
    }
    if (error != kHostSuccess) {
        DiscardNewHostFile(file);
        return Failure(HostFault(path, error));
    }
    return Done();
}

}  // namespace vk
