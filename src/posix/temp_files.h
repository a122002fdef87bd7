// The temporary files a whole-file write makes beside its target: named
// .NAME.XXXXXX in the target's folder and locked (flock) by their writer for
// as long as it lives, so that a copy whose lock can be taken was left by a
// writer that was killed.
#pragma once

#include <string>

namespace vk {

// Creates a new temporary file for `target`, locked, with `mode` less the
// umask as a file created at `target` would have it (the descriptor writes
// even when the mode does not), and notes it for RemoveTempOnSignals; `temp`
// receives its path. -1 with errno set when it cannot be made.
int CreateLockedTemp(const std::string& target, std::string& temp, unsigned mode);
// The temporary file is gone or has become its target: no signal removes it now.
void ForgetTemp(const std::string& temp);

// Removes the temporary files of `target` that no live writer holds.
void RemoveDeadTemps(const std::string& target);

// SIGTERM, SIGINT and SIGHUP remove the temporary file being written, then
// end the process as the signal would have. A signal ignored at start stays
// ignored.
void RemoveTempOnSignals();

// The process's file-mode creation mask.
unsigned CurrentUmask();

}  // namespace vk
