// Writing the open image onto a physical disk, sector by sector or a track
// at a time, optionally formatting every track first.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/common/result.h"
#include "engine/ports/prompts.h"

namespace vk {

struct ImageDocument;
struct SectorDevice;

struct WriteDiskRequest {
    bool formatDisk = false;  // format every track first
    bool fastWrite = false;   // up to the end of the track per write
};

// How a job that was done went; for callers that report more than the
// result says.
struct WriteDiskOutcome {
    bool stopped = false;         // Cancel or Abort ended it early
    uint32_t skippedSectors = 0;  // sectors given up with Ignore
};

// The warning before a write of an image with bad sectors marked: the marks
// never reach the disk. Nothing when none are marked.
std::optional<Notice> MediaErrorsWarning(const ImageDocument& doc);

// Writes `doc` to the drive `device` names (drive, backend, path, context).
// Each sector that cannot be written is a question (abort, retry or ignore)
// over the job's progress window, if it could be made. Failed without an
// image (with nothing to show), when the drive cannot be opened, closed or a
// track formatted, and when the geometry cannot drive the request; Done
// otherwise, also after a Cancel, an Abort or skipped sectors. The document
// is not changed.
Result WriteImageToDisk(const ImageDocument& doc, const WriteDiskRequest& request,
                        SectorDevice& device, WriteDiskOutcome* outcome = nullptr);

}  // namespace vk
