// Host files on Windows: the ANSI file functions, whose error codes the
// engine compares as they come.
#include <windows.h>

#include "ports/host_files.h"

namespace vk {
namespace {

HANDLE H(const HostFile& file) { return reinterpret_cast<HANDLE>(file.Native()); }

FILETIME ToFileTime(HostTime time) {
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(time);
    ft.dwHighDateTime = static_cast<DWORD>(time >> 32);
    return ft;
}

HostTime FromFileTime(const FILETIME& ft) {
    return (static_cast<HostTime>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
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
    HANDLE h = CreateFileA(name.c_str(), desired, shareMode, nullptr, static_cast<DWORD>(disposition), flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return GetLastError();
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
