// The OK of the new-image dialog: an empty image of a chosen format, or a
// physical disk read sector by sector into a new, untitled document with its
// unreadable sectors in the bad-sector list.
#pragma once

#include <cstdint>
#include <string>

#include "engine/ports/prompts.h"

namespace vk {

struct ImageDocument;
struct SectorDevice;

// SelectFormat's answer when no format was chosen (or the custom dialog was
// cancelled).
constexpr int32_t kNoFormatSelected = -1;

// What the dialog's controls say.
struct NewImageRequest {
    bool copyFromDisk = false;       // "Copy data from disk"
    bool chooseFormat = false;       // "Disk capacity/format"
    bool warnBeforeReading = false;  // the 9x family: reading may harm foreign disks
    // The format the user chose, asked only when chooseFormat: a format code,
    // or kNoFormatSelected. Runs the custom dialog for "Custom...".
    int32_t (*selectFormat)(WindowRef owner, void* context) = nullptr;
    void* selectContext = nullptr;
    unsigned bootTemplate = 0;       // for an empty image
    std::string driveText;           // the drive list's text; empty: DriveName
};

// Makes the new document. `device` names the drive (drive, backend, path,
// context); the job opens it read-only and closes it. `doc` must be closed.
// False when nothing was made; every failure has been shown.
bool ReadDiskToImage(ImageDocument& doc, WindowRef owner, const NewImageRequest& request, SectorDevice& device);

}  // namespace vk
