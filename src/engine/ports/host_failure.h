// What a host failure means to the engine. The host-file and drive ports
// return the host's own code (0 on success), which the engine keeps for the
// host's error text; where the engine must act on a failure it asks what the
// code means, and where it detects a failure itself it asks which host code
// stands for it, so that the text shown is the host's.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/common/result.h"

namespace vk {

constexpr uint32_t kHostSuccess = 0;

// Only the failures the engine tells apart or reports of its own.
enum class HostFailure {
    kNone,           // success
    kNotFound,       // no such file or folder on the path
    kAccessDenied,   // refused, or read-only
    kExists,         // a file created new is already there
    kNameTaken,      // an entry by that name already exists (a rename)
    kDiskFull,       // no room left for the data written
    kEndOfFile,      // fewer bytes than asked for were there to read
    kOutOfMemory,
    kBadHandle,      // no open handle to work on
    kNoDriver,       // a drive without a back end to do the work
    kOther,
};

// The meaning of host code `code`.
HostFailure ClassifyHostCode(uint32_t code);

// The host code that stands for `failure` when the engine detects it itself;
// kHostSuccess for kNone.
uint32_t HostCodeFor(HostFailure failure);

// What a failed host call with `code` means to the engine's callers.
FailureKind HostFailureKind(uint32_t code);

// A failure whose notice frames the host's text for `code`.
Fault HostFault(std::string_view firstLine, uint32_t code, std::string_view lastLine = {});

}  // namespace vk
