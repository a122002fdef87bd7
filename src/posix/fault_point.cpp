#include "posix/fault_point.h"

#ifdef VK_FAULT_HOOKS
#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace vk {

void FaultPoint() {
    static const long killAt = [] {
        const char* value = std::getenv("VK_KILL_AT_WRITE");
        return value != nullptr ? std::strtol(value, nullptr, 10) : 0L;
    }();
    static long changes = 0;
    if (killAt > 0 && ++changes == killAt) {
        ::kill(::getpid(), SIGKILL);
    }
}

}  // namespace vk
#endif
