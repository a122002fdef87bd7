// Opening for writing takes the place of the volume lock: an exclusive open
// of a block device (refused while it is mounted) or an advisory lock on a
// plain file. Closing after writes flushes, so the data is on the disk when
// the job ends.
#include "posix/file_drive.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <utility>
#include <vector>

#include "posix/errno_map.h"
#include "posix/win_codes.h"

namespace vk {
namespace {

FileDriveContext& Context(SectorDevice& device) { return static_cast<FileDriveContext&>(*device.context); }
int Fd(const SectorDevice& device) { return static_cast<int>(device.handle); }
off_t Offset(uint32_t sector) { return static_cast<off_t>(sector) * kDriveSectorSize; }

uint32_t LastErrno() {
    if (errno == EWOULDBLOCK) {
        return win_code::kSharingViolation;
    }
    return ErrnoToWinError(errno);
}

// A descriptor closed on the paths that do not hand it to the device.
class OwnedFd {
public:
    explicit OwnedFd(int fd) : fd_(fd) {}
    ~OwnedFd() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    OwnedFd(const OwnedFd&) = delete;
    OwnedFd& operator=(const OwnedFd&) = delete;
    int get() const { return fd_; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

uint32_t Open(SectorDevice& device) {
    if (!device.context) {
        device.context = std::make_unique<FileDriveContext>();
    }
    struct stat st {};
    if (stat(device.path.c_str(), &st) != 0) {
        return LastErrno();
    }
    Context(device).regularFile = S_ISREG(st.st_mode);
    int flags = (device.readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC;
    if (!device.readOnly && S_ISBLK(st.st_mode)) {
        flags |= O_EXCL;
    }
    OwnedFd fd(open(device.path.c_str(), flags));
    if (fd.get() < 0) {
        return LastErrno();
    }
    if (!device.readOnly && S_ISREG(st.st_mode) && flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        return LastErrno();
    }
    device.handle = fd.Release();
    return win_code::kSuccess;
}

uint32_t Read(SectorDevice& device, uint8_t* buffer, uint32_t first, uint32_t count) {
    const size_t length = size_t{count} * kDriveSectorSize;
    for (size_t done = 0; done < length;) {
        const ssize_t n = pread(Fd(device), buffer + done, length - done, Offset(first) + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return LastErrno();
        }
        if (n == 0) {
            return win_code::kSectorNotFound;  // past the end of the disk
        }
        done += static_cast<size_t>(n);
    }
    return win_code::kSuccess;
}

uint32_t WriteAt(int fd, const uint8_t* buffer, size_t length, off_t offset) {
    for (size_t done = 0; done < length;) {
        const ssize_t n = pwrite(fd, buffer + done, length - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return LastErrno();
        }
        if (n == 0) {
            return win_code::kSectorNotFound;
        }
        done += static_cast<size_t>(n);
    }
    return win_code::kSuccess;
}

uint32_t Write(SectorDevice& device, const uint8_t* buffer, uint32_t first, uint32_t count) {
    return WriteAt(Fd(device), buffer, size_t{count} * kDriveSectorSize, Offset(first));
}

// A plain file's track is its sectors filled with the format byte. A real
// drive would need the floppy driver's format ioctl, which is not offered.
uint32_t Format(SectorDevice& device, MediaKind, uint32_t sectorsPerTrack, uint32_t cylinder, uint32_t head) {
    const FileDriveContext& context = Context(device);
    if (!context.regularFile || context.heads == 0 || sectorsPerTrack == 0) {
        return win_code::kNotSupported;
    }
    const uint64_t firstSector = (uint64_t{cylinder} * context.heads + head) * sectorsPerTrack;
    const std::vector<uint8_t> track(size_t{sectorsPerTrack} * kDriveSectorSize, context.formatFill);
    return WriteAt(Fd(device), track.data(), track.size(), static_cast<off_t>(firstSector * kDriveSectorSize));
}

uint32_t Close(SectorDevice& device) {
    uint32_t code = win_code::kSuccess;
    // EINVAL: a special file that keeps no buffers to flush.
    if (device.written && fsync(Fd(device)) != 0 && errno != EINVAL) {
        code = LastErrno();
    }
    if (close(Fd(device)) != 0 && code == win_code::kSuccess) {
        code = LastErrno();
    }
    return code;
}

const DriveBackend kFileBackend = {Open, Read, Write, Format, Close};

}  // namespace

const DriveBackend& FileDriveBackend() { return kFileBackend; }

FileDriveContext& UseFileDrive(SectorDevice& device, const std::string& path) {
    device.backend = &kFileBackend;
    device.path = path;
    auto context = std::make_unique<FileDriveContext>();
    FileDriveContext& kept = *context;
    device.context = std::move(context);
    return kept;
}

}  // namespace vk
