#include "pelwick/tool_message.h"

#include "pelwick/string_ids.h"

namespace pelwick {
namespace {

constexpr int kCaptionLength = 256;
constexpr int kTextLength = 512;

}  // namespace

int ShowToolMessage(HINSTANCE instance, UINT id, UINT style) {
    char caption[kCaptionLength] = "";
    char text[kTextLength] = "";
    LoadStringA(instance, IDS_CAPTION, caption, sizeof caption);
    LoadStringA(instance, id, text, sizeof text);

    // The texts go through the system's formatter like every message of the
    // main program, so that "%n" and "%%" mean the same in both tables.
    char* formatted = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER, text, 0,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&formatted), 0, nullptr);
    if (length == 0 || formatted == nullptr) {
        LocalFree(formatted);
        MessageBeep(MB_OK);
        return 0;
    }
    const int button = MessageBoxA(nullptr, formatted, caption, style);
    LocalFree(formatted);
    return button;
}

}  // namespace pelwick
