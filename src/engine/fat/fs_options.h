// The two process-wide choices the file operations follow: how strictly
// typed 8.3 names are checked, and whether the command line's /F switch
// skips the replace and delete questions.
#pragma once

namespace vk {

enum class NameStrength : unsigned { kStrict = 0, kRegular = 1 };

struct FileSystemOptions {
    NameStrength nameStrength = NameStrength::kRegular;
    bool forceSwitch = false;
};

FileSystemOptions& FsOptions();

}  // namespace vk
