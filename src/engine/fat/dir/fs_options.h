// The two choices the file operations follow, handed in by each front end:
// how strictly typed 8.3 names are checked, and whether the command line's
// /F switch skips the replace and delete questions.
#pragma once

namespace vk {

enum class NameStrength : unsigned { kStrict = 0, kRegular = 1 };

struct FileSystemOptions {
    NameStrength nameStrength = NameStrength::kRegular;
    bool forceSwitch = false;
};

}  // namespace vk
