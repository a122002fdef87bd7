#include "win32/settings/help_control.h"

namespace vk::win32 {
namespace {

// HKEY_CLASSES_ROOT's entry for the HTML help control's class id.
constexpr char kHelpControlKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr char kHelpControlLibrary[] = "hhctrl.ocx";
constexpr char kHtmlHelpEntry[] = "HtmlHelpA";

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

struct HelpControlState {
    HelpControlSource source = SystemHelpControl();
    HMODULE library = nullptr;
    HtmlHelpFunction entry = nullptr;
    bool failed = false;
};

HelpControlState& State() {
    static HelpControlState state;
    return state;
}

HMODULE LoadControlLibrary(const HelpControlSource& source) {
    const std::string location = LocateHelpControl(source.root, source.subKey);
    HMODULE library = location.empty() ? nullptr : LoadLibraryA(location.c_str());
    if (library == nullptr) {
        library = LoadLibraryA(source.libraryName);
    }
    return library;
}

}  // namespace

HelpControlSource SystemHelpControl() { return {HKEY_CLASSES_ROOT, kHelpControlKey, kHelpControlLibrary}; }

std::string LocateHelpControl(HKEY root, const char* subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    char value[MAX_PATH] = "";
    DWORD type = 0;
    DWORD size = sizeof value;
    const LONG status = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    // Registry strings need not end in a zero.
    value[sizeof value - 1] = '\0';
    if (type != REG_EXPAND_SZ) {
        return value;
    }
    char expanded[MAX_PATH] = "";
    const DWORD length = ExpandEnvironmentStringsA(value, expanded, sizeof expanded);
    return length != 0 && length <= sizeof expanded ? expanded : std::string();
}

void ResetHelpControl(const HelpControlSource& source) {
    HelpControlState& state = State();
    state = HelpControlState();
    state.source = source;
}

HelpAnswer LoadHtmlHelp(HWND window, const char* file, UINT command, DWORD_PTR data) {
    HelpControlState& state = State();
    if (state.failed) {
        return {};
    }
    if (state.library == nullptr) {
        state.library = LoadControlLibrary(state.source);
        if (state.library == nullptr) {
            state.failed = true;
            return {};
        }
    }
    if (state.entry == nullptr) {
        state.entry = reinterpret_cast<HtmlHelpFunction>(
            reinterpret_cast<void*>(GetProcAddress(state.library, kHtmlHelpEntry)));
        if (state.entry == nullptr) {
            state.failed = true;
            return {};
        }
    }
    return {true, state.entry(window, file, command, data)};
}

}  // namespace vk::win32
