// The prompt port of VOLKARN: string-table texts expanded by the system's
// message formatter and shown in the platform's message box under the
// program caption; system errors framed by the caller's lines.
#include "win32/ports/win32_prompts.h"

#include <commdlg.h>

#include <string>
#include <vector>

#include "win32/common/file_dialog.h"
#include "win32/ports/main_window.h"
#include "engine/ports/prompts.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"

namespace vk {
namespace {

constexpr int kCaptionLength = 80;
constexpr int kTextLength = 512;
// "Error %lu": a format of at most 63 characters and ten digits fit the
// 80-character fallback, so wsprintfA cannot run past it.
constexpr int kFallbackFormatLength = 64;
constexpr int kFallbackLength = 80;
constexpr char kLineBreak[] = "\r\n";  // the system's own, as its texts end with it
constexpr DWORD kUserLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);

char g_caption[kCaptionLength];
bool g_captionLoaded = false;
HWND g_mainWindow = nullptr;

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

HWND Owner(WindowRef owner) { return static_cast<HWND>(owner); }

// Copies `text` into the local block at `out`; returns the end.
char* Append(char* out, std::string_view text) {
    CopyMemory(out, text.data(), text.size());
    return out + text.size();
}

// The formatter drops a '%' before a character it gives no meaning to, so
// message 39's "0-9, %, '" would lose its percent sign: such a '%' is
// doubled, leaving inserts and the formatter's own escapes as they are.
std::string KeepLonePercents(const char* text) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        out += *p;
        if (*p != '%') {
            continue;
        }
        const char next = p[1];
        if (next == '%') {
            out += next;
            ++p;
        } else if (!((next >= '0' && next <= '9') || next == 'n' || next == '.' || next == '!' || next == ' ')) {
            out += '%';
        }
    }
    return out;
}

}  // namespace

void InitPromptCaption(HINSTANCE instance) {
    LoadStringA(instance, kStrProgramName, g_caption, sizeof g_caption);
    g_captionLoaded = true;
}

const char* ProgramCaption() {
    if (!g_captionLoaded) {
        InitPromptCaption(Module());
    }
    return g_caption;
}

void SetMainWindow(HWND window) { g_mainWindow = window; }
HWND MainWindowHandle() { return g_mainWindow; }
WindowRef MainWindow() { return g_mainWindow; }

int ShowMessage(WindowRef owner, unsigned id, unsigned flags, std::initializer_list<std::string_view> inserts) {
    char text[kTextLength];
    LoadStringA(Module(), id, text, sizeof text);

    // The formatter takes the inserts as a bare array with no count: a text
    // naming more inserts than were given would read past it, so such a
    // call is refused as a failed formatting.
    std::string check;
    if (!ExpandInserts(text, inserts, check)) {
        MessageBeep(MB_OK);
        return kNoBox;
    }
    std::vector<std::string> copies(inserts.begin(), inserts.end());
    std::vector<DWORD_PTR> arguments;
    for (const std::string& insert : copies) {
        arguments.push_back(reinterpret_cast<DWORD_PTR>(insert.c_str()));
    }

    const std::string format = KeepLonePercents(text);
    char* expanded = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY, format.c_str(), 0,
        kUserLanguage, reinterpret_cast<char*>(&expanded), 0,
        arguments.empty() ? nullptr : reinterpret_cast<va_list*>(arguments.data()));
    if (length == 0 || expanded == nullptr) {
        LocalFree(expanded);
        MessageBeep(MB_OK);
        return kNoBox;
    }
    const int button = (flags & kButtonMask) == kBoxYesAllNoCancel
                           ? ShowYesAllBox(Owner(owner), expanded, ProgramCaption())
                           : MessageBoxA(Owner(owner), expanded, ProgramCaption(), flags);
    LocalFree(expanded);
    return button;
}

int ShowSystemError(WindowRef owner, std::string_view firstLine, uint32_t code, std::string_view lastLine,
                    unsigned flags) {
    char* system = nullptr;
    const DWORD systemLength = FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
        kUserLanguage, reinterpret_cast<char*>(&system), 0, nullptr);

    char format[kFallbackFormatLength];
    LoadStringA(Module(), kStrErrorCode, format, sizeof format);
    char fallback[kFallbackLength];
    wsprintfA(fallback, format, static_cast<unsigned long>(code));

    const std::string_view body = systemLength != 0 && system != nullptr ? std::string_view(system, systemLength)
                                                                         : std::string_view(fallback);
    const std::string_view lineBreak(kLineBreak);
    size_t total = body.size() + 1;
    if (!firstLine.empty()) {
        total += firstLine.size() + lineBreak.size();
    }
    if (!lastLine.empty()) {
        total += lineBreak.size() + lastLine.size();
    }

    char* text = static_cast<char*>(LocalAlloc(LMEM_FIXED, total));
    int button;
    if (text == nullptr) {
        button = MessageBoxA(Owner(owner), fallback, ProgramCaption(), flags);
    } else {
        char* out = text;
        if (!firstLine.empty()) {
            out = Append(Append(out, firstLine), lineBreak);
        }
        out = Append(out, body);
        if (!lastLine.empty()) {
            out = Append(Append(out, lineBreak), lastLine);
        }
        *out = '\0';
        button = MessageBoxA(Owner(owner), text, ProgramCaption(), flags);
        LocalFree(text);
    }
    LocalFree(system);
    return button;
}

int ShowTextBox(WindowRef owner, std::string_view text, unsigned captionId, unsigned flags) {
    char caption[kCaptionLength];
    LoadStringA(Module(), captionId, caption, sizeof caption);
    const std::string shown(text);
    return MessageBoxA(Owner(owner), shown.c_str(), caption, flags);
}

bool AskSaveImagePath(WindowRef owner, std::string& path) {
    char buffer[MAX_PATH] = "";
    if (!ShowFileDialog(Owner(owner), kStrDiskImageFilter, kStrDefaultExtension, buffer, sizeof buffer,
                        OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, FileDialogKind::kSave)) {
        return false;
    }
    path = buffer;
    return true;
}

}  // namespace vk
