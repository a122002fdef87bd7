#include "posix/temp_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <ctime>

namespace vk {
namespace {

// Six letters and digits after the target's name, as mkostemp makes them.
constexpr size_t kTempTailLength = 6;
constexpr char kTailLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr size_t kTailLetterCount = sizeof(kTailLetters) - 1;
// Names tried before a folder full of them is given up on.
constexpr int kTempAttempts = 100;

// Made here rather than by mkostemp so that the file is created with its
// final mode, which the kernel reduces by the umask: no umask to read and
// no chmod after it. The names need to be unlikely, not secret (O_EXCL
// refuses one that is taken).
std::string TempTail() {
    static uint64_t state = 0;
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    state += 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(now.tv_nsec) ^
             (static_cast<uint64_t>(now.tv_sec) << 32) ^ reinterpret_cast<uintptr_t>(&now);
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    std::string tail;
    for (size_t i = 0; i < kTempTailLength; ++i, z /= kTailLetterCount) {
        tail += kTailLetters[z % kTailLetterCount];
    }
    return tail;
}

// The file a signal must remove, in storage a handler may read: the path is
// written while `pendingSet` is 0. A path too long for it is not noted.
char pendingPath[4096];
volatile sig_atomic_t pendingSet = 0;

void OnEndingSignal(int signal) {
    if (pendingSet) {
        ::unlink(pendingPath);
    }
    // The default action, once this handler returns and the signal is unblocked.
    std::signal(signal, SIG_DFL);
    ::raise(signal);
}

void NotePending(const std::string& temp) {
    pendingSet = 0;
    if (temp.size() < sizeof(pendingPath)) {
        std::memcpy(pendingPath, temp.c_str(), temp.size() + 1);
        pendingSet = 1;
    }
}

std::string::size_type NameStart(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

bool IsTempTail(const char* tail) {
    size_t n = 0;
    for (; tail[n] != '\0'; ++n) {
        const char c = tail[n];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
            return false;
        }
    }
    return n == kTempTailLength;
}

// Removes `path` when it is a plain file whose lock no one holds.
void RemoveIfDead(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    struct stat opened {};
    struct stat named {};
    // The path must still name the locked file: a writer may have renamed it
    // into its target's place meanwhile.
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
        ::unlink(path.c_str());
    }
    ::close(fd);
}

}  // namespace

int CreateLockedTemp(const std::string& target, std::string& temp, unsigned mode) {
    const std::string::size_type start = NameStart(target);
    const std::string prefix = target.substr(0, start) + "." + target.substr(start) + ".";
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < kTempAttempts; ++attempt) {
        temp = prefix + TempTail();
        fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
        if (fd < 0 && errno != EEXIST) {
            return -1;
        }
    }
    if (fd < 0) {
        return -1;
    }
    NotePending(temp);
    // Nobody else has the file yet, so this lock is always had.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        ForgetTemp(temp);
        ::close(fd);
        errno = err;
        return -1;
    }
    return fd;
}

void ForgetTemp(const std::string& temp) {
    if (pendingSet && temp == pendingPath) {
        pendingSet = 0;
    }
}

void RemoveDeadTemps(const std::string& target) {
    const std::string::size_type start = NameStart(target);
    const std::string folder = start == 0 ? std::string(".") : target.substr(0, start);
    const std::string prefix = "." + target.substr(start) + ".";
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) == 0 &&
            IsTempTail(entry->d_name + prefix.size())) {
            RemoveIfDead(target.substr(0, start) + entry->d_name);
        }
    }
    ::closedir(dir);
}

void RemoveTempOnSignals() {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = OnEndingSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

unsigned CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}  // namespace vk
