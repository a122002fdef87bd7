#include "tests/engine/fake_drive.h"

#include <cstring>
#include <memory>

#include "engine/drive/disk_job.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/win_codes.h"

namespace vk::test {
namespace {

// The device points at the test's disk; the disk outlives it.
struct FakeContext : DriveContext {
    explicit FakeContext(FakeDisk& d) : disk(d) {}
    FakeDisk& disk;
};

FakeDisk& Disk(SectorDevice& device) { return static_cast<FakeContext&>(*device.context).disk; }

// Whether a transfer over [first, first + count) meets a failing sector; a
// counted failure is used up.
bool Fails(std::map<uint32_t, int>& bad, uint32_t first, uint32_t count) {
    for (auto& [sector, left] : bad) {
        if (sector >= first && sector < first + count && left != 0) {
            if (left > 0) {
                --left;
            }
            return true;
        }
    }
    return false;
}

bool InDisk(const FakeDisk& disk, uint32_t first, uint32_t count) {
    return (uint64_t{first} + count) * kDriveSectorSize <= disk.bytes.size();
}

uint32_t Open(SectorDevice& device) {
    FakeDisk& disk = Disk(device);
    disk.calls.push_back(device.readOnly ? "open ro" : "open rw");
    if (disk.openError != 0) {
        return disk.openError;
    }
    device.handle = 1;
    return 0;
}

uint32_t Read(SectorDevice& device, uint8_t* buffer, uint32_t first, uint32_t count) {
    FakeDisk& disk = Disk(device);
    disk.calls.push_back("read " + std::to_string(first) + "+" + std::to_string(count));
    if (Fails(disk.badReads, first, count)) {
        return disk.failCode;
    }
    if (!InDisk(disk, first, count)) {
        return test::win_code::kSectorNotFound;
    }
    std::memcpy(buffer, disk.Sector(first), size_t{count} * kDriveSectorSize);
    return 0;
}

uint32_t Write(SectorDevice& device, const uint8_t* buffer, uint32_t first, uint32_t count) {
    FakeDisk& disk = Disk(device);
    disk.calls.push_back("write " + std::to_string(first) + "+" + std::to_string(count));
    if (device.readOnly) {
        return test::win_code::kAccessDenied;
    }
    if (Fails(disk.badWrites, first, count)) {
        return disk.failCode;
    }
    if (!InDisk(disk, first, count)) {
        return test::win_code::kSectorNotFound;
    }
    std::memcpy(disk.Sector(first), buffer, size_t{count} * kDriveSectorSize);
    return 0;
}

uint32_t Format(SectorDevice& device, MediaKind media, uint32_t spt, uint32_t cylinder, uint32_t head) {
    FakeDisk& disk = Disk(device);
    disk.calls.push_back("format c" + std::to_string(cylinder) + " h" + std::to_string(head) + " mt" +
                         std::to_string(static_cast<int>(media)) + " spt" + std::to_string(spt));
    return disk.formatError;
}

uint32_t Close(SectorDevice& device) {
    Disk(device).calls.push_back(device.written ? "close written" : "close");
    return Disk(device).closeError;
}

const DriveBackend kFakeBackend = {Open, Read, Write, Format, Close};

}  // namespace

std::vector<std::string> FakeDisk::Calls(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& c : calls) {
        if (c.compare(0, prefix.size(), prefix) == 0) {
            out.push_back(c);
        }
    }
    return out;
}

SectorDevice FakeDevice(FakeDisk& disk, uint32_t drive) {
    SectorDevice device;
    device.drive = drive;
    device.backend = &kFakeBackend;
    device.context = std::make_unique<FakeContext>(disk);
    return device;
}

ProgressLog& Progress() {
    static ProgressLog log;
    return log;
}

WindowRef ProgressWindow() {
    static int window;
    return &window;
}

std::vector<uint32_t> ProgressLog::Percents() const {
    std::vector<uint32_t> out;
    for (const auto& [current, total] : updates) {
        out.push_back(ProgressPercent(current, total));
    }
    return out;
}

}  // namespace vk::test

namespace vk {

WindowRef OpenProgress(DiskJob job, const ProgressHeader& header) {
    test::ProgressLog& log = test::Progress();
    if (log.refuseWindow) {
        return nullptr;
    }
    ++log.opened;
    log.job = job;
    log.headers.push_back(header);
    log.ownerBefore = test::SwapPromptOwner(test::ProgressWindow());
    return test::ProgressWindow();
}

void ShowDriveCapacity(WindowRef progress, const ProgressHeader& header) {
    if (progress != nullptr) {
        test::Progress().headers.push_back(header);
    }
}

void UpdateProgress(WindowRef progress, uint32_t current, uint32_t total) {
    if (progress == nullptr) {
        return;
    }
    test::ProgressLog& log = test::Progress();
    if (static_cast<int>(log.updates.size()) == log.cancelAtUpdate) {
        SetCancelRequested(true);
    }
    log.updates.emplace_back(current, total);
}

void CloseProgress(WindowRef progress) {
    if (progress != nullptr) {
        ++test::Progress().closed;
        test::SwapPromptOwner(test::Progress().ownerBefore);
    }
}

}  // namespace vk
