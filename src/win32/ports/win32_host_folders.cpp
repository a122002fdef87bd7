// Host folders on Windows: CreateDirectory, and a folder's times through a
// handle opened with backup semantics, the only way a folder opens.
#include <windows.h>

#include <string>

#include "engine/ports/host_files.h"

namespace vk {

uint32_t CreateHostFolder(std::string_view path, bool& existed) {
    const std::string name(path);
    existed = false;
    if (CreateDirectoryA(name.c_str(), nullptr)) {
        return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS) {
        return error;
    }
    // A junction or link to a folder elsewhere is no folder here.
    const DWORD attributes = GetFileAttributesA(name.c_str());
    existed = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
              !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    return existed ? ERROR_SUCCESS : ERROR_ALREADY_EXISTS;
}

uint32_t SetHostFolderTime(std::string_view path, HostTime time) {
    const std::string name(path);
    HANDLE folder = CreateFileA(name.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (folder == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(time);
    ft.dwHighDateTime = static_cast<DWORD>(time >> 32);
    const DWORD error = SetFileTime(folder, &ft, &ft, &ft) ? ERROR_SUCCESS : GetLastError();
    CloseHandle(folder);
    return error;
}

}  // namespace vk
