// The figures of the Volume page (OEM text, label, used, free and total
// bytes) and its Apply, which sets, changes or removes the volume label.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "engine/common/result.h"
#include "engine/ports/host_files.h"

namespace vk {

struct ImageDocument;

constexpr size_t kLabelLength = 11;

struct VolumeFigures {
    std::string oemText;      // boot-sector bytes 3..10 up to the first zero byte
    std::string labelText;    // the label without trailing blanks; empty without one
    uint32_t labelOffset = 0; // the label entry found at opening, 0 when none
    uint64_t usedBytes = 0;
    uint64_t freeBytes = 0;
    uint32_t totalBytes = 0;  // the image file's length, comment header included; a partition's own
};

VolumeFigures ReadVolumeFigures(const ImageDocument& doc);

// Applies the label text typed on the page (its first 11 characters). Empty
// or blank text removes the label; text equal to the label found at opening
// writes nothing. A boot sector with an extended boot record gets the same
// label ("NO NAME" after a removal). Fails, the image unchanged, when the
// root directory has no slot for a new label. The label
// entries are the result's changes.
Result ApplyVolumeLabel(ImageDocument& doc, const VolumeFigures& opened, std::string_view typed);

// The packed DOS stamp of a local time; 0 and 0 outside 1980 .. 2107, which
// the packed year cannot hold.
DosDateTime PackDosStamp(const std::tm& local);

}  // namespace vk
