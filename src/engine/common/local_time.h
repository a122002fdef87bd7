// The local time of a moment, into the caller's own record: std::localtime
// hands out one buffer for the whole process, which readers on several
// threads (vkdisk catalog's workers, each checking its own image) would
// share.
#pragma once

#include <ctime>

namespace vk {

inline bool LocalTime(std::time_t moment, std::tm& local) {
#ifdef _WIN32
    return localtime_s(&local, &moment) == 0;
#else
    return localtime_r(&moment, &local) != nullptr;
#endif
}

}  // namespace vk
