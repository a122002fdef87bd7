#include "win32/ui/command_line.h"

namespace vk::win32 {

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    int names = 0;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg == nullptr) {
            continue;
        }
        if (arg[0] == '/' || arg[0] == '-') {
            switch (arg[1]) {
            case 'a': case 'A': line.addSwitch = true; break;
            case 'c': case 'C': line.closeSwitch = true; break;
            case 'f': case 'F': line.forceSwitch = true; break;
            case 'r': case 'R': line.registerSwitch = true; break;
            case 'w': case 'W': line.writeSwitch = true; break;
            default: break;
            }
            continue;
        }
        if (names == 0) {
            line.imagePath = arg;
        } else if (names == 1) {
            line.hostFileArgument = arg;
        }
        ++names;
    }
    return line;
}

std::string ProgramDirectoryOf(std::string_view modulePath) {
    const size_t cut = modulePath.find_last_of(":\\");
    if (cut == std::string_view::npos) {
        return {};
    }
    return std::string(modulePath.substr(0, cut + 1));
}

CommandLine& TheCommandLine() {
    static CommandLine line;
    return line;
}

std::string& ProgramDirectory() {
    static std::string directory;
    return directory;
}

}  // namespace vk::win32
