#include "engine/core/new_image.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "engine/core/boot_sector.h"
#include "engine/core/document.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"

namespace vk {

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

    // Template 0 has boot code where the others keep their serial number.
    if (templateIndex == kBootMsxDos22 || templateIndex == kBootMsDos6) {
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        for (uint32_t i = 0; i < 4; ++i) {
            p[kBsVolumeSerial + i] = static_cast<uint8_t>(std::rand());
        }
    }

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

}  // namespace vk
