// A disk in memory behind the SectorDevice interface, with sectors that fail
// on demand, and a progress window that records what the jobs show.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/drive/sector_device.h"
#include "engine/ports/progress.h"

namespace vk::test {

struct FakeDisk {
    std::vector<uint8_t> bytes;              // the disk's sectors one after another
    std::map<uint32_t, int> badReads;        // sector -> failures left (-1: always)
    std::map<uint32_t, int> badWrites;       // a write of a block holding the sector fails
    uint32_t failCode = 23;                  // ERROR_CRC
    uint32_t openError = 0;
    uint32_t formatError = 0;
    uint32_t closeError = 0;                 // the last flush or the close fails
    uint8_t formatFill = 0xF6;
    std::vector<std::string> calls;          // "open ro", "read 5+1", "write 9+9", "format c0 h1 mt2 spt9" (mt: the MediaKind's number), "close"

    explicit FakeDisk(uint32_t sectors = 0) : bytes(size_t{sectors} * kDriveSectorSize, 0) {}
    uint8_t* Sector(uint32_t s) { return bytes.data() + size_t{s} * kDriveSectorSize; }
    // The calls that start with `prefix`.
    std::vector<std::string> Calls(const std::string& prefix) const;
};

// A device record over `disk`: drive A: unless said otherwise.
SectorDevice FakeDevice(FakeDisk& disk, uint32_t drive = 0);

struct ProgressLog {
    bool refuseWindow = false;              // OpenProgress gives no window
    int cancelAtUpdate = -1;                // the Cancel button is pressed during this update (0-based)
    int opened = 0;
    int closed = 0;
    WindowRef ownerBefore = nullptr;        // the prompt owner the open window took over from
    DiskJob job = DiskJob::kReading;
    std::vector<ProgressHeader> headers;    // at open, then each ShowDriveCapacity
    std::vector<std::pair<uint32_t, uint32_t>> updates;  // (current, total)
    std::vector<uint32_t> Percents() const;
    void Reset() { *this = ProgressLog(); }
};
ProgressLog& Progress();
// The window the fake progress port hands out.
WindowRef ProgressWindow();

}  // namespace vk::test
