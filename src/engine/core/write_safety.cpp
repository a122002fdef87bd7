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

}  // namespace

uint32_t ReadersFatBits(const ImageDocument& doc) {
    return HasFat32Bpb(doc) ? 32 : doc.GetLayout().fatBits;
}

ChangeBlock JudgeChangeSafety(const ImageDocument& doc, bool bootSectorValid) {
    if (!bootSectorValid) {
        return ChangeBlock::kInvalidBootSector;
    }
    if (ReadersFatBits(doc) != 12) {
        return ChangeBlock::kNotFat12;
    }
    // A data area cut short is handled cluster by cluster; FATs and a root
    // directory cut short are not.
    if (doc.GetLayout().dataStart > doc.AreaLength()) {
        return ChangeBlock::kLayoutOutsideImage;
    }
    return ChangeBlock::kNone;
}

std::optional<Notice> ChangeBlockNotice(const ImageDocument& doc) {
    switch (doc.changeBlock) {
    case ChangeBlock::kNone:
        break;
    case ChangeBlock::kNotFat12:
        return TextNotice(kMsgNotFat12ReadOnly, Tone::kWarning, {"FAT" + std::to_string(ReadersFatBits(doc))});
    case ChangeBlock::kLayoutOutsideImage:
        return TextNotice(kMsgLayoutOutsideReadOnly, Tone::kWarning);
    case ChangeBlock::kInvalidBootSector:
        return TextNotice(kMsgGuessedLayoutReadOnly, Tone::kWarning);
    }
    return std::nullopt;
}

std::optional<Notice> ChangeRefusal(const ImageDocument& doc) {
    if (doc.changeBlock == ChangeBlock::kNone) {
        return std::nullopt;
    }
    return TextNotice(kMsgChangeRefused, Tone::kError);
}

std::optional<Notice> ExtractionRefusal(const ImageDocument& doc) {
    if (doc.changeBlock != ChangeBlock::kInvalidBootSector) {
        return std::nullopt;
    }
    return TextNotice(kMsgExtractionRefused, Tone::kError);
}

}  // namespace vk
