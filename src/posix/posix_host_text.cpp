// Upper-casing on POSIX hosts: ASCII letters only, so that bytes of other
// code pages reach the image unchanged.
#include "engine/ports/host_text.h"

namespace vk {

void HostUpperCase(std::string& text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
}

}  // namespace vk
