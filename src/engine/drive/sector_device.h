// SectorDevice: the one way the engine reaches a physical drive. A record
// the caller owns for one job, driven through five operations that keep the
// error-code and `written` rules in one place; the platform work is done by
// a back end (NT raw volume, 9x VWIN32, a POSIX file or device node, or a
// test's fake) plugged in as a small table of functions. The record owns
// what the back end acquires: a drive still open when it goes is closed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/core/disk_format.h"

namespace vk {

constexpr uint32_t kDriveSectorSize = 512;
// INVALID_HANDLE_VALUE on Windows, -1 for a POSIX descriptor.
constexpr intptr_t kNoDriveHandle = -1;

struct SectorDevice;

// The platform half of a device. Each function returns the platform error
// code of its attempt, 0 for success; the wrappers below store it in
// `lastError`. `open` sets `handle` only when it succeeds and leaves nothing
// acquired when it fails; `close` releases the handle whatever it returns.
struct DriveBackend {
    uint32_t (*open)(SectorDevice& device);
    uint32_t (*read)(SectorDevice& device, uint8_t* buffer, uint32_t first, uint32_t count);
    uint32_t (*write)(SectorDevice& device, const uint8_t* buffer, uint32_t first, uint32_t count);
    uint32_t (*format)(SectorDevice& device, MediaKind media, uint32_t sectorsPerTrack, uint32_t cylinder,
                       uint32_t head);
    uint32_t (*close)(SectorDevice& device);
};

// A back end's own state, released with the device (or earlier, by the
// back end's close).
struct DriveContext {
    virtual ~DriveContext() = default;
};

struct SectorDevice {
    SectorDevice() = default;
    // A drive still open is closed; a failure then has no one to go to.
    ~SectorDevice();
    // The new record takes the handle over; the old one is left closed.
    SectorDevice(SectorDevice&& other) noexcept;
    SectorDevice(const SectorDevice&) = delete;
    SectorDevice& operator=(const SectorDevice&) = delete;
    SectorDevice& operator=(SectorDevice&&) = delete;

    uint32_t drive = 0;          // 0 = A:
    bool readOnly = false;       // no volume lock, no write access
    intptr_t handle = kNoDriveHandle;
    uint32_t lastError = 0;      // the platform code of the last operation; 0 = success
    bool written = false;        // a write or format was attempted since the open
    const DriveBackend* backend = nullptr;
    std::string path;            // a back end's own name for the device; empty: the drive letter
    std::unique_ptr<DriveContext> context;  // a back end's own state
};

// Opens (and, unless readOnly, locks) the drive, closing first a handle the
// record still holds. True when `handle` is valid.
bool OpenDrive(SectorDevice& device);
// Reads count sectors from `first`. The buffer is cleared first, so that a
// sector that cannot be read is left as zeros.
bool ReadSectors(SectorDevice& device, uint8_t* buffer, uint32_t first, uint32_t count);
bool WriteSectors(SectorDevice& device, const uint8_t* buffer, uint32_t first, uint32_t count);
bool FormatTrack(SectorDevice& device, MediaKind media, uint32_t sectorsPerTrack, uint32_t cylinder,
                 uint32_t head);
// Unlocks, lets the system forget the disk after writes, and closes. False
// without a handle or when the back end could not close; either way the
// record holds no handle afterwards.
bool CloseDrive(SectorDevice& device);

}  // namespace vk

namespace vk {

// How messages name the device: its back end's path, else "%c:" with the
// drive letter.
std::string DriveName(const SectorDevice& device);

}  // namespace vk
