// The prompt and window-sync ports for a console program.
#include "vkdisk/console_ports.h"
#include "vkdisk/console_progress.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

#include "engine/ports/prompts.h"
#include "engine/ports/system_text.h"
#include "engine/ports/window_sync.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"

namespace vk {
namespace {

cli::AnswerMode answerMode = cli::AnswerMode::kAsk;
int sectorErrorAnswer = 0;
unsigned unaskedDeclines = 0;
const char* programName = "vkdisk";

bool HasTerminal() { return isatty(0) && isatty(2); }

// The answer that leaves everything as it is.
int SafeAnswer(unsigned buttons) {
    switch (buttons) {
    case kBoxYesNo: return kIdNo;
    case kBoxYesNoCancel: return kIdCancel;
    case kBoxYesAllNoCancel: return kIdCancel;
    case kBoxAbortRetryIgnore: return kIdAbort;
    default: return kIdOk;
    }
}

int Ask(unsigned buttons) {
    const char* choices = buttons == kBoxYesNo            ? "[y/n]"
                          : buttons == kBoxYesNoCancel    ? "[y/n/c]"
                          : buttons == kBoxYesAllNoCancel ? "[y/a/n/c]"
                                                          : "[a/r/i]";
    for (;;) {
        std::fprintf(stderr, "%s ", choices);
        std::fflush(stderr);
        std::string line;
        if (!std::getline(std::cin, line)) {
            return SafeAnswer(buttons);
        }
        const char c = line.empty() ? '\0' : static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
        if (buttons == kBoxAbortRetryIgnore) {
            if (c == 'a') return kIdAbort;
            if (c == 'r') return kIdRetry;
            if (c == 'i') return kIdIgnore;
        } else {
            if (c == 'y') return kIdYes;
            if (c == 'n') return kIdNo;
            if (c == 'c' && (buttons == kBoxYesNoCancel || buttons == kBoxYesAllNoCancel)) return kIdCancel;
            if (c == 'a' && buttons == kBoxYesAllNoCancel) return kIdYesToAll;
        }
    }
}

int Show(const std::string& text, unsigned flags) {
    std::string shown = text;
    for (size_t at = shown.find("\r\n"); at != std::string::npos; at = shown.find("\r\n", at)) {
        shown.erase(at, 1);
    }
    while (!shown.empty() && shown.back() == '\n') {
        shown.pop_back();
    }
    const unsigned buttons = flags & kButtonMask;
    const unsigned icon = flags & kIconMask;
    cli::BreakProgressLine();
    const char* kind = icon == kIconError ? "error: " : icon == kIconWarning ? "warning: " : "";
    std::fprintf(stderr, "%s: %s%s\n", programName, kind, cli::Printable(shown, true).c_str());
    if (buttons == kBoxOk) {
        return kIdOk;
    }
    if (buttons == kBoxAbortRetryIgnore && sectorErrorAnswer != 0) {
        return sectorErrorAnswer;
    }
    if (answerMode == cli::AnswerMode::kYes) {
        return buttons == kBoxAbortRetryIgnore ? kIdIgnore : kIdYes;
    }
    if (answerMode == cli::AnswerMode::kNo) {
        return SafeAnswer(buttons);
    }
    if (!HasTerminal()) {
        ++unaskedDeclines;
        return SafeAnswer(buttons);
    }
    return Ask(buttons);
}

}  // namespace

namespace cli {
void SetAnswerMode(AnswerMode mode) { answerMode = mode; }
void SetSectorErrorAnswer(int answer) { sectorErrorAnswer = answer; }
void SetProgramName(const char* name) { programName = name; }
unsigned UnaskedDeclines() { return unaskedDeclines; }
std::string Printable(std::string_view text, bool keepLineBreaks) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && !(keepLineBreaks && c == '\n')) || b == 0x7F) {
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 15];
        } else {
            out += c;
        }
    }
    return out;
}
}  // namespace cli

WindowRef MainWindow() { return nullptr; }

int ShowMessage(WindowRef, unsigned id, unsigned flags, std::initializer_list<std::string_view> inserts) {
    std::string text;
    if (!ExpandInserts(LoadText(id), inserts, text)) {
        return kNoBox;
    }
    return Show(text, flags);
}

int ShowSystemError(WindowRef, std::string_view firstLine, uint32_t code, std::string_view lastLine,
                    unsigned flags) {
    std::string text;
    if (!firstLine.empty()) {
        text.append(firstLine).append("\n");
    }
    std::string system = SystemErrorText(code);
    if (system.empty()) {
        system = "Error " + std::to_string(code);
    }
    text += system;
    if (!lastLine.empty()) {
        text.append("\n").append(lastLine);
    }
    return Show(text, flags);
}

int ShowTextBox(WindowRef, std::string_view text, unsigned captionId, unsigned flags) {
    return Show(std::string(LoadText(captionId)) + ": " + std::string(text), flags);
}

// vkdisk names every file on its command line; an untitled image has none.
bool AskSaveImagePath(WindowRef, std::string&) { return false; }

void UpdateTitle(const ImageDocument&) {}
void UpdateStatusText() {}
void EnableExplorerList(bool) {}
// vkdisk lists what a command asks for itself (ListedEntries).
void FillList(const ImageDocument&) {}
void RemoveAllListItems() {}
void BeginWaitCursor() {}
void EndWaitCursor() {}

}  // namespace vk
