// A new image: an empty one of a chosen format, or a physical disk read
// sector by sector into a new, untitled document with its unreadable sectors
// in the bad-sector list.
#pragma once

#include <cstdint>
#include <string>

#include "engine/common/result.h"
#include "engine/ports/prompts.h"

namespace vk {

struct ImageDocument;
struct SectorDevice;

// The format chooser's answer when no format was chosen.
constexpr int32_t kNoFormatSelected = -1;

// What the user asked for.
struct NewImageRequest {
    bool copyFromDisk = false;       // read a disk rather than make an empty image
    bool chooseFormat = false;       // a format of the user's choice, not the one the disk's boot sector gives
    bool warnBeforeReading = false;  // ask first: on some systems reading may harm foreign disks
    // The format the user chose, asked only when chooseFormat: a format code,
    // or kNoFormatSelected. It may let the user describe a custom format.
    int32_t (*selectFormat)(void* context) = nullptr;
    void* selectContext = nullptr;
    unsigned bootTemplate = 0;       // for an empty image
    std::string driveText;           // how a failure names the drive; empty: DriveName
};

// Makes the new document. `device` names the drive (drive, backend, path,
// context); the job opens it read-only and closes it. `doc` must be closed.
// Questions (read at all? abort, retry or ignore a sector?) go to the prompt
// port, the sectors' over the job's progress window. Done with the boot sector's warnings
// as notices: the caller shows them, brings its view up to date and then
// calls CheckBackupFat. Declined when the user said no or stopped the job;
// Failed with what to show.
Result ReadDiskToImage(ImageDocument& doc, const NewImageRequest& request, SectorDevice& device);

}  // namespace vk
