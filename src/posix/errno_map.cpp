#include "posix/errno_map.h"

#include <cerrno>

#include "engine/ports/host_failure.h"
#include "posix/win_codes.h"

namespace vk {

uint32_t ErrnoToWinError(int err) {
    using namespace win_code;
    switch (err) {
    case 0: return kSuccess;
    case ENOENT: return kFileNotFound;
    case ENOTDIR: return kPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return kAccessDenied;
    case EEXIST: return kFileExists;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kDiskFull;  // no room for the file, whatever set the limit
    case ENAMETOOLONG: return kFilenameTooLong;
    case EMFILE:
    case ENFILE: return kTooManyOpenFiles;
    case ENOMEM: return kNotEnoughMemory;
    case EBUSY: return kBusy;
    case ETXTBSY: return kSharingViolation;
    case EBADF: return kInvalidHandle;
    case EINVAL: return kInvalidParameter;
    case ENOTEMPTY: return kDirNotEmpty;
    case ENXIO:
    case ENODEV: return kNotReady;
    case ENOMEDIUM: return kNoMediaInDrive;
    default: return kIoDevice;
    }
}

const char* WinErrorText(uint32_t code) {
    using namespace win_code;
    switch (code) {
    case kInvalidFunction: return "Incorrect function.";
    case kFileNotFound: return "The system cannot find the file specified.";
    case kPathNotFound: return "The system cannot find the path specified.";
    case kTooManyOpenFiles: return "The system cannot open the file.";
    case kAccessDenied: return "Access is denied.";
    case kInvalidHandle: return "The handle is invalid.";
    case kNotEnoughMemory: return "Not enough memory resources are available to process this command.";
    case kInvalidData: return "The data is invalid.";
    case kWriteProtect: return "The media is write protected.";
    case kNotReady: return "The device is not ready.";
    case kCrc: return "Data error (cyclic redundancy check).";
    case kSeek: return "The drive cannot locate a specific area or track on the disk.";
    case kSectorNotFound: return "The drive cannot find the sector requested.";
    case kWriteFault: return "The system cannot write to the specified device.";
    case kReadFault: return "The system cannot read from the specified device.";
    case kGenFailure: return "A device attached to the system is not functioning.";
    case kSharingViolation: return "The process cannot access the file because it is being used by another process.";
    case kLockViolation: return "The process cannot access the file because another process has locked a portion of the file.";
    case kHandleEof: return "Reached the end of the file.";
    case kNotSupported: return "The request is not supported.";
    case kFileExists: return "The file exists.";
    case kInvalidParameter: return "The parameter is incorrect.";
    case kDiskFull: return "There is not enough space on the disk.";
    case kInvalidName: return "The filename, directory name, or volume label syntax is incorrect.";
    case kDirNotEmpty: return "The directory is not empty.";
    case kBusy: return "The requested resource is in use.";
    case kAlreadyExists: return "Cannot create a file when that file already exists.";
    case kFilenameTooLong: return "The filename or extension is too long.";
    case kDirectory: return "The directory name is invalid.";
    case kNoMediaInDrive: return "There is no media in the drive.";
    case kIoDevice: return "The request could not be performed because of an I/O device error.";
    default: return "";
    }
}

}  // namespace vk

#include "engine/ports/system_text.h"

namespace vk {

HostFailure ClassifyHostCode(uint32_t code) {
    using namespace win_code;
    switch (code) {
    case kSuccess: return HostFailure::kNone;
    case kFileNotFound:
    case kPathNotFound: return HostFailure::kNotFound;
    case kAccessDenied: return HostFailure::kAccessDenied;
    case kFileExists: return HostFailure::kExists;
    case kAlreadyExists: return HostFailure::kNameTaken;
    case kDiskFull: return HostFailure::kDiskFull;
    case kHandleEof: return HostFailure::kEndOfFile;
    case kNotEnoughMemory: return HostFailure::kOutOfMemory;
    case kInvalidHandle: return HostFailure::kBadHandle;
    case kInvalidFunction: return HostFailure::kNoDriver;
    default: return HostFailure::kOther;
    }
}

uint32_t HostCodeFor(HostFailure failure) {
    using namespace win_code;
    switch (failure) {
    case HostFailure::kNone: return kSuccess;
    case HostFailure::kNotFound: return kFileNotFound;
    case HostFailure::kAccessDenied: return kAccessDenied;
    case HostFailure::kExists: return kFileExists;
    case HostFailure::kNameTaken: return kAlreadyExists;
    case HostFailure::kDiskFull: return kDiskFull;
    case HostFailure::kEndOfFile: return kHandleEof;
    case HostFailure::kOutOfMemory: return kNotEnoughMemory;
    case HostFailure::kBadHandle: return kInvalidHandle;
    case HostFailure::kNoDriver: return kInvalidFunction;
    case HostFailure::kOther: break;
    }
    return kIoDevice;
}

std::string SystemErrorText(uint32_t code) {
    std::string text = WinErrorText(code);
    if (!text.empty()) {
        text += "\r\n";
    }
    return text;
}

}  // namespace vk
