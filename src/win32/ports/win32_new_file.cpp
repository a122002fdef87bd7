// Whole host files on Windows: written under a temporary name beside their
// target, flushed, and moved into its place through the disk's own cache;
// an existing target is replaced only when the caller says so.
#include <windows.h>

#include "engine/ports/host_files.h"
#include "win32/ports/temp_files.h"

namespace vk {
namespace {

HANDLE H(const HostFile& file) { return reinterpret_cast<HANDLE>(file.Native()); }

// The 9x family has no MoveFileEx: a replaced target goes first, so a break
// between leaves the new file under its temporary name.
DWORD MoveWithoutMoveFileEx(const std::string& from, const std::string& to, bool replace) {
    if (replace && !DeleteFileA(to.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        return GetLastError();
    }
    return MoveFileA(from.c_str(), to.c_str()) ? ERROR_SUCCESS : GetLastError();
}

// A target another program holds open cannot be replaced, which MoveFileEx
// calls a denied access; it is a file in use, as deleting it would say.
DWORD WhyNotReplaced(const char* target, DWORD error) {
    if (error != ERROR_ACCESS_DENIED) {
        return error;
    }
    HANDLE probe = CreateFileA(target, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        return error;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION ? ERROR_SHARING_VIOLATION : error;
}

}  // namespace

uint32_t CreateNewHostFile(std::string_view target, uint32_t attributes, NewHostFile& file) {
    DiscardNewHostFile(file);
    std::string temp;
    HANDLE h = CreateTempBeside(std::string(target), attributes, temp);
    if (h == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    file.file = HostFile(reinterpret_cast<intptr_t>(h));
    file.targetPath = std::string(target);
    file.tempPath = temp;
    return ERROR_SUCCESS;
}

uint32_t CommitNewHostFile(NewHostFile& file, bool replace) {
    if (!file.IsPending()) {
        return ERROR_INVALID_HANDLE;
    }
    // Only a file that replaces another must reach the device first: the old
    // one is lost with the move. A new name loses nothing to a crash.
    if (replace && file.file.IsOpen() && !FlushFileBuffers(H(file.file))) {
        const DWORD error = GetLastError();
        DiscardNewHostFile(file);
        return error;
    }
    const char* from = file.tempPath.c_str();
    const char* to = file.targetPath.c_str();
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    DWORD error = MoveFileExA(from, to, flags) ? ERROR_SUCCESS : GetLastError();
    if (error == ERROR_CALL_NOT_IMPLEMENTED || error == ERROR_SHARING_VIOLATION) {
        // The 9x family, or a host that renames no file held open: let go of it first.
        file.file.Close();
        error = error == ERROR_CALL_NOT_IMPLEMENTED ? MoveWithoutMoveFileEx(file.tempPath, file.targetPath, replace)
                                                    : (MoveFileExA(from, to, flags) ? ERROR_SUCCESS : GetLastError());
    }
    if (error == ERROR_SUCCESS) {
        file.tempPath.clear();
        file.file.Close();
        return ERROR_SUCCESS;
    }
    // Something stands at the target: the caller may ask, then replace it.
    if (!replace && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)) {
        return ERROR_FILE_EXISTS;
    }
    DiscardNewHostFile(file);
    return WhyNotReplaced(to, error);
}

void DiscardNewHostFile(NewHostFile& file) {
    file.file.Close();
    if (file.IsPending()) {
        // A file made read-only is deleted only once it is not.
        SetFileAttributesA(file.tempPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(file.tempPath.c_str());
        file.tempPath.clear();
    }
}

}  // namespace vk
