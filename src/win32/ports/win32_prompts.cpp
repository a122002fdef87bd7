// The prompt port of VOLKARN: string-table texts expanded by the system's
// message formatter and shown in the platform's message box under the
// program caption; system errors framed by the caller's lines. A notice's
// tone picks the icon, its choices the buttons.
#include "win32/ports/win32_prompts.h"

#include <commdlg.h>
#include <shlwapi.h>

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

HINSTANCE Module() { return GetModuleHandleA(nullptr); }


// Copies `text` into the local block at `out`; returns the end.
char* Append(char* out, std::string_view text) {
    CopyMemory(out, text.data(), text.size());
    return out + text.size();
}

// The formatter drops a '%' before a character it gives no meaning to, so
// kMsgNameBadChars's "0-9, %, '" would lose its percent sign: such a '%' is
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


namespace {

// How a box looks: the platform's message-box flags, or our own box for Yes,
// Yes to all, No and Cancel, which no message box offers.
struct BoxStyle {
    UINT flags = MB_OK;
    bool yesToAll = false;
};

BoxStyle StyleOf(Tone tone, Choices choices, bool secondIsDefault) {
    BoxStyle style;
    switch (tone) {
    case Tone::kPlain: break;
    case Tone::kError: style.flags |= MB_ICONERROR; break;
    case Tone::kWarning: style.flags |= MB_ICONWARNING; break;
    case Tone::kQuestion: style.flags |= MB_ICONQUESTION; break;
    case Tone::kInformation: style.flags |= MB_ICONINFORMATION; break;
    }
    switch (choices) {
    case Choices::kOk: break;
    case Choices::kYesNo: style.flags |= MB_YESNO; break;
    case Choices::kYesNoCancel: style.flags |= MB_YESNOCANCEL; break;
    case Choices::kYesAllNoCancel: style.yesToAll = true; break;
    case Choices::kAbortRetryIgnore: style.flags |= MB_ABORTRETRYIGNORE; break;
    }
    if (secondIsDefault) {
        style.flags |= MB_DEFBUTTON2;
    }
    return style;
}

Answer AnswerOf(int button) {
    switch (button) {
    case IDOK: return Answer::kOk;
    case IDCANCEL: return Answer::kCancel;
    case IDABORT: return Answer::kAbort;
    case IDRETRY: return Answer::kRetry;
    case IDIGNORE: return Answer::kIgnore;
    case IDYES: return Answer::kYes;
    case IDNO: return Answer::kNo;
    case kYesToAllId: return Answer::kYesToAll;
    default: return Answer::kNone;
    }
}

int ShowBox(HWND owner, const char* text, const char* caption, const BoxStyle& style) {
    return style.yesToAll ? ShowYesAllBox(owner, text, caption)
                          : MessageBoxA(owner, text, caption, style.flags);
}

// String-table text `id` expanded by the system's message formatter.
int ShowTableText(HWND owner, unsigned id, const std::vector<std::string>& inserts, const BoxStyle& style) {
    char text[kTextLength];
    LoadStringA(Module(), id, text, sizeof text);

    // The formatter takes the inserts as a bare array with no count: a text
    // naming more inserts than were given would read past it, so such a
    // call is refused as a failed formatting.
    std::string check;
    if (!ExpandInserts(text, inserts, check)) {
        MessageBeep(MB_OK);
        return kNoBoxShown;
    }
    std::vector<DWORD_PTR> arguments;
    for (const std::string& insert : inserts) {
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
        return kNoBoxShown;
    }
    const int button = ShowBox(owner, expanded, ProgramCaption(), style);
    LocalFree(expanded);
    return button;
}

// The system's text for `code`, framed by the caller's lines (each may be empty).
int ShowHostError(HWND owner, std::string_view firstLine, uint32_t code, std::string_view lastLine,
                  const BoxStyle& style) {
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
        button = ShowBox(owner, fallback, ProgramCaption(), style);
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
        button = ShowBox(owner, text, ProgramCaption(), style);
        LocalFree(text);
    }
    LocalFree(system);
    return button;
}

// A text of the caller's own under string-table caption `captionId`.
int ShowOwnText(HWND owner, std::string_view text, unsigned captionId, const BoxStyle& style) {
    char caption[kCaptionLength];
    LoadStringA(Module(), captionId, caption, sizeof caption);
    const std::string shown(text);
    return ShowBox(owner, shown.c_str(), caption, style);
}

int ShowNotice(HWND owner, const Notice& notice, const BoxStyle& style) {
    switch (notice.form) {
    case Notice::Form::kHostError:
        return ShowHostError(owner, notice.firstLine, notice.hostCode, notice.lastLine, style);
    case Notice::Form::kOwnText:
        return ShowOwnText(owner, notice.firstLine, notice.id, style);
    case Notice::Form::kText:
        break;
    }
    return ShowTableText(owner, notice.id, notice.inserts, style);
}

}  // namespace

Answer Present(const Notice& notice, Choices choices, bool secondIsDefault) {
    return AnswerOf(ShowNotice(PromptOwner(), notice, StyleOf(notice.tone, choices, secondIsDefault)));
}

bool AskSaveImagePath(std::string& path) {
    // The dialog starts in the proposed file's folder with its name; an
    // untitled image is proposed as "Untitled.dsk" in the last image folder.
    const bool untitled = path.empty();
    const std::string folder = untitled ? LastImageFolder() : FolderOfFile(path);
    const std::string name = untitled ? std::string(LoadText(kStrUntitled)) + std::string(LoadText(kStrDefaultExtension))
                                      : std::string(PathFindFileNameA(path.c_str()));
    char buffer[MAX_PATH] = "";
    lstrcpynA(buffer, name.c_str(), sizeof buffer);
    if (!ShowFileDialog(PromptOwner(), kStrDiskImageFilter, kStrDefaultExtension, buffer, sizeof buffer,
                        OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, FileDialogKind::kSave, nullptr,
                        folder.c_str())) {
        return false;
    }
    path = buffer;
    NoteImageFolder(path);
    return true;
}

}  // namespace vk
