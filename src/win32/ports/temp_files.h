// The temporary files a whole-file write makes beside its target on Windows:
// named .NAME.XXXXXX in the target's folder and held open by their writer,
// so that a copy no one has open was left by a writer that was killed.
#pragma once

#include <windows.h>

#include <string>

namespace vk {

// Creates a new temporary file for `target` with `attributes`, open for
// writing and sharing nothing but deletion (so that it can be renamed while
// held); `temp` receives its path. INVALID_HANDLE_VALUE, with the error as
// GetLastError, when it cannot be made.
HANDLE CreateTempBeside(const std::string& target, DWORD attributes, std::string& temp);

// Removes the temporary files of `target` that no one has open.
void RemoveDeadTemps(const std::string& target);

}  // namespace vk
