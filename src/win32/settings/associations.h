// Registering VOLKARN as the shell's handler of .dsk and .flp files (the
// /R switch). PELWICK removes what this writes.
#pragma once

#include <windows.h>

#include <string>

namespace vk {

// The platform version as the platform reports it to this program.
struct PlatformVersion {
    unsigned major = 0;
    unsigned minor = 0;
};

PlatformVersion QueryPlatformVersion();

// From Windows XP on, per-user choices and other programs' handlers make a
// plain HKEY_CLASSES_ROOT registration do more harm than good.
bool RegistrationAllowed(PlatformVersion version);

// Keeps the extension's association of another program (kept_association.h),
// then writes the extension key pointing at `progId` and, when `full`, the
// ProgID with its icon, the two verbs and the open verb as the default one,
// key by key; stops at the first failure and leaves what was written.
// Returns 0 or that registry error.
LONG WriteAssociationKeys(const std::string& programPath, const char* openArguments, const char* extension,
                          const char* progId, bool full, unsigned iconIndex, unsigned descriptionId,
                          const char* writeArguments);

// The whole registration with its outcome in a message box: on the running
// platform with the running program's path.
bool RegisterAssociations(HWND owner);

// The same for a given platform version and program path (the tests choose
// both).
bool RegisterAssociations(HWND owner, PlatformVersion version, const std::string& programPath);

// The running program's full path; empty when the platform gave none or a
// cut one.
std::string RunningProgramPath();

}  // namespace vk
