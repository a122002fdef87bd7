// Whole host files on POSIX systems: written under a temporary name beside
// their target, flushed, and renamed into its place; without leave to
// replace, renamed only where nothing stands.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "engine/ports/host_files.h"
#include "posix/errno_map.h"
#include "posix/temp_files.h"
#include "posix/win_codes.h"

namespace vk {
namespace {

int Fd(const HostFile& file) { return static_cast<int>(file.Native()); }

// Hard links are refused by file systems that have none, not because of the files.
bool NoHardLinksHere(int err) { return err == EPERM || err == ENOTSUP || err == EOPNOTSUPP || err == ENOSYS; }

// Renames `from` to `to` unless something (a link included) stands at `to`:
// then it fails with EEXIST and `from` stays.
int RenameNoReplace(const char* from, const char* to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        return -1;
    }
#endif
    // A second name fails where one stands; then the temporary one goes.
    if (::link(from, to) == 0) {
        ::unlink(from);
        return 0;
    }
    if (!NoHardLinksHere(errno)) {
        return -1;
    }
    // Neither: look, then rename. Only a writer racing for the same name
    // between the two can be replaced.
    struct stat st {};
    if (::lstat(to, &st) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from, to);
}

}  // namespace

uint32_t CreateNewHostFile(std::string_view target, uint32_t attributes, NewHostFile& file) {
    DiscardNewHostFile(file);
    std::string temp;
    // The mode a file created in the target's place would have had.
    const int fd = CreateLockedTemp(std::string(target), temp, (attributes & kHostReadOnly) ? 0444 : 0666);
    if (fd < 0) {
        return ErrnoToWinError(errno);
    }
    file.file = HostFile(fd);
    file.targetPath = std::string(target);
    file.tempPath = temp;
    return win_code::kSuccess;
}

uint32_t CommitNewHostFile(NewHostFile& file, bool replace) {
    if (!file.IsPending()) {
        return win_code::kInvalidHandle;
    }
    // Only a file that replaces another must reach the device first: the old
    // one is lost with the rename. A new name loses nothing to a crash.
    if (replace && file.file.IsOpen() && ::fsync(Fd(file.file)) != 0) {
        const uint32_t code = ErrnoToWinError(errno);
        DiscardNewHostFile(file);
        return code;
    }
    const int moved = replace ? ::rename(file.tempPath.c_str(), file.targetPath.c_str())
                              : RenameNoReplace(file.tempPath.c_str(), file.targetPath.c_str());
    if (moved != 0) {
        const int err = errno;
        if (!(err == EEXIST && !replace)) {
            DiscardNewHostFile(file);
        }
        return ErrnoToWinError(err);
    }
    ForgetTemp(file.tempPath);
    file.tempPath.clear();
    file.file.Close();
    return win_code::kSuccess;
}

void DiscardNewHostFile(NewHostFile& file) {
    if (file.IsPending()) {
        ::unlink(file.tempPath.c_str());
        ForgetTemp(file.tempPath);
        file.tempPath.clear();
    }
    file.file.Close();
}

}  // namespace vk
