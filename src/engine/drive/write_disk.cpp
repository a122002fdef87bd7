#include "engine/drive/write_disk.h"

#include <algorithm>

#include "engine/core/document.h"
#include "engine/core/media_errors.h"
#include "engine/drive/disk_job.h"
#include "engine/drive/sector_device.h"
#include "engine/ports/host_failure.h"
#include "engine/ports/progress.h"
#include "engine/ports/window_sync.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

// The divisions of formatting and fast writing need a geometry that has
// tracks; a corrupted boot sector may give 0 heads or sectors per track.
bool GeometryDrivesRequest(const DiskFormat& g, const WriteDiskRequest& request) {
    if (request.formatDisk && (g.sectorsPerTrack == 0 || g.heads == 0)) {
        return false;
    }
    return !(request.fastWrite && g.sectorsPerTrack == 0);
}

// Formats every whole cylinder of the geometry; false (and the job
// stopped) when a track fails.
bool FormatDisk(SectorDevice& device, WindowRef progress, const DiskFormat& g, uint32_t progressTotal) {
    const uint32_t cylinders = g.totalSectors / g.sectorsPerTrack / g.heads;
    for (uint32_t c = 0; c < cylinders && !CancelRequested(); ++c) {
        for (uint32_t h = 0; h < g.heads && !CancelRequested(); ++h) {
            UpdateProgress(progress, (c * g.heads + h) * g.sectorsPerTrack, progressTotal);
            if (!FormatTrack(device, g.mediaType, g.sectorsPerTrack, c, h)) {
                SetCancelRequested(true);  // nothing is written on a disk that could not be formatted
                return false;
            }
        }
    }
    return true;
}

void WriteSectorsOfImage(SectorDevice& device, WindowRef progress, const uint8_t* area,
                         uint32_t sectors, uint32_t formatUnits, const WriteDiskRequest& request,
                         uint32_t sectorsPerTrack, WriteDiskOutcome& outcome) {
    for (uint32_t s = 0; s < sectors && !CancelRequested();) {
        UpdateProgress(progress, formatUnits + s, formatUnits + sectors);
        uint32_t count = 1;
        if (request.fastWrite) {
            count = std::min(sectorsPerTrack - s % sectorsPerTrack, sectors - s);
        }
        if (WriteSectors(device, area + size_t{s} * kDriveSectorSize, s, count)) {
            s += count;
            continue;
        }
        const Notice failed =
            HostErrorNotice(SectorText(kMsgSectorWriteFailed, s), device.lastError, {}, Tone::kWarning);
        const Answer answer = Ask(failed, Choices::kAbortRetryIgnore, true);
        if (answer == Answer::kRetry) {
            continue;
        }
        if (answer == Answer::kIgnore) {
            // One sector only: the rest of a fast block is tried again as the next block.
            ++s;
            ++outcome.skippedSectors;
            continue;
        }
        SetCancelRequested(true);
    }
}

}  // namespace

std::optional<Notice> MediaErrorsWarning(const ImageDocument& doc) {
    if (!HasMediaErrors(doc)) {
        return std::nullopt;
    }
    return TextNotice(kMsgMediaErrorsNotWritten, Tone::kWarning);
}

Result WriteImageToDisk(const ImageDocument& doc, const WriteDiskRequest& request,
                        SectorDevice& device, WriteDiskOutcome* outcome) {
    WriteDiskOutcome local;
    WriteDiskOutcome& result = outcome ? *outcome : local;
    result = WriteDiskOutcome();
    if (!doc.IsOpen() || doc.AreaEnd() < doc.dataOffset) {
        Result nothing;
        nothing.status = Result::Status::kFailed;  // no image: nothing to write, nothing to say
        nothing.kind = FailureKind::kNotAnImage;
        nothing.goOn = false;
        return nothing;
    }
    const DiskFormat& g = doc.geometry;
    if (!GeometryDrivesRequest(g, request)) {
        return Failure(FailureKind::kImpossible, TextNotice(kMsgTrackGeometryZero, Tone::kError,
                                                           {std::to_string(g.sectorsPerTrack), std::to_string(g.heads)}));
    }
    const uint32_t sectors = doc.AreaLength() / kDriveSectorSize;
    const uint32_t formatUnits = request.formatDisk ? sectors : 0;

    SetCancelRequested(false);
    const ProgressHeader header{device.drive, doc.imageSize};
    bool ok = true;
    uint32_t error = 0;
    WindowRef progress = nullptr;
    {
        WaitCursor wait;
        progress = OpenProgress(DiskJob::kWriting, header);
        device.readOnly = false;
        device.lastError = 0;
        device.written = false;
        if (!OpenDrive(device)) {
            ok = false;
            error = device.lastError;
        } else {
            ShowDriveCapacity(progress, header);
            if (request.formatDisk) {
                ok = FormatDisk(device, progress, g, formatUnits + sectors);
            }
            WriteSectorsOfImage(device, progress, doc.Area(), sectors, formatUnits,
                                request, g.sectorsPerTrack, result);
            error = device.lastError;
            // The last flush happens at the close: until it succeeded, the
            // disk need not hold what was written.
            if (!CloseDrive(device) && ok) {
                ok = false;
                error = device.lastError;
            }
        }
    }
    result.stopped = CancelRequested();
    CloseProgress(progress);
    if (!ok) {
        return Failure(HostFault(DriveName(device), error));
    }
    return Done();
}

}  // namespace vk
