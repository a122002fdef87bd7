// A SectorDevice over a POSIX file or device node: a disk image used as a
// drive, a floppy device such as /dev/fd0, or a USB floppy's block device.
#pragma once

#include <cstdint>
#include <string>

#include "engine/drive/sector_device.h"

namespace vk {

// What the file back end needs beyond the record.
struct FileDriveContext : DriveContext {
    // Heads of the geometry being formatted: a track's place in a plain
    // file is (cylinder × heads + head) × sectors per track.
    uint32_t heads = 0;
    // The byte a freshly formatted sector holds.
    uint8_t formatFill = 0xF6;
    bool regularFile = false;  // set by the open
};

const DriveBackend& FileDriveBackend();

// Points `device` at `path`. The device owns the context it is given; the
// reference stays good while the device lives.
FileDriveContext& UseFileDrive(SectorDevice& device, const std::string& path);

}  // namespace vk
