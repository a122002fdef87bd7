// Host files on Windows: the ANSI file functions. Their error codes go back
// to the engine as they come.
#include <windows.h>

#include "engine/ports/host_files.h"
#include "win32/ports/file_time.h"
#include "win32/ports/temp_files.h"

namespace vk {
namespace {

HANDLE H(const HostFile& file) { return reinterpret_cast<HANDLE>(file.Native()); }

DWORD CreationOf(Disposition disposition) {
    switch (disposition) {
    case Disposition::kCreateNew: return CREATE_NEW;
    case Disposition::kCreateAlways: return CREATE_ALWAYS;
    case Disposition::kOpenExisting: return OPEN_EXISTING;
    case Disposition::kOpenAlways: return OPEN_ALWAYS;
    }
    return OPEN_EXISTING;
}

}  // namespace

uint32_t OpenHostFile(std::string_view path, unsigned access, unsigned share,
                      Disposition disposition, uint32_t attributes, HostFile& file) {
    DWORD desired = ((access & kAccessRead) ? GENERIC_READ : 0) | ((access & kAccessWrite) ? GENERIC_WRITE : 0);
    DWORD shareMode = ((share & kShareRead) ? FILE_SHARE_READ : 0) | ((share & kShareWrite) ? FILE_SHARE_WRITE : 0);
    DWORD flags = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    if (access & kAccessRead) {
        flags |= FILE_FLAG_RANDOM_ACCESS;
    }
    std::string name(path);
    HANDLE h = CreateFileA(name.c_str(), desired, shareMode, nullptr, CreationOf(disposition), flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    // A device or pipe under a file's name is no image and no host file.
    if (GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        return ERROR_NOT_SUPPORTED;
    }
    file = HostFile(reinterpret_cast<intptr_t>(h));
    return ERROR_SUCCESS;
}

void CloseHostFileNative(intptr_t native) { CloseHandle(reinterpret_cast<HANDLE>(native)); }

uint32_t HostFileSize(const HostFile& file, uint64_t& size) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(H(file), &info)) {
        return GetLastError();
    }
    size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return ERROR_SUCCESS;
}

uint32_t SeekHostFile(const HostFile& file, uint64_t position) {
    LONG high = static_cast<LONG>(position >> 32);
    DWORD low = SetFilePointer(H(file), static_cast<LONG>(position & 0xFFFFFFFFu), &high, FILE_BEGIN);
    if (low == INVALID_SET_FILE_POINTER) {
        DWORD error = GetLastError();
        if (error != NO_ERROR) {
            return error;
        }
    }
    return ERROR_SUCCESS;
}

uint32_t ReadHostFile(const HostFile& file, void* buffer, uint32_t count, uint32_t& done) {
    DWORD got = 0;
    BOOL ok = ReadFile(H(file), buffer, count, &got, nullptr);
    done = got;
    return ok ? ERROR_SUCCESS : GetLastError();
}

uint32_t WriteHostFile(const HostFile& file, const void* buffer, uint32_t count, uint32_t& done) {
    DWORD put = 0;
    BOOL ok = WriteFile(H(file), buffer, count, &put, nullptr);
    done = put;
    return ok ? ERROR_SUCCESS : GetLastError();
}

uint32_t SetHostFileTimes(const HostFile& file, HostTime time) {
    FILETIME ft = ToFileTime(time);
    return SetFileTime(H(file), &ft, &ft, &ft) ? ERROR_SUCCESS : GetLastError();
}

namespace {

HANDLE OpenForDocument(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
}

// Moves `from` over `to` through the disk's own cache. The 9x family has no
// MoveFileEx; there the old file goes first and the new one follows, so a
// break between leaves the new data under the temporary name.
DWORD MoveOver(const std::string& from, const std::string& to) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return ERROR_SUCCESS;
    }
    DWORD error = GetLastError();
    if (error != ERROR_CALL_NOT_IMPLEMENTED) {
        return error;
    }
    if (!DeleteFileA(to.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        return GetLastError();
    }
    return MoveFileA(from.c_str(), to.c_str()) ? ERROR_SUCCESS : GetLastError();
}

}  // namespace

// The document holds its file open without delete sharing, so the old handle
// is closed for the rename and the new file opened again at once. The new
// file stays open until it has its name, so that no other writer takes it
// for a killed writer's copy.
uint32_t ReplaceHostFile(std::string_view path, const void* data, uint32_t size, HostFile& file) {
    const std::string name(path);
    // The caller's handle on the old image keeps other writers out: a copy
    // beside it that no one has open is litter.
    const bool holdsImage = IsSameHostFile(file, name);
    const DWORD oldAttributes = GetFileAttributesA(name.c_str());
    std::string temp;
    HANDLE h = CreateTempBeside(name, FILE_ATTRIBUTE_NORMAL, temp);
    if (h == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    DWORD put = 0;
    DWORD error = ERROR_SUCCESS;
    if (!WriteFile(h, data, size, &put, nullptr)) {
        error = GetLastError();
    } else if (put != size) {
        error = ERROR_DISK_FULL;
    } else if (!FlushFileBuffers(h)) {
        error = GetLastError();
    }
    if (error == ERROR_SUCCESS && oldAttributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesA(temp.c_str(), oldAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
    if (error == ERROR_SUCCESS) {
        file.Close();
        error = MoveFileExA(temp.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                    ? ERROR_SUCCESS
                    : GetLastError();
        if (error == ERROR_CALL_NOT_IMPLEMENTED || error == ERROR_SHARING_VIOLATION) {
            // The 9x family, or a host that renames no file held open: let go of it first.
            CloseHandle(h);
            h = INVALID_HANDLE_VALUE;
            error = MoveOver(temp, name);
        }
    }
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
    }
    if (error != ERROR_SUCCESS) {
        DeleteFileA(temp.c_str());
    } else if (holdsImage) {
        RemoveDeadTemps(name);
    }
    if (!file.IsOpen()) {
        HANDLE reopened = OpenForDocument(name);
        if (reopened == INVALID_HANDLE_VALUE) {
            return error != ERROR_SUCCESS ? error : GetLastError();
        }
        file = HostFile(reinterpret_cast<intptr_t>(reopened));
    }
    return error;
}

// NTFS and FAT keep a new name with the file's own flush; there is no folder
// handle to flush.
uint32_t FlushHostFolderOf(std::string_view) { return ERROR_SUCCESS; }

std::string ResolveHostPath(std::string_view path) { return std::string(path); }

void RemoveDeadCopies(std::string_view target) { RemoveDeadTemps(std::string(target)); }

uint32_t FlushHostFile(const HostFile& file) {
    return FlushFileBuffers(H(file)) ? ERROR_SUCCESS : GetLastError();
}

uint32_t DeleteHostFile(std::string_view path) {
    std::string name(path);
    return DeleteFileA(name.c_str()) ? ERROR_SUCCESS : GetLastError();
}

uint32_t SetHostFileAttributes(std::string_view path, uint32_t attributes) {
    std::string name(path);
    return SetFileAttributesA(name.c_str(), attributes) ? ERROR_SUCCESS : GetLastError();
}

uint32_t GetHostFileAttributes(std::string_view path, uint32_t& attributes) {
    std::string name(path);
    DWORD a = GetFileAttributesA(name.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) {
        return GetLastError();
    }
    attributes = a;
    return ERROR_SUCCESS;
}

uint32_t FindHostFile(std::string_view path, HostFindData& data) {
    std::string name(path);
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(name.c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    FindClose(find);
    data.longName = fd.cFileName;
    data.shortName = fd.cAlternateFileName;
    data.attributes = fd.dwFileAttributes;
    data.size = (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    data.lastWriteTime = FromFileTime(fd.ftLastWriteTime);
    return ERROR_SUCCESS;
}

bool IsSameHostFile(const HostFile& open, std::string_view path) {
    BY_HANDLE_FILE_INFORMATION opened;
    if (!open.IsOpen() || !GetFileInformationByHandle(H(open), &opened)) {
        return false;
    }
    // No access rights are needed to ask a file who it is; folders open only with backup semantics.
    std::string name(path);
    HANDLE h = CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION named;
    const BOOL ok = GetFileInformationByHandle(h, &named);
    CloseHandle(h);
    return ok && opened.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
           opened.nFileIndexHigh == named.nFileIndexHigh && opened.nFileIndexLow == named.nFileIndexLow;
}

bool HostTimeToLocalDos(HostTime time, DosDateTime& dos) {
    if (time < -kFileTimeOf1970) {
        return false;
    }
    FILETIME utc = ToFileTime(time);
    FILETIME local;
    WORD date = 0;
    WORD tm = 0;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &tm)) {
        return false;
    }
    dos.date = date;
    dos.time = tm;
    return true;
}

bool LocalDosToHostTime(DosDateTime dos, HostTime& time) {
    FILETIME local;
    FILETIME utc;
    if (!DosDateTimeToFileTime(dos.date, dos.time, &local) || !LocalFileTimeToFileTime(&local, &utc)) {
        return false;
    }
    time = FromFileTime(utc);
    return true;
}

char HostPathSeparator() { return '\\'; }

}  // namespace vk
