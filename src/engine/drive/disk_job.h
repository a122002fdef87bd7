// What the two disk jobs share: the process-wide cancel flag that the
// progress window's Cancel button (or an Abort answer) sets, and the
// percentage the progress window shows.
#pragma once

#include <cstdint>
#include <string>

namespace vk {

// A job clears the flag before it starts and tests it before every sector.
bool CancelRequested();
void SetCancelRequested(bool requested);

// current × 100 / total in unsigned 32-bit arithmetic, truncated; 0 for a
// total of 0.
uint32_t ProgressPercent(uint32_t current, uint32_t total);

// String-table text `id` ("Disk sector %lu cannot be read!") filled with
// `sector`.
std::string SectorText(unsigned id, uint32_t sector);

// The job error that means "not a FAT12 disk": a code with the customer bit
// set, which no system error code has.
constexpr uint32_t kUnsupportedFileSystemCode = 0x20000001;

}  // namespace vk
