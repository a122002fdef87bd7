// HostTime and the platform's FILETIME.
#pragma once

#include <windows.h>

#include "engine/ports/host_files.h"

namespace vk {

// FILETIME counts 100-ns intervals since 1601-01-01 UTC; HostTime the same
// since 1970-01-01 UTC.
constexpr int64_t kFileTimeOf1970 = 116444736000000000LL;

inline FILETIME ToFileTime(HostTime time) {
    const uint64_t ticks = static_cast<uint64_t>(time + kFileTimeOf1970);
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return ft;
}

inline HostTime FromFileTime(const FILETIME& ft) {
    const uint64_t ticks = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<HostTime>(ticks) - kFileTimeOf1970;
}

}  // namespace vk
