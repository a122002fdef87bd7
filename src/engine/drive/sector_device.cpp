#include "engine/drive/sector_device.h"

#include <cstring>
#include <utility>

#include "engine/ports/host_failure.h"

namespace vk {
namespace {

bool HasHandle(const SectorDevice& device) {
    return device.handle != kNoDriveHandle && device.backend != nullptr;
}

bool Done(SectorDevice& device, uint32_t code) {
    device.lastError = code;
    return code == kHostSuccess;
}

}  // namespace

SectorDevice::SectorDevice(SectorDevice&& other) noexcept
    : drive(other.drive),
      readOnly(other.readOnly),
      handle(std::exchange(other.handle, kNoDriveHandle)),
      lastError(other.lastError),
      written(other.written),
      backend(other.backend),
      path(std::move(other.path)),
      context(std::move(other.context)) {}

SectorDevice::~SectorDevice() {
    if (HasHandle(*this)) {
        CloseDrive(*this);
    }
}

bool OpenDrive(SectorDevice& device) {
    if (HasHandle(device)) {
        CloseDrive(device);
    }
    device.written = false;
    device.handle = kNoDriveHandle;
    if (device.backend == nullptr) {
        return Done(device, HostCodeFor(HostFailure::kNoDriver));
    }
    const uint32_t code = device.backend->open(device);
    if (code != kHostSuccess) {
        device.handle = kNoDriveHandle;
    }
    return Done(device, code) && device.handle != kNoDriveHandle;
}

bool ReadSectors(SectorDevice& device, uint8_t* buffer, uint32_t first, uint32_t count) {
    if (!HasHandle(device)) {
        return Done(device, HostCodeFor(HostFailure::kBadHandle));
    }
    std::memset(buffer, 0, size_t{count} * kDriveSectorSize);
    return Done(device, device.backend->read(device, buffer, first, count));
}

bool WriteSectors(SectorDevice& device, const uint8_t* buffer, uint32_t first, uint32_t count) {
    if (!HasHandle(device)) {
        return Done(device, HostCodeFor(HostFailure::kBadHandle));
    }
    const uint32_t code = device.backend->write(device, buffer, first, count);
    device.written = true;
    return Done(device, code);
}

bool FormatTrack(SectorDevice& device, MediaKind media, uint32_t sectorsPerTrack, uint32_t cylinder,
                 uint32_t head) {
    if (!HasHandle(device)) {
        return Done(device, HostCodeFor(HostFailure::kBadHandle));
    }
    const uint32_t code = device.backend->format(device, media, sectorsPerTrack, cylinder, head);
    device.written = true;
    return Done(device, code);
}

bool CloseDrive(SectorDevice& device) {
    if (!HasHandle(device)) {
        return false;
    }
    const uint32_t code = device.backend->close(device);
    device.handle = kNoDriveHandle;  // the back end let it go, closed or not
    if (code != kHostSuccess) {
        device.lastError = code;
        return false;
    }
    return true;
}

}  // namespace vk

namespace vk {

std::string DriveName(const SectorDevice& device) {
    if (!device.path.empty()) {
        return device.path;
    }
    return std::string(1, static_cast<char>('A' + device.drive)) + ":";
}

}  // namespace vk
