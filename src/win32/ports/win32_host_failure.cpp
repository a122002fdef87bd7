// What the system's error codes mean to the engine, and the code that stands
// for a failure the engine detects itself.
#include <windows.h>

#include "engine/ports/host_failure.h"

namespace vk {

HostFailure ClassifyHostCode(uint32_t code) {
    switch (code) {
    case ERROR_SUCCESS: return HostFailure::kNone;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return HostFailure::kNotFound;
    case ERROR_ACCESS_DENIED: return HostFailure::kAccessDenied;
    case ERROR_FILE_EXISTS: return HostFailure::kExists;
    case ERROR_ALREADY_EXISTS: return HostFailure::kNameTaken;
    case ERROR_DISK_FULL: return HostFailure::kDiskFull;
    case ERROR_HANDLE_EOF: return HostFailure::kEndOfFile;
    case ERROR_NOT_ENOUGH_MEMORY: return HostFailure::kOutOfMemory;
    case ERROR_INVALID_HANDLE: return HostFailure::kBadHandle;
    case ERROR_INVALID_FUNCTION: return HostFailure::kNoDriver;
    default: return HostFailure::kOther;
    }
}

uint32_t HostCodeFor(HostFailure failure) {
    switch (failure) {
    case HostFailure::kNone: return ERROR_SUCCESS;
    case HostFailure::kNotFound: return ERROR_FILE_NOT_FOUND;
    case HostFailure::kAccessDenied: return ERROR_ACCESS_DENIED;
    case HostFailure::kExists: return ERROR_FILE_EXISTS;
    case HostFailure::kNameTaken: return ERROR_ALREADY_EXISTS;
    case HostFailure::kDiskFull: return ERROR_DISK_FULL;
    case HostFailure::kEndOfFile: return ERROR_HANDLE_EOF;
    case HostFailure::kOutOfMemory: return ERROR_NOT_ENOUGH_MEMORY;
    case HostFailure::kBadHandle: return ERROR_INVALID_HANDLE;
    case HostFailure::kNoDriver: return ERROR_INVALID_FUNCTION;
    case HostFailure::kOther: break;
    }
    return ERROR_IO_DEVICE;
}

}  // namespace vk
