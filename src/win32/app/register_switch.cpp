#include "win32/app/register_switch.h"

namespace vk {

bool HasRegisterSwitch(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (argument == nullptr || (argument[0] != '/' && argument[0] != '-')) {
            continue;
        }
        if (argument[1] == 'R' || argument[1] == 'r') {
            return true;
        }
    }
    return false;
}

}  // namespace vk
