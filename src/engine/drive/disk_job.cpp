#include "engine/drive/disk_job.h"

#include <atomic>
#include <cstdio>

#include "engine/strings/strings.h"

namespace vk {
namespace {

// Atomic so that a console front end may set it from its interrupt handler.
std::atomic<bool> cancelRequested{false};

}  // namespace

bool CancelRequested() { return cancelRequested.load(); }
void SetCancelRequested(bool requested) { cancelRequested.store(requested); }

uint32_t ProgressPercent(uint32_t current, uint32_t total) {
    return total == 0 ? 0 : current * 100u / total;
}

std::string SectorText(unsigned id, uint32_t sector) {
    // Our own table's texts, each with one %lu.
    const std::string format(LoadText(id));
    char text[160];
    std::snprintf(text, sizeof text, format.c_str(), static_cast<unsigned long>(sector));
    return text;
}

}  // namespace vk
