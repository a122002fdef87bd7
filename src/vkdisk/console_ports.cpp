// The prompt and window-sync ports for a console program.
#include "vkdisk/console_ports.h"
#include "vkdisk/console_progress.h"

#include <cctype>
#include <cstdio>
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
Answer sectorErrorAnswer = Answer::kNone;
unsigned unaskedDeclines = 0;
constexpr char kProgramName[] = "vkdisk";  // what every message starts with

bool HasTerminal() { return isatty(0) && isatty(2); }

// The answer that leaves everything as it is.
Answer SafeAnswer(Choices choices) {
    switch (choices) {
    case Choices::kYesNo: return Answer::kNo;
    case Choices::kYesNoCancel: return Answer::kCancel;
    case Choices::kYesAllNoCancel: return Answer::kCancel;
    case Choices::kAbortRetryIgnore: return Answer::kAbort;
    case Choices::kOk: break;
    }
    return Answer::kOk;
}

// One line of standard input, without its end. Read with stdio: the
// stream objects of <iostream> would be set up in every run for this alone.
bool ReadAnswerLine(std::string& line) {
    line.clear();
    for (int c = std::getchar(); c != EOF; c = std::getchar()) {
        if (c == '\n') return true;
        line.push_back(static_cast<char>(c));
    }
    return !line.empty();
}

Answer AskOnTerminal(Choices choices) {
    const char* keys = choices == Choices::kYesNo            ? "[y/n]"
                       : choices == Choices::kYesNoCancel    ? "[y/n/c]"
                       : choices == Choices::kYesAllNoCancel ? "[y/a/n/c]"
                                                             : "[a/r/i]";
    const bool offersCancel = choices == Choices::kYesNoCancel || choices == Choices::kYesAllNoCancel;
    for (;;) {
        std::fprintf(stderr, "%s ", keys);
        std::fflush(stderr);
        std::string line;
        if (!ReadAnswerLine(line)) {
            return SafeAnswer(choices);
        }
        const char c = line.empty() ? '\0' : static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
        if (choices == Choices::kAbortRetryIgnore) {
            if (c == 'a') return Answer::kAbort;
            if (c == 'r') return Answer::kRetry;
            if (c == 'i') return Answer::kIgnore;
        } else {
            if (c == 'y') return Answer::kYes;
            if (c == 'n') return Answer::kNo;
            if (c == 'c' && offersCancel) return Answer::kCancel;
            if (c == 'a' && choices == Choices::kYesAllNoCancel) return Answer::kYesToAll;
        }
    }
}

// Prints `text` after the program name and the tone's word, then answers
// the question it asks, if any.
Answer Show(const std::string& text, Tone tone, Choices choices) {
    std::string shown = text;
    for (size_t at = shown.find("\r\n"); at != std::string::npos; at = shown.find("\r\n", at)) {
        shown.erase(at, 1);
    }
    while (!shown.empty() && shown.back() == '\n') {
        shown.pop_back();
    }
    cli::BreakProgressLine();
    const char* kind = tone == Tone::kError ? "error: " : tone == Tone::kWarning ? "warning: " : "";
    std::fprintf(stderr, "%s: %s%s\n", kProgramName, kind, cli::Printable(shown, true).c_str());
    if (choices == Choices::kOk) {
        return Answer::kOk;
    }
    if (choices == Choices::kAbortRetryIgnore && sectorErrorAnswer != Answer::kNone) {
        return sectorErrorAnswer;
    }
    if (answerMode == cli::AnswerMode::kYes) {
        return choices == Choices::kAbortRetryIgnore ? Answer::kIgnore : Answer::kYes;
    }
    if (answerMode == cli::AnswerMode::kNo) {
        return SafeAnswer(choices);
    }
    if (!HasTerminal()) {
        ++unaskedDeclines;
        return SafeAnswer(choices);
    }
    return AskOnTerminal(choices);
}

// The text a notice says; false when its string-table text names more
// inserts than it carries.
bool NoticeText(const Notice& notice, std::string& text) {
    switch (notice.form) {
    case Notice::Form::kText:
        return ExpandInserts(LoadText(notice.id), notice.inserts, text);
    case Notice::Form::kHostError: {
        text.clear();
        if (!notice.firstLine.empty()) {
            text.append(notice.firstLine).append("\n");
        }
        std::string system = SystemErrorText(notice.hostCode);
        if (system.empty()) {
            system = "Error " + std::to_string(notice.hostCode);
        }
        text += system;
        if (!notice.lastLine.empty()) {
            text.append("\n").append(notice.lastLine);
        }
        return true;
    }
    case Notice::Form::kOwnText:
        text = std::string(LoadText(notice.id)) + ": " + notice.firstLine;
        return true;
    }
    return false;
}

}  // namespace

namespace cli {
void SetAnswerMode(AnswerMode mode) { answerMode = mode; }
void SetSectorErrorAnswer(Answer answer) { sectorErrorAnswer = answer; }
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

Answer Present(const Notice& notice, Choices choices, bool) {
    std::string text;
    if (!NoticeText(notice, text)) {
        return Answer::kNone;
    }
    return Show(text, notice.tone, choices);
}

bool AskSaveImagePath(std::string&) { return false; }

void UpdateStatusText() {}
void BeginWaitCursor() {}
void EndWaitCursor() {}

}  // namespace vk
