// The 9x family: every request is a DOS or BIOS service run by VWIN32. A
// call failed when DeviceIoControl fails or the carry flag comes back set.
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "win32/drive/drive_backend.h"
#include "win32/drive/win9x_drive.h"

namespace vk {
namespace {

HANDLE Handle(const SectorDevice& device) { return reinterpret_cast<HANDLE>(device.handle); }

// The registers carry 32-bit addresses: this family runs 32-bit programs only.
DWORD Address(const void* p) { return static_cast<DWORD>(reinterpret_cast<uintptr_t>(p)); }

enum class CallResult { kDone, kCarry, kRefused };

CallResult Call(HANDLE handle, DWORD code, DiocRegisters& regs) {
    DWORD bytes = 0;
    if (!Win9xCalls().deviceIoControl(handle, code, &regs, sizeof regs, &regs, sizeof regs, &bytes, nullptr)) {
        return CallResult::kRefused;
    }
    return (regs.flags & kCarryFlag) ? CallResult::kCarry : CallResult::kDone;
}

// A refused call has no registers to read: the system's own code stands in,
// so that a failure never reads as success.
uint32_t Failure(CallResult result, uint32_t fromRegisters) {
    if (result == CallResult::kRefused) {
        const DWORD code = GetLastError();
        return code != 0 ? code : ERROR_GEN_FAILURE;
    }
    return fromRegisters != 0 ? fromRegisters : ERROR_GEN_FAILURE;
}

uint32_t DosError(const DiocRegisters& regs) { return regs.eax & 0xFFF; }
uint32_t BiosError(const DiocRegisters& regs) { return MapBiosStatus(static_cast<uint8_t>(regs.eax >> 8)); }

// The VWIN32 device's handle until the open hands it to the record.
class Vwin32Handle {
public:
    explicit Vwin32Handle(HANDLE handle) : handle_(handle) {}
    ~Vwin32Handle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            Win9xCalls().closeHandle(handle_);
        }
    }
    Vwin32Handle(const Vwin32Handle&) = delete;
    Vwin32Handle& operator=(const Vwin32Handle&) = delete;
    HANDLE get() const { return handle_; }
    HANDLE Release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

private:
    HANDLE handle_;
};

uint32_t Open(SectorDevice& device) {
    Vwin32Handle handle(Win9xCalls().createFile("\\\\.\\VWIN32", 0, 0, nullptr, 0,
                                                FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_NO_BUFFERING, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        return code != 0 ? code : ERROR_GEN_FAILURE;
    }
    if (!device.readOnly) {
        DiocRegisters regs = {};
        regs.eax = kGenericBlockIoctl;
        regs.ecx = kLockLogicalVolume;
        regs.ebx = device.drive + 1;  // BL: 1-based drive, BH: lock level 0
        regs.edx = 0;
        const CallResult result = Call(handle.get(), kVwin32DosIoctl, regs);
        if (result != CallResult::kDone) {
            return Failure(result, DosError(regs));
        }
    }
    device.handle = reinterpret_cast<intptr_t>(handle.Release());
    return ERROR_SUCCESS;
}

uint32_t Transfer(SectorDevice& device, DWORD service, const uint8_t* buffer, uint32_t first, uint32_t count) {
    DiocRegisters regs = {};
    regs.eax = device.drive;  // AL: 0-based drive
    regs.ebx = Address(buffer);
    regs.ecx = count;
    regs.edx = first;
    const CallResult result = Call(Handle(device), service, regs);
    return result == CallResult::kDone ? ERROR_SUCCESS : Failure(result, BiosError(regs));
}

uint32_t Read(SectorDevice& device, uint8_t* buffer, uint32_t first, uint32_t count) {
    return Transfer(device, kVwin32Int25, buffer, first, count);
}

uint32_t Write(SectorDevice& device, const uint8_t* buffer, uint32_t first, uint32_t count) {
    if (device.readOnly) {
        return ERROR_ACCESS_DENIED;
    }
    return Transfer(device, kVwin32Int26, buffer, first, count);
}

// The BIOS's own diskette parameters give gap length and fill byte.
uint32_t Format(SectorDevice& device, MediaKind, uint32_t sectorsPerTrack, uint32_t cylinder, uint32_t head) {
    if (device.readOnly) {
        return ERROR_ACCESS_DENIED;
    }
    std::unique_ptr<uint8_t[]> fields(new (std::nothrow) uint8_t[size_t{sectorsPerTrack} * 4 + 1]);
    if (!fields) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    FillAddressFields(fields.get(), sectorsPerTrack, cylinder, head);
    DiocRegisters regs = {};
    regs.eax = kBiosFormatTrack | (sectorsPerTrack & 0xFF);
    regs.ebx = Address(fields.get());
    regs.ecx = cylinder << 8;              // CH: cylinder, CL: 0
    regs.edx = (head << 8) | device.drive;  // DH: head, DL: BIOS floppy unit
    const CallResult result = Call(Handle(device), kVwin32Int13, regs);
    return result == CallResult::kDone ? ERROR_SUCCESS : Failure(result, BiosError(regs));
}

uint32_t Close(SectorDevice& device) {
    uint32_t lastFailure = ERROR_SUCCESS;
    if (!device.readOnly) {
        DiocRegisters regs = {};
        regs.eax = kGenericBlockIoctl;
        regs.ecx = kUnlockLogicalVolume;
        regs.ebx = device.drive + 1;
        const CallResult result = Call(Handle(device), kVwin32DosIoctl, regs);
        if (result != CallResult::kDone) {
            lastFailure = Failure(result, DosError(regs));
        }
    }
    // The reset flushes the drive's buffers: its failure is the job's.
    uint32_t flushFailure = ERROR_SUCCESS;
    if (device.written) {
        DiocRegisters regs = {};
        regs.eax = kResetDrive;
        regs.ecx = 0;  // flush buffers and reset
        regs.edx = device.drive + 1;
        const CallResult result = Call(Handle(device), kVwin32DosIoctl, regs);
        if (result != CallResult::kDone) {
            flushFailure = Failure(result, DosError(regs));
        }
    }
    if (!Win9xCalls().closeHandle(Handle(device))) {
        return flushFailure != ERROR_SUCCESS   ? flushFailure
               : lastFailure != ERROR_SUCCESS ? lastFailure
                                                    : ERROR_INVALID_HANDLE;
    }
    return flushFailure;
}

const DriveBackend kWin9xBackend = {Open, Read, Write, Format, Close};

}  // namespace

uint32_t MapBiosStatus(uint8_t status) {
    switch (status) {
    case 0x00: return ERROR_SUCCESS;
    case 0x01: return ERROR_INVALID_FUNCTION;
    case 0x02: return ERROR_NO_MEDIA_IN_DRIVE;
    case 0x03: return ERROR_WRITE_PROTECT;
    case 0x04: return ERROR_SECTOR_NOT_FOUND;
    case 0x05: return ERROR_DISK_RESET_FAILED;
    case 0x06: return ERROR_MEDIA_CHANGED;
    case 0x07: return ERROR_INVALID_PARAMETER;
    case 0x0A: return ERROR_SECTOR_NOT_FOUND;
    case 0x0B: return ERROR_SECTOR_NOT_FOUND;
    case 0x0C: return ERROR_INTERNAL_DB_CORRUPTION;
    case 0x0D: return ERROR_SECTOR_NOT_FOUND;
    case 0x0E: return ERROR_INVALID_PARAMETER;
    case 0x10: return ERROR_CRC;
    case 0x11: return ERROR_INVALID_DATA;
    case 0x40: return ERROR_SEEK;
    case 0x80: return ERROR_NOT_READY;
    case 0xAA: return ERROR_NOT_READY;
    case 0xCC: return ERROR_WRITE_FAULT;
    default: return ERROR_GEN_FAILURE;
    }
}

void FillAddressFields(uint8_t* fields, uint32_t sectorsPerTrack, uint32_t cylinder, uint32_t head) {
    for (uint32_t i = 0; i < sectorsPerTrack; ++i) {
        uint8_t* field = fields + size_t{i} * 4;
        field[0] = static_cast<uint8_t>(cylinder);
        field[1] = static_cast<uint8_t>(head);
        field[2] = static_cast<uint8_t>(i + 1);
        field[3] = kSectorSizeCode512;
    }
}

Win9xSystem& Win9xCalls() {
    static Win9xSystem calls = {CreateFileA, DeviceIoControl, CloseHandle};
    return calls;
}

const DriveBackend& Win9xDriveBackend() { return kWin9xBackend; }

}  // namespace vk
