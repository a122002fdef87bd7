// Writing the open image onto a physical disk, sector by sector or a track
// at a time, optionally formatting every track first.
#pragma once

#include <cstdint>

#include "engine/ports/prompts.h"

namespace vk {

struct ImageDocument;
struct SectorDevice;

struct WriteDiskRequest {
    bool formatDisk = false;  // "Format disk"
    bool fastWrite = false;   // FastCopyWrite: up to the end of the track per write
};

// How a job that answered true went; for callers that report more than the
// dialog does.
struct WriteDiskOutcome {
    bool stopped = false;         // Cancel or Abort ended it early
    uint32_t skippedSectors = 0;  // sectors given up with Ignore
};

// The media-error warning before a write: bad-sector marks never reach the disk.
void WarnIfMediaErrors(const ImageDocument& doc, WindowRef owner);

// Writes `doc` to the drive `device` names (drive, backend, path, context).
// False without an image, when the drive cannot be opened or a track cannot
// be formatted, and when the geometry cannot drive the request; true
// otherwise, also after a Cancel, an Abort or skipped sectors. The document
// is not changed.
bool WriteImageToDisk(const ImageDocument& doc, WindowRef owner, const WriteDiskRequest& request,
                      SectorDevice& device, WriteDiskOutcome* outcome = nullptr);

}  // namespace vk
