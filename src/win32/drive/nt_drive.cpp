// The NT family: the drive as a raw volume, "\\.\A:", locked while it is
// open for writing and dismounted after writes so the system reads it anew.
// Critical-error boxes are off while a drive is open, so that a missing
// disk comes back as an error code.
#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <memory>
#include <utility>

#include "win32/drive/drive_backend.h"

namespace vk {
namespace {

HANDLE Handle(const SectorDevice& device) { return reinterpret_cast<HANDLE>(device.handle); }

// A transfer that came back short without a code ran off the disk's end.
uint32_t LastErrorOr(uint32_t fallback) {
    const DWORD code = GetLastError();
    return code != 0 ? code : fallback;
}

bool Control(HANDLE handle, DWORD code, void* input = nullptr, DWORD inputSize = 0) {
    DWORD bytes = 0;
    return DeviceIoControl(handle, code, input, inputSize, nullptr, 0, &bytes, nullptr) != FALSE;
}

bool Seek(HANDLE handle, uint32_t first) {
    const uint64_t offset = uint64_t{first} * kDriveSectorSize;
    LONG high = static_cast<LONG>(offset >> 32);
    SetLastError(0);
    const DWORD low = SetFilePointer(handle, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
    return low != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR;
}

// Unbuffered transfers need sector-aligned memory; an image behind a
// comment header, or any heap block, need not be. Page-aligned bounce memory.
class AlignedBlock {
public:
    explicit AlignedBlock(size_t size)
        : data_(static_cast<uint8_t*>(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}
    ~AlignedBlock() {
        if (data_ != nullptr) {
            VirtualFree(data_, 0, MEM_RELEASE);
        }
    }
    AlignedBlock(const AlignedBlock&) = delete;
    AlignedBlock& operator=(const AlignedBlock&) = delete;
    uint8_t* data() const { return data_; }

private:
    uint8_t* data_;
};

bool Aligned(const void* p) { return reinterpret_cast<uintptr_t>(p) % kDriveSectorSize == 0; }

// Critical-error boxes off from construction to destruction; the mode
// before comes back, so that an outer owner's mode survives the drive.
class CriticalErrorsOff {
public:
    CriticalErrorsOff() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~CriticalErrorsOff() { SetErrorMode(previous_); }
    CriticalErrorsOff(const CriticalErrorsOff&) = delete;
    CriticalErrorsOff& operator=(const CriticalErrorsOff&) = delete;

private:
    UINT previous_;
};

// What an open volume holds besides its handle: the error mode, given back
// by the close or, at the latest, with the device.
struct OpenVolume : DriveContext {
    CriticalErrorsOff errorMode;
};

// The volume's handle until the open hands it to the device.
class VolumeHandle {
public:
    explicit VolumeHandle(HANDLE handle) : handle_(handle) {}
    ~VolumeHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    VolumeHandle(const VolumeHandle&) = delete;
    VolumeHandle& operator=(const VolumeHandle&) = delete;
    HANDLE get() const { return handle_; }
    HANDLE Release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

private:
    HANDLE handle_;
};

std::string VolumePath(const SectorDevice& device) {
    if (!device.path.empty()) {
        return device.path;
    }
    return std::string("\\\\.\\") + static_cast<char>('A' + device.drive) + ":";
}

uint32_t Open(SectorDevice& device) {
    auto volume = std::make_unique<OpenVolume>();
    const DWORD access = device.readOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    VolumeHandle handle(CreateFileA(VolumePath(device).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_NO_BUFFERING, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        return LastErrorOr(ERROR_GEN_FAILURE);
    }
    if (!device.readOnly && !Control(handle.get(), FSCTL_LOCK_VOLUME)) {
        return LastErrorOr(ERROR_GEN_FAILURE);
    }
    device.handle = reinterpret_cast<intptr_t>(handle.Release());
    device.context = std::move(volume);
    return ERROR_SUCCESS;
}

uint32_t Read(SectorDevice& device, uint8_t* buffer, uint32_t first, uint32_t count) {
    const DWORD length = count * kDriveSectorSize;
    AlignedBlock bounce(Aligned(buffer) ? 0 : length);
    uint8_t* target = Aligned(buffer) ? buffer : bounce.data();
    if (target == nullptr) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    if (!Seek(Handle(device), first)) {
        return LastErrorOr(ERROR_SEEK);
    }
    DWORD got = 0;
    if (!ReadFile(Handle(device), target, length, &got, nullptr) || got != length) {
        return LastErrorOr(ERROR_SECTOR_NOT_FOUND);
    }
    if (target != buffer) {
        std::memcpy(buffer, target, length);
    }
    return ERROR_SUCCESS;
}

uint32_t Write(SectorDevice& device, const uint8_t* buffer, uint32_t first, uint32_t count) {
    const DWORD length = count * kDriveSectorSize;
    AlignedBlock bounce(Aligned(buffer) ? 0 : length);
    const uint8_t* source = buffer;
    if (!Aligned(buffer)) {
        if (bounce.data() == nullptr) {
            return ERROR_NOT_ENOUGH_MEMORY;
        }
        std::memcpy(bounce.data(), buffer, length);
        source = bounce.data();
    }
    if (!Seek(Handle(device), first)) {
        return LastErrorOr(ERROR_SEEK);
    }
    DWORD put = 0;
    if (!WriteFile(Handle(device), source, length, &put, nullptr) || put != length) {
        return LastErrorOr(ERROR_SECTOR_NOT_FOUND);
    }
    return ERROR_SUCCESS;
}

// The system's media type of each kind of floppy the format table names.
MEDIA_TYPE SystemMediaType(MediaKind media) {
    switch (media) {
    case MediaKind::k3_5Inch1440K: return F3_1Pt44_512;
    case MediaKind::k3_5Inch720K: return F3_720_512;
    case MediaKind::k5_25Inch360K: return F5_360_512;
    case MediaKind::k5_25Inch180K: return F5_180_512;
    case MediaKind::k5_25Inch160K: return F5_160_512;
    case MediaKind::kUnknown: break;
    }
    return Unknown;
}

// The media type fixes the track's layout; sectors per track is not passed.
uint32_t Format(SectorDevice& device, MediaKind media, uint32_t, uint32_t cylinder, uint32_t head) {
    FORMAT_PARAMETERS parameters = {};
    parameters.MediaType = SystemMediaType(media);
    parameters.StartCylinderNumber = cylinder;
    parameters.EndCylinderNumber = cylinder;
    parameters.StartHeadNumber = head;
    parameters.EndHeadNumber = head;
    static_assert(sizeof parameters == 20, "FORMAT_PARAMETERS is five 32-bit values");
    if (!Control(Handle(device), IOCTL_DISK_FORMAT_TRACKS, &parameters, sizeof parameters)) {
        return LastErrorOr(ERROR_GEN_FAILURE);
    }
    return ERROR_SUCCESS;
}

// After writes the volume's buffers are flushed first, and a failed flush
// is the job's failure. Unlock and dismount failures are not reported; a
// handle that will not close is.
uint32_t Close(SectorDevice& device) {
    uint32_t flushFailure = ERROR_SUCCESS;
    if (device.written && !FlushFileBuffers(Handle(device))) {
        flushFailure = LastErrorOr(ERROR_WRITE_FAULT);
    }
    uint32_t lastFailure = ERROR_SUCCESS;
    if (!device.readOnly && !Control(Handle(device), FSCTL_UNLOCK_VOLUME)) {
        lastFailure = LastErrorOr(ERROR_GEN_FAILURE);
    }
    if (device.written && !Control(Handle(device), FSCTL_DISMOUNT_VOLUME)) {
        lastFailure = LastErrorOr(ERROR_GEN_FAILURE);
    }
    const bool closed = CloseHandle(Handle(device)) != FALSE;
    const uint32_t closeFailure = closed ? ERROR_SUCCESS : LastErrorOr(ERROR_INVALID_HANDLE);
    device.context.reset();
    if (flushFailure != ERROR_SUCCESS) {
        return flushFailure;
    }
    if (!closed) {
        return lastFailure != ERROR_SUCCESS ? lastFailure : closeFailure;
    }
    return ERROR_SUCCESS;
}

const DriveBackend kNtBackend = {Open, Read, Write, Format, Close};

}  // namespace

const DriveBackend& NtDriveBackend() { return kNtBackend; }

}  // namespace vk
