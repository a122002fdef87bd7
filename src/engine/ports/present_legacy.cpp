// Present over the older box calls, until every front end implements it.
#include "engine/ports/prompts.h"

namespace vk {
namespace {

unsigned Flags(Tone tone, Choices choices, bool secondIsDefault) {
    unsigned flags = 0;
    switch (tone) {
    case Tone::kPlain: break;
    case Tone::kError: flags |= kIconError; break;
    case Tone::kWarning: flags |= kIconWarning; break;
    case Tone::kQuestion: flags |= kIconQuestion; break;
    case Tone::kInformation: flags |= kIconInformation; break;
    }
    switch (choices) {
    case Choices::kOk: break;
    case Choices::kYesNo: flags |= kBoxYesNo; break;
    case Choices::kYesNoCancel: flags |= kBoxYesNoCancel; break;
    case Choices::kYesAllNoCancel: flags |= kBoxYesAllNoCancel; break;
    case Choices::kAbortRetryIgnore: flags |= kBoxAbortRetryIgnore; break;
    }
    return secondIsDefault ? flags | kDefaultButton2 : flags;
}

Answer FromButton(int button) {
    switch (button) {
    case kIdOk: return Answer::kOk;
    case kIdCancel: return Answer::kCancel;
    case kIdAbort: return Answer::kAbort;
    case kIdRetry: return Answer::kRetry;
    case kIdIgnore: return Answer::kIgnore;
    case kIdYes: return Answer::kYes;
    case kIdNo: return Answer::kNo;
    case kIdYesToAll: return Answer::kYesToAll;
    default: return Answer::kNone;
    }
}

}  // namespace

Answer Present(WindowRef owner, const Notice& notice, Choices choices, bool secondIsDefault) {
    const unsigned flags = Flags(notice.tone, choices, secondIsDefault);
    switch (notice.form) {
    case Notice::Form::kHostError:
        return FromButton(ShowSystemError(owner, notice.firstLine, notice.hostCode, notice.lastLine, flags));
    case Notice::Form::kOwnText:
        return FromButton(ShowTextBox(owner, notice.firstLine, notice.id, flags));
    case Notice::Form::kText:
        break;
    }
    // ShowMessage takes at most the inserts the string table uses: four.
    const auto& in = notice.inserts;
    const std::string_view a = in.size() > 0 ? std::string_view(in[0]) : std::string_view();
    const std::string_view b = in.size() > 1 ? std::string_view(in[1]) : std::string_view();
    const std::string_view c = in.size() > 2 ? std::string_view(in[2]) : std::string_view();
    switch (in.size()) {
    case 0: return FromButton(ShowMessage(owner, notice.id, flags));
    case 1: return FromButton(ShowMessage(owner, notice.id, flags, {a}));
    case 2: return FromButton(ShowMessage(owner, notice.id, flags, {a, b}));
    default: return FromButton(ShowMessage(owner, notice.id, flags, {a, b, c}));
    }
}

}  // namespace vk
