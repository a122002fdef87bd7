#include "vkdisk/console_progress.h"

#include <cstdio>
#include <unistd.h>

#include "engine/drive/disk_job.h"
#include "engine/ports/progress.h"

namespace vk {
namespace {

std::string deviceName;
const char* verb = "reading";
bool lineOpen = false;
uint32_t lastPercent = 0;
uint32_t shownCapacity = 0;
int token;  // what the jobs hold as the progress window

bool Terminal() { return isatty(2) != 0; }

}  // namespace

namespace cli {

void SetProgressDeviceName(const std::string& name) { deviceName = name; }

void BreakProgressLine() {
    if (lineOpen) {
        std::fputc('\n', stderr);
        lineOpen = false;
    }
}

}  // namespace cli

WindowRef OpenProgress(DiskJob job, const ProgressHeader& header) {
    verb = job == DiskJob::kReading ? "reading" : "writing";
    lineOpen = false;
    lastPercent = UINT32_MAX;
    shownCapacity = 0;
    ShowDriveCapacity(&token, header);
    return &token;
}

void ShowDriveCapacity(WindowRef progress, const ProgressHeader& header) {
    // Before its boot sector is read a disk's capacity is not known; a
    // capacity already shown is not repeated.
    if (progress == nullptr || header.capacityBytes == 0 || header.capacityBytes == shownCapacity) {
        return;
    }
    shownCapacity = header.capacityBytes;
    cli::BreakProgressLine();
    std::fprintf(stderr, "vkdisk: %s, capacity is %lu KBytes\n", deviceName.c_str(),
                 static_cast<unsigned long>(header.capacityBytes >> 10));
}

void UpdateProgress(WindowRef progress, uint32_t current, uint32_t total) {
    const uint32_t percent = ProgressPercent(current, total);
    if (progress == nullptr || !Terminal() || percent == lastPercent) {
        return;
    }
    lastPercent = percent;
    std::fprintf(stderr, "\rvkdisk: %s %s: %3lu%%", verb, deviceName.c_str(), static_cast<unsigned long>(percent));
    std::fflush(stderr);
    lineOpen = true;
}

void CloseProgress(WindowRef) { cli::BreakProgressLine(); }

}  // namespace vk
