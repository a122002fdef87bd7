#include "engine/fat/fs_options.h"

namespace vk {

FileSystemOptions& FsOptions() {
    static FileSystemOptions options;
    return options;
}

}  // namespace vk
