// What the engine says to the user, in its own terms: a text of the string
// table with its inserts, the host's text for one of its error codes framed
// by lines of ours, or a text of the caller's own (an image's comment). Each
// front end decides how to show it: VOLKARN as a message box, vkdisk as a
// line on the terminal.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

// What a notice is about; a front end picks its icon or prefix by it.
enum class Tone : uint8_t { kPlain, kError, kWarning, kQuestion, kInformation };

// The answers a question offers.
enum class Choices : uint8_t {
    kOk,
    kYesNo,
    kYesNoCancel,
    kYesAllNoCancel,   // Yes, Yes to all, No, Cancel: about one of several items
    kAbortRetryIgnore,
};

// What the user answered; kNone when nothing could be shown.
enum class Answer : uint8_t { kNone, kOk, kCancel, kAbort, kRetry, kIgnore, kYes, kNo, kYesToAll };

struct Notice {
    enum class Form : uint8_t {
        kText,         // string-table text `id`, "%1", "%2", ... replaced by `inserts`
        kHostError,    // the host's text for `hostCode`, after `firstLine` and before `lastLine`
        kOwnText,      // `firstLine` as it is, under the string-table caption `id`
    };
    Form form = Form::kText;
    Tone tone = Tone::kError;
    unsigned id = 0;
    std::vector<std::string> inserts;
    uint32_t hostCode = 0;
    std::string firstLine;
    std::string lastLine;
};

inline Notice TextNotice(unsigned id, Tone tone, std::initializer_list<std::string_view> inserts = {}) {
    Notice notice;
    notice.id = id;
    notice.tone = tone;
    notice.inserts.assign(inserts.begin(), inserts.end());
    return notice;
}

inline Notice HostErrorNotice(std::string_view firstLine, uint32_t hostCode, std::string_view lastLine = {},
                              Tone tone = Tone::kError) {
    Notice notice;
    notice.form = Notice::Form::kHostError;
    notice.tone = tone;
    notice.hostCode = hostCode;
    notice.firstLine = firstLine;
    notice.lastLine = lastLine;
    return notice;
}

inline Notice OwnTextNotice(std::string_view text, unsigned captionId, Tone tone) {
    Notice notice;
    notice.form = Notice::Form::kOwnText;
    notice.tone = tone;
    notice.id = captionId;
    notice.firstLine = text;
    return notice;
}

}  // namespace vk
