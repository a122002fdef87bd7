// HostTime (100-ns ticks since 1970-01-01 UTC) and the POSIX timespec.
#pragma once

#include <ctime>

#include "engine/ports/host_files.h"

namespace vk {

constexpr int64_t kTicksPerSecond = 10000000;  // HostTime counts 100 ns

inline HostTime FromTimespec(const timespec& ts) {
    return static_cast<HostTime>(ts.tv_sec) * kTicksPerSecond + static_cast<HostTime>(ts.tv_nsec) / 100;
}

// Whole seconds rounded down, so that a time before 1970 keeps a
// non-negative nanosecond part.
inline timespec ToTimespec(HostTime time) {
    int64_t seconds = time / kTicksPerSecond;
    int64_t ticks = time % kTicksPerSecond;
    if (ticks < 0) {
        ticks += kTicksPerSecond;
        --seconds;
    }
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(seconds);
    ts.tv_nsec = static_cast<long>(ticks * 100);
    return ts;
}

}  // namespace vk
