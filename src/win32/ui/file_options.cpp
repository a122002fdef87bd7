#include "win32/ui/file_options.h"

#include "win32/settings/settings.h"
#include "win32/ui/command_line.h"

namespace vk::win32 {

FileSystemOptions CurrentFileOptions() {
    FileSystemOptions options;
    options.nameStrength = NameStrengthOf(TheSettings());
    options.forceSwitch = TheCommandLine().forceSwitch;
    return options;
}

}  // namespace vk::win32
