#include "win32/ports/temp_files.h"

#include <cstring>

namespace vk {
namespace {

constexpr char kTempLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr size_t kTempLetterCount = sizeof(kTempLetters) - 1;
constexpr size_t kTempTailLength = 6;
// Names tried before a folder full of them is given up on.
constexpr int kTempAttempts = 100;

std::string::size_type NameStart(const std::string& path) {
    const std::string::size_type cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? 0 : cut + 1;
}

// Six letters and digits, different each call and in each process.
std::string TempTail() {
    static DWORD state = GetTickCount() ^ (GetCurrentProcessId() << 16);
    std::string tail;
    for (size_t i = 0; i < kTempTailLength; ++i) {
        state = state * 1664525u + 1013904223u;
        tail += kTempLetters[(state >> 16) % kTempLetterCount];
    }
    return tail;
}

bool IsTempTail(const char* tail) {
    size_t n = 0;
    for (; tail[n] != '\0'; ++n) {
        if (std::strchr(kTempLetters, tail[n]) == nullptr) return false;
    }
    return n == kTempTailLength;
}

}  // namespace

HANDLE CreateTempBeside(const std::string& target, DWORD attributes, std::string& temp) {
    const std::string::size_type start = NameStart(target);
    const std::string stem = target.substr(0, start) + "." + target.substr(start) + ".";
    for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
        temp = stem + TempTail();
        HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                               attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) return h;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return INVALID_HANDLE_VALUE;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

void RemoveDeadTemps(const std::string& target) {
    const std::string::size_type start = NameStart(target);
    const std::string folder = target.substr(0, start);
    const std::string prefix = "." + target.substr(start) + ".";
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + prefix + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        // The pattern matches short names too: the long one decides, in any case.
        if (_strnicmp(found.cFileName, prefix.c_str(), prefix.size()) != 0 ||
            !IsTempTail(found.cFileName + prefix.size()) || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            continue;
        }
        // Opened sharing nothing, it opens only when no one else has it open.
        HANDLE dead = CreateFileA((folder + found.cFileName).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (dead != INVALID_HANDLE_VALUE) CloseHandle(dead);
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

}  // namespace vk
