#include <windows.h>

#include "win32/drive/drive_backend.h"

namespace vk {
namespace {

enum class Family { kUndecided, kNt, kWin9x };
Family family = Family::kUndecided;

}  // namespace

bool IsWin9xPlatform() {
    if (family == Family::kUndecided) {
        OSVERSIONINFOA info = {};
        info.dwOSVersionInfoSize = sizeof info;
        GetVersionExA(&info);
        family = info.dwPlatformId != VER_PLATFORM_WIN32_NT ? Family::kWin9x : Family::kNt;
    }
    return family == Family::kWin9x;
}

const DriveBackend& Win32DriveBackend() { return IsWin9xPlatform() ? Win9xDriveBackend() : NtDriveBackend(); }

}  // namespace vk
