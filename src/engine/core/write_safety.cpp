#include "engine/core/write_safety.h"

#include <string>

#include "engine/common/bytes.h"
#include "engine/core/boot_sector.h"
#include "engine/core/document.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

// A FAT32 boot sector keeps 0 in the 16-bit FAT size and the root-entry
// count, and its FAT size in 32 bits further on.
bool HasFat32Bpb(const ImageDocument& doc) {
    if (doc.AreaLength() < kSectorSize) {
        return false;
    }
    const uint8_t* bs = doc.Area();
    return Load16(bs + kBpbSectorsPerFat) == 0 && Load16(bs + kBpbRootEntries) == 0 &&
           Load32(bs + kBpb32SectorsPerFat) != 0;
}

constexpr uint32_t kSmallestSector = 128;
constexpr uint32_t kLargestSector = 4096;

bool IsPossibleSectorSize(uint32_t bytes) {
    return bytes >= kSmallestSector && bytes <= kLargestSector && (bytes & (bytes - 1)) == 0;
}

// Bytes a FAT needs for entries 0 .. 1 + clusters: two FAT12 entries in
// three bytes, a FAT16 entry in two.
uint64_t FatBytesNeeded(uint32_t fatBits, uint64_t clusters) {
    return fatBits == 12 ? ((clusters + 2) * 3 + 1) / 2 : (clusters + 2) * 2;
}

unsigned LayoutFaultText(LayoutFault fault) {
    switch (fault) {
    case LayoutFault::kNone:
        break;
    case LayoutFault::kNoSectorsPerFat:
        return kMsgLayoutNoSectorsPerFat;
    case LayoutFault::kNoSectorsPerCluster:
        return kMsgLayoutNoSectorsPerCluster;
    case LayoutFault::kNoFats:
        return kMsgLayoutNoFats;
    case LayoutFault::kNoTotalSectors:
        return kMsgLayoutNoTotalSectors;
    case LayoutFault::kNoReservedSectors:
        return kMsgLayoutNoReservedSectors;
    case LayoutFault::kSectorSize:
        return kMsgLayoutSectorSize;
    case LayoutFault::kFatTooSmall:
        return kMsgLayoutFatTooSmall;
    }
    return kMsgChangeRefused;
}

}  // namespace

LayoutFault ImpossibleLayout(const ImageDocument& doc) {
    if (doc.AreaLength() < kSectorSize) {
        return LayoutFault::kNone;  // no boot sector to judge: ParseBootSector has guessed
    }
    const uint8_t* bs = doc.Area();
    if (!IsPossibleSectorSize(Load16(bs + kBpbBytesPerSector))) {
        return LayoutFault::kSectorSize;
    }
    if (bs[kBpbSectorsPerCluster] == 0) {
        // The geometry is the media byte's row, or a guess judged elsewhere.
        return doc.geometry.sectorsPerCluster == 0 ? LayoutFault::kNoSectorsPerCluster : LayoutFault::kNone;
    }
    if (Load16(bs + kBpbSectorsPerFat) == 0) {
        return LayoutFault::kNoSectorsPerFat;
    }
    if (bs[kBpbFatCount] == 0) {
        return LayoutFault::kNoFats;
    }
    if (doc.geometry.totalSectors == 0) {
        return LayoutFault::kNoTotalSectors;
    }
    if (Load16(bs + kBpbReservedSectors) == 0) {
        return LayoutFault::kNoReservedSectors;
    }
    const Layout layout = doc.GetLayout();
    if (layout.IsWritableWidth() && layout.fatBytes < FatBytesNeeded(layout.fatBits, layout.clusterCount)) {
        return LayoutFault::kFatTooSmall;
    }
    return LayoutFault::kNone;
}

uint32_t ReadersFatBits(const ImageDocument& doc) {
    return HasFat32Bpb(doc) ? 32 : doc.GetLayout().fatBits;
}

ChangeBlock JudgeChangeSafety(const ImageDocument& doc, bool bootSectorValid) {
    if (!bootSectorValid) {
        return ChangeBlock::kInvalidBootSector;
    }
    if (ReadersFatBits(doc) == 32) {
        return ChangeBlock::kFat32;
    }
    // A data area cut short is handled cluster by cluster; FATs and a root
    // directory cut short are not.
    if (ImpossibleLayout(doc) != LayoutFault::kNone) {
        return ChangeBlock::kImpossibleLayout;
    }
    if (doc.GetLayout().dataStart > doc.AreaLength()) {
        return ChangeBlock::kLayoutOutsideImage;
    }
    return ChangeBlock::kNone;
}

std::optional<Notice> ChangeBlockNotice(const ImageDocument& doc) {
    switch (doc.changeBlock) {
    case ChangeBlock::kNone:
        break;
    case ChangeBlock::kFat32:
        return TextNotice(kMsgFat32ReadOnly, Tone::kWarning);
    case ChangeBlock::kLayoutOutsideImage:
        return TextNotice(kMsgLayoutOutsideReadOnly, Tone::kWarning);
    case ChangeBlock::kInvalidBootSector:
        return TextNotice(kMsgGuessedLayoutReadOnly, Tone::kWarning);
    case ChangeBlock::kImpossibleLayout:
        return TextNotice(LayoutFaultText(ImpossibleLayout(doc)), Tone::kWarning);
    case ChangeBlock::kPartitionTable:
        return PartitionFaultNotice(doc.partitions);
    case ChangeBlock::kTrackImage:
        return TextNotice(kMsgTrackImageReadOnly, Tone::kWarning);
    }
    return std::nullopt;
}

std::optional<Notice> PartitionFaultNotice(const PartitionTable& table) {
    unsigned id = 0;
    switch (table.fault) {
    case PartitionFault::kNone:
        return std::nullopt;
    case PartitionFault::kPastEnd:
        id = kMsgPartitionPastEnd;
        break;
    case PartitionFault::kOverlap:
        id = kMsgPartitionOverlap;
        break;
    case PartitionFault::kOutsideExtended:
        id = kMsgPartitionOutsideExtended;
        break;
    case PartitionFault::kChainLoop:
        id = kMsgPartitionChainLoop;
        break;
    case PartitionFault::kChainOutside:
        id = kMsgPartitionChainOutside;
        break;
    case PartitionFault::kChainTooLong:
        id = kMsgPartitionChainTooLong;
        break;
    }
    return TextNotice(id, Tone::kWarning, {std::to_string(table.faultPartition)});
}

std::optional<Notice> ChangeRefusal(const ImageDocument& doc) {
    if (doc.changeBlock == ChangeBlock::kNone) {
        return std::nullopt;
    }
    if (doc.changeBlock == ChangeBlock::kTrackImage) {
        return TextNotice(kMsgTrackImageChangeRefused, Tone::kError);
    }
    return TextNotice(kMsgChangeRefused, Tone::kError);
}

std::optional<Notice> SaveAsRefusal(const ImageDocument& doc) {
    if (doc.changeBlock == ChangeBlock::kTrackImage) {
        return std::nullopt;  // saved elsewhere it is a plain image
    }
    return ChangeRefusal(doc);
}

std::optional<Notice> ExtractionRefusal(const ImageDocument& doc) {
    if (doc.changeBlock != ChangeBlock::kInvalidBootSector) {
        return std::nullopt;
    }
    return TextNotice(kMsgExtractionRefused, Tone::kError);
}

}  // namespace vk
