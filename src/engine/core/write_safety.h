// Whether the engine can change an opened image without corrupting it. An
// image it cannot write soundly (no FAT12 by its cluster count, FATs or root
// directory beyond the end of the file, a boot sector whose geometry is only
// a guess) is kept read-only: every change operation refuses it, and Save
// writes nothing.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/common/notice.h"
#include "engine/ports/prompts.h"

namespace vk {

struct ImageDocument;

enum class ChangeBlock {
    kNone,                // changes are allowed (as far as the file allows)
    kNotFat12,            // FAT16 or FAT32 by the cluster count other readers take
    kLayoutOutsideImage,  // the FATs or the root directory lie beyond the end of the file
    kInvalidBootSector,   // the geometry was guessed from an invalid boot sector
};

// Judges the open document whose geometry is decided; `bootSectorValid` is
// what ParseBootSector answered.
ChangeBlock JudgeChangeSafety(const ImageDocument& doc, bool bootSectorValid);

// The FAT width other readers give the open image: 12, 16 or 32.
uint32_t ReadersFatBits(const ImageDocument& doc);

// What the user hears once at opening: why the image stays read-only.
// Nothing when changes are allowed.
std::optional<Notice> ChangeBlockNotice(const ImageDocument& doc);

// The guard at the top of every change of the image: the refusal when the
// document refuses changes.
std::optional<Notice> ChangeRefusal(const ImageDocument& doc);

// The guard of extraction: the refusal when the image's layout is a guess
// and its files cannot be read out faithfully.
std::optional<Notice> ExtractionRefusal(const ImageDocument& doc);

}  // namespace vk
