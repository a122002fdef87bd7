// Host files on POSIX systems. Sharing modes are stood in for by advisory
// locks (flock); errno is mapped onto the platform error codes the engine
// compares.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/fat/dir/dir_entry.h"
#include "engine/ports/host_files.h"
#include "posix/errno_map.h"
#include "posix/fault_point.h"
#include "posix/host_time.h"
#include "posix/temp_files.h"
#include "posix/win_codes.h"

namespace vk {
namespace {

int Fd(const HostFile& file) { return static_cast<int>(file.Native()); }

// The lock that stands in for the platform's sharing modes: none while others
// may write too, else exclusive for a writer and shared for a reader.
int LockFor(unsigned access, unsigned share) {
    if (share & kShareWrite) {
        return 0;
    }
    return (access & kAccessWrite) ? LOCK_EX : LOCK_SH;
}

uint32_t LastError() { return ErrnoToWinError(errno); }

uint32_t WriteAll(int fd, const void* buffer, uint32_t count) {
    FaultPoint();
    const auto* p = static_cast<const unsigned char*>(buffer);
    for (uint32_t done = 0; done < count;) {
        const ssize_t n = ::write(fd, p + done, count - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return LastError();
        }
        if (n == 0) {
            return win_code::kDiskFull;
        }
        done += static_cast<uint32_t>(n);
    }
    return win_code::kSuccess;
}

// The file a path leads to after its symbolic links; the path itself when
// it leads nowhere yet.
std::string FinalPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        return path;
    }
    std::string result(resolved);
    std::free(resolved);
    return result;
}

// A whole image is read into memory the allocator has just mapped, which
// the read would otherwise fault in one page at a time: asking for all of
// its whole pages at once is a third cheaper. Only a hint; smaller reads and
// systems without it go on as before.
constexpr uint32_t kPrefaultFrom = 256 * 1024;

void PrepareLargeBuffer(unsigned char* buffer, uint32_t count) {
#ifdef MADV_POPULATE_WRITE
    if (count < kPrefaultFrom) {
        return;
    }
    const uintptr_t page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const uintptr_t first = (reinterpret_cast<uintptr_t>(buffer) + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(buffer) + count) & ~(page - 1);
    if (end > first) {
        ::madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
    }
#else
    (void)buffer;
    (void)count;
#endif
}

uint32_t AttributesOf(const struct stat& st) {
    const uint32_t readOnly = (st.st_mode & S_IWUSR) ? 0u : uint32_t{kHostReadOnly};
    if (S_ISDIR(st.st_mode)) {
        return uint32_t{kHostDirectory} | readOnly;
    }
    // FIFOs, sockets and devices have no size to copy, and opening some of them blocks.
    if (!S_ISREG(st.st_mode)) {
        return uint32_t{kHostDevice} | readOnly;
    }
    return uint32_t{kHostArchive} | readOnly;
}

}  // namespace

uint32_t OpenHostFile(std::string_view path, unsigned access, unsigned share,
                      Disposition disposition, uint32_t attributes, HostFile& file) {
    // Non-blocking, so that a pipe without a writer or a device without a
    // medium cannot hold the program before it is refused below.
    int flags = O_CLOEXEC | O_NONBLOCK;
    if ((access & kAccessRead) && (access & kAccessWrite)) {
        flags |= O_RDWR;
    } else if (access & kAccessWrite) {
        flags |= O_WRONLY;
    } else {
        flags |= O_RDONLY;
    }
    const bool truncate = disposition == Disposition::kCreateAlways;
    switch (disposition) {
    case Disposition::kCreateNew: flags |= O_CREAT | O_EXCL; break;
    case Disposition::kCreateAlways: flags |= O_CREAT; break;  // emptied once locked
    case Disposition::kOpenExisting: break;
    case Disposition::kOpenAlways: flags |= O_CREAT; break;
    }
    const int lock = LockFor(access, share);
    // A file created read-only still opens for writing through this descriptor.
    mode_t mode = (attributes & kHostReadOnly) ? 0444 : 0666;
    std::string name(path);
    if (flags & O_CREAT) {
        FaultPoint();
    }
    for (int attempt = 0;; ++attempt) {
        int fd = ::open(name.c_str(), flags, mode);
        if (fd < 0) {
            return ErrnoToWinError(errno);
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            const uint32_t code = ErrnoToWinError(errno);
            ::close(fd);
            return code;
        }
        if (S_ISDIR(st.st_mode)) {
            ::close(fd);
            return win_code::kAccessDenied;
        }
        if (!S_ISREG(st.st_mode)) {
            ::close(fd);
            return win_code::kNotSupported;
        }
        // O_NONBLOCK stays: reads and writes of a regular file never wait
        // on it, so clearing it would be two calls for nothing.
        if (lock != 0) {
            if (::flock(fd, lock | LOCK_NB) != 0) {
                const int err = errno;
                ::close(fd);
                return err == EWOULDBLOCK ? win_code::kSharingViolation : ErrnoToWinError(err);
            }
            // The holder of the lock may have put a new file in this path's
            // place meanwhile: a writer's lock must be on the file the path
            // names now. A reader reads the file it locked, whole as it was.
            struct stat now {};
            if ((access & kAccessWrite) &&
                (::stat(name.c_str(), &now) != 0 || now.st_dev != st.st_dev || now.st_ino != st.st_ino)) {
                ::close(fd);
                if (attempt < 8) {
                    continue;
                }
                return win_code::kSharingViolation;
            }
        }
        if (truncate) {
            FaultPoint();
        }
        if (truncate && ::ftruncate(fd, 0) != 0) {
            const uint32_t code = ErrnoToWinError(errno);
            ::close(fd);
            return code;
        }
        file = HostFile(fd);
        return win_code::kSuccess;
    }
}

void CloseHostFileNative(intptr_t native) { ::close(static_cast<int>(native)); }

uint32_t HostFileSize(const HostFile& file, uint64_t& size) {
    struct stat st {};
    if (::fstat(Fd(file), &st) != 0) {
        return ErrnoToWinError(errno);
    }
    size = static_cast<uint64_t>(st.st_size);
    return win_code::kSuccess;
}

uint32_t SeekHostFile(const HostFile& file, uint64_t position) {
    if (::lseek(Fd(file), static_cast<off_t>(position), SEEK_SET) < 0) {
        return ErrnoToWinError(errno);
    }
    return win_code::kSuccess;
}

uint32_t ReadHostFile(const HostFile& file, void* buffer, uint32_t count, uint32_t& done) {
    done = 0;
    auto* p = static_cast<unsigned char*>(buffer);
    PrepareLargeBuffer(p, count);
    while (done < count) {
        ssize_t n = ::read(Fd(file), p + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return ErrnoToWinError(errno);
        }
        if (n == 0) break;
        done += static_cast<uint32_t>(n);
    }
    return win_code::kSuccess;
}

uint32_t WriteHostFile(const HostFile& file, const void* buffer, uint32_t count, uint32_t& done) {
    FaultPoint();
    done = 0;
    const auto* p = static_cast<const unsigned char*>(buffer);
    while (done < count) {
        ssize_t n = ::write(Fd(file), p + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return ErrnoToWinError(errno);
        }
        done += static_cast<uint32_t>(n);
    }
    return win_code::kSuccess;
}

uint32_t ReadHostFileAt(const HostFile& file, uint64_t offset, void* buffer, uint32_t count, uint32_t& done) {
    done = 0;
    auto* p = static_cast<unsigned char*>(buffer);
    while (done < count) {
        const ssize_t n = ::pread(Fd(file), p + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        if (n == 0) break;
        done += static_cast<uint32_t>(n);
    }
    return win_code::kSuccess;
}

uint32_t WriteHostFileAt(const HostFile& file, uint64_t offset, const void* buffer, uint32_t count) {
    FaultPoint();
    const auto* p = static_cast<const unsigned char*>(buffer);
    for (uint32_t done = 0; done < count;) {
        const ssize_t n = ::pwrite(Fd(file), p + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        if (n == 0) {
            return win_code::kDiskFull;
        }
        done += static_cast<uint32_t>(n);
    }
    return win_code::kSuccess;
}

namespace {

void ReleaseMapping(uint8_t* data, size_t size) { ::munmap(data, size); }

// /proc/self/pagemap: one 64-bit word per page of the address space. A page
// of a private file mapping that was written to is a copy of its own: there,
// and not a page of the file any more (or swapped out, which only such
// copies can be).
constexpr uint64_t kPagePresent = uint64_t{1} << 63;
constexpr uint64_t kPageSwapped = uint64_t{1} << 62;
constexpr uint64_t kPageOfFile = uint64_t{1} << 61;

bool PageWasWritten(uint64_t word) {
    return (word & kPageSwapped) != 0 || ((word & kPagePresent) != 0 && (word & kPageOfFile) == 0);
}

}  // namespace

uint32_t LoadHostFile(const HostFile& file, uint32_t size, ByteBlock& block) {
    // A private mapping reads only the pages the engine reaches: the boot
    // sector, the FATs and the folders an operation walks, and the clusters
    // it reads. A change stays in this process until a save writes it. A
    // sparse file is read instead: on a full tmpfs, reaching a hole through
    // a mapping needs a page the file system has not got, and ends the
    // process with SIGBUS where a read simply gives zeros.
    struct stat st {};
    const bool sparse = ::fstat(Fd(file), &st) != 0 || static_cast<uint64_t>(st.st_blocks) * 512 < size;
    void* mapped = sparse ? MAP_FAILED : ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE, Fd(file), 0);
    if (mapped != MAP_FAILED) {
        block.Adopt(static_cast<uint8_t*>(mapped), size, ReleaseMapping);
        return win_code::kSuccess;
    }
    // Some file systems cannot map files: read it whole instead.
    if (!block.Allocate(size)) {
        return win_code::kNotEnoughMemory;
    }
    uint32_t done = 0;
    const uint32_t code = ReadHostFileAt(file, 0, block.data(), size, done);
    if (code != win_code::kSuccess || done != size) {
        block.Reset();
        return code != win_code::kSuccess ? code : win_code::kHandleEof;
    }
    return win_code::kSuccess;
}

std::vector<ByteRange> ChangedHostRanges(const ByteBlock& block) {
    const std::vector<ByteRange> all{{0, block.size()}};
    if (!block.IsAdopted() || block.size() == 0) {
        return all;
    }
    const uint64_t page = static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
    const uint64_t start = reinterpret_cast<uintptr_t>(block.data()) / page;  // mappings start on a page
    const uint64_t pages = (block.size() + page - 1) / page;
    const int fd = ::open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return all;
    }
    std::vector<ByteRange> ranges;
    std::vector<uint64_t> words(static_cast<size_t>(std::min<uint64_t>(pages, 4096)));
    bool known = true;
    for (uint64_t first = 0; first < pages && known;) {
        const uint64_t count = std::min<uint64_t>(pages - first, words.size());
        const ssize_t got = ::pread(fd, words.data(), count * sizeof(uint64_t),
                                    static_cast<off_t>((start + first) * sizeof(uint64_t)));
        if (got != static_cast<ssize_t>(count * sizeof(uint64_t))) {
            known = false;
            break;
        }
        for (uint64_t i = 0; i < count; ++i) {
            if (!PageWasWritten(words[i])) continue;
            const uint64_t offset = (first + i) * page;
            const uint64_t length = std::min<uint64_t>(page, block.size() - offset);
            if (!ranges.empty() && ranges.back().offset + ranges.back().length == offset) {
                ranges.back().length += length;
            } else {
                ranges.push_back({offset, length});
            }
        }
        first += count;
    }
    ::close(fd);
    return known ? ranges : all;
}

uint32_t SetHostFileTimes(const HostFile& file, HostTime time) {
    timespec times[2] = {ToTimespec(time), ToTimespec(time)};
    if (::futimens(Fd(file), times) != 0) {
        return ErrnoToWinError(errno);
    }
    return win_code::kSuccess;
}

uint32_t ReplaceHostFile(std::string_view path, const void* data, uint32_t size, HostFile& file) {
    const std::string target = FinalPath(std::string(path));
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode)) {
        return win_code::kNotSupported;
    }
    // The caller's handle on the old image holds its lock: no other writer
    // can be saving it, so a copy beside it that no one holds is litter.
    const bool holdsLock = IsSameHostFile(file, target);
    std::string temp;
    const int fd = CreateLockedTemp(target, temp, 0600);
    if (fd < 0) {
        return LastError();
    }
    uint32_t code = WriteAll(fd, data, size);
    if (code == win_code::kSuccess) {
        mode_t mode = 0;
        if (existed) {
            mode = old.st_mode & 07777;
            // Root keeps the owner of a file it saves for someone else.
            if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
                mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
            }
        } else {
            mode = 0666 & ~static_cast<mode_t>(CurrentUmask());
        }
        if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) {
            code = LastError();
        }
    }
    if (code == win_code::kSuccess) {
        FaultPoint();
    }
    if (code == win_code::kSuccess && ::rename(temp.c_str(), target.c_str()) != 0) {
        code = LastError();
    }
    if (code != win_code::kSuccess) {
        ::unlink(temp.c_str());
        ForgetTemp(temp);
        ::close(fd);
        return code;
    }
    ForgetTemp(temp);
    if (holdsLock) {
        RemoveDeadTemps(target);
    }
    // The folder is not flushed after the rename. The new file's bytes reached
    // the device before its name replaced the old one, so after a power cut
    // the path names the old image or the new one, each whole; what a cut in
    // the seconds before the file system commits the rename can undo is only
    // that this save happened, and the old image comes back. Flushing the
    // folder as well made every save wait for a second journal commit, as
    // long again as the first.
    file = HostFile(fd);
    return win_code::kSuccess;
}

uint32_t FlushHostFile(const HostFile& file) {
    FaultPoint();
#if defined(__linux__)
    // The bytes and what reading them needs (size, blocks), not the times:
    // an in-place save changes no size, and on a journalling file system a
    // changed time alone would cost a journal commit of its own.
    return ::fdatasync(Fd(file)) == 0 ? win_code::kSuccess : LastError();
#else
    return ::fsync(Fd(file)) == 0 ? win_code::kSuccess : LastError();
#endif
}

uint32_t DeleteHostFile(std::string_view path) {
    FaultPoint();
    std::string name(path);
    if (::unlink(name.c_str()) != 0) {
        return ErrnoToWinError(errno);
    }
    return win_code::kSuccess;
}

uint32_t FlushHostFolderOf(std::string_view path) {
    FaultPoint();
    const std::string folder = HostFolderOf(path);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return LastError();
    }
    const uint32_t code = ::fsync(fd) == 0 ? win_code::kSuccess : LastError();
    ::close(fd);
    return code;
}

std::string ResolveHostPath(std::string_view path) { return FinalPath(std::string(path)); }

void RemoveDeadCopies(std::string_view target) { RemoveDeadTemps(FinalPath(std::string(target))); }

uint32_t GetHostFileAttributes(std::string_view path, uint32_t& attributes) {
    std::string name(path);
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) {
        return ErrnoToWinError(errno);
    }
    attributes = AttributesOf(st);
    return win_code::kSuccess;
}

// Only read-only has a meaning here: it takes away or gives back the write bits.
uint32_t SetHostFileAttributes(std::string_view path, uint32_t attributes) {
    std::string name(path);
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) {
        return ErrnoToWinError(errno);
    }
    mode_t mode = st.st_mode & 07777;
    if (attributes & kHostReadOnly) {
        mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
    } else {
        mode |= S_IWUSR;
    }
    // Every extracted file comes here; most already have the mode asked for.
    if (mode == (st.st_mode & 07777)) {
        return win_code::kSuccess;
    }
    if (::chmod(name.c_str(), mode) != 0) {
        return ErrnoToWinError(errno);
    }
    return win_code::kSuccess;
}

uint32_t FindHostFile(std::string_view path, HostFindData& data) {
    std::string name(path);
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) {
        return ErrnoToWinError(errno);
    }
    std::string::size_type slash = name.find_last_of('/');
    data.longName = slash == std::string::npos ? name : name.substr(slash + 1);
    data.shortName.clear();
    data.attributes = AttributesOf(st);
    data.size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
    data.lastWriteTime = FromTimespec(st.st_mtim);
    return win_code::kSuccess;
}

bool IsSameHostFile(const HostFile& open, std::string_view path) {
    struct stat opened {};
    struct stat named {};
    const std::string name(path);
    // The path first: before an extraction it is mostly not there yet.
    return open.IsOpen() && ::stat(name.c_str(), &named) == 0 && ::fstat(Fd(open), &opened) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

bool HostTimeToLocalDos(HostTime time, DosDateTime& dos) {
    timespec ts = ToTimespec(time);
    struct tm local {};
    if (::localtime_r(&ts.tv_sec, &local) == nullptr) {
        return false;
    }
    int year = local.tm_year + 1900;
    if (year < kDosFirstYear || year > kDosLastYear) {
        return false;
    }
    dos.date = PackDosDate(year, local.tm_mon + 1, local.tm_mday);
    dos.time = PackDosTime(local.tm_hour, local.tm_min, local.tm_sec);
    return true;
}

bool LocalDosToHostTime(DosDateTime dos, HostTime& time) {
    struct tm local {};
    local.tm_year = DosDateYear(dos.date) - 1900;
    local.tm_mon = DosDateMonth(dos.date) - 1;
    local.tm_mday = DosDateDay(dos.date);
    local.tm_hour = DosTimeHour(dos.time);
    local.tm_min = DosTimeMinute(dos.time);
    local.tm_sec = DosTimeSecond(dos.time);
    local.tm_isdst = -1;
    if (local.tm_mon < 0 || local.tm_mon > 11 || local.tm_mday == 0 || local.tm_hour > 23 ||
        local.tm_min > 59 || local.tm_sec > 59) {
        return false;
    }
    errno = 0;
    time_t t = ::mktime(&local);
    if (t == static_cast<time_t>(-1) && errno != 0) {
        return false;
    }
    time = static_cast<HostTime>(t) * kTicksPerSecond;
    return true;
}

char HostPathSeparator() { return '/'; }

}  // namespace vk
