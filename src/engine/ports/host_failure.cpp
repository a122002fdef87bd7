#include "engine/ports/host_failure.h"

namespace vk {

FailureKind HostFailureKind(uint32_t code) {
    switch (ClassifyHostCode(code)) {
        case HostFailure::kNone: return FailureKind::kNone;
        case HostFailure::kNotFound: return FailureKind::kNotFound;
        case HostFailure::kAccessDenied: return FailureKind::kAccessDenied;
        case HostFailure::kExists:
        case HostFailure::kNameTaken: return FailureKind::kExists;
        case HostFailure::kDiskFull: return FailureKind::kDiskFull;
        case HostFailure::kOutOfMemory: return FailureKind::kOutOfMemory;
        case HostFailure::kEndOfFile:
        case HostFailure::kBadHandle:
        case HostFailure::kNoDriver:
        case HostFailure::kOther: break;
    }
    return FailureKind::kHostError;
}

Fault HostFault(std::string_view firstLine, uint32_t code, std::string_view lastLine) {
    return Fault{HostFailureKind(code), HostErrorNotice(firstLine, code, lastLine)};
}

}  // namespace vk
