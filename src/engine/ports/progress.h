// The progress port of the disk jobs: how far a read or write has come, and
// the user's way to stop it (which sets the jobs' cancel flag). VOLKARN shows
// a progress window with a Cancel button, vkdisk a percentage line and Ctrl+C,
// the tests record the calls.
#pragma once

#include <cstdint>

#include "engine/ports/prompts.h"

namespace vk {

// Which job a progress window belongs to: it picks the window's resource.
enum class DiskJob { kReading, kWriting };

// Drive and capacity the progress window shows on its capacity line.
struct ProgressHeader {
    uint32_t drive = 0;          // 0 = A:
    uint32_t capacityBytes = 0;
};

// Creates and shows the progress window over the window that owns the
// messages now, and disables that window for the job's time; until it
// closes, the job's messages belong to the progress window. Null when it
// could not be made: the job then runs without one, its messages where they
// were.
WindowRef OpenProgress(DiskJob job, const ProgressHeader& header);

// Shows "Drive %c:, capacity is %lu KBytes" for `header`.
void ShowDriveCapacity(WindowRef progress, const ProgressHeader& header);

// Shows ProgressPercent(current, total) and lets pending input run, which is
// how a Cancel reaches the job. Does nothing without a window.
void UpdateProgress(WindowRef progress, uint32_t current, uint32_t total);

// Enables the window under it again, gives the messages back to that window
// and destroys the progress window (if any).
void CloseProgress(WindowRef progress);

}  // namespace vk
