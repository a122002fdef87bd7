// Host folders on POSIX systems: mkdir, and a folder's times by its path.
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "engine/ports/host_files.h"
#include "engine/ports/platform_codes.h"
#include "posix/errno_map.h"

namespace vk {
namespace {

constexpr HostTime kTicksPerSecond = 10000000;
constexpr int64_t kUnixEpochIn1601Seconds = 11644473600LL;

// The mode a new folder asks for; the process's umask takes its share.
constexpr mode_t kFolderMode = 0777;

}  // namespace

uint32_t CreateHostFolder(std::string_view path, bool& existed) {
    const std::string name(path);
    existed = false;
    if (::mkdir(name.c_str(), kFolderMode) == 0) {
        return win_error::kSuccess;
    }
    if (errno != EEXIST) {
        return ErrnoToWinError(errno);
    }
    // lstat: a link to a folder elsewhere is no folder here.
    struct stat st {};
    existed = ::lstat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    return existed ? win_error::kSuccess : win_error::kAlreadyExists;
}

uint32_t SetHostFolderTime(std::string_view path, HostTime time) {
    const std::string name(path);
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(static_cast<int64_t>(time / kTicksPerSecond) - kUnixEpochIn1601Seconds);
    ts.tv_nsec = static_cast<long>((time % kTicksPerSecond) * 100);
    const timespec times[2] = {ts, ts};
    // Never through a link: only the folder this program made is stamped.
    if (::utimensat(AT_FDCWD, name.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        return ErrnoToWinError(errno);
    }
    return win_error::kSuccess;
}

}  // namespace vk
