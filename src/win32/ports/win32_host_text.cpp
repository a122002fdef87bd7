// Upper-casing with the system's conversion for the ANSI code page.
#include <windows.h>

#include "engine/ports/host_text.h"

namespace vk {

void HostUpperCase(std::string& text) {
    if (!text.empty()) {
        CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    }
}

}  // namespace vk
