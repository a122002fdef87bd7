// The file-system options VOLKARN's file operations follow: the name
// strength of the settings and the /F switch of the command line.
#pragma once

#include "engine/fat/dir/fs_options.h"

namespace vk::win32 {

// As they stand now: a strength chosen on the Options sheet counts from the
// next operation on.
FileSystemOptions CurrentFileOptions();

}  // namespace vk::win32
