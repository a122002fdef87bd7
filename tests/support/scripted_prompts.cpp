#include "tests/support/scripted_prompts.h"

#include <gtest/gtest.h>

#include "engine/strings/strings.h"

namespace vk {
namespace test {

PromptScript& Script() {
    static PromptScript script;
    return script;
}

WindowRef TestOwner() {
    static int owner;
    return &owner;
}

namespace {
WindowRef g_promptOwner = TestOwner();
}  // namespace

WindowRef PromptOwner() { return g_promptOwner; }

WindowRef SwapPromptOwner(WindowRef owner) {
    const WindowRef before = g_promptOwner;
    g_promptOwner = owner;
    return before;
}

PromptScript& PromptScript::Message(unsigned id, unsigned flags, int answer) {
    PromptRecord r;
    r.kind = PromptKind::kMessage;
    r.id = id;
    r.flags = flags;
    expected_.push_back({r, answer});
    return *this;
}

PromptScript& PromptScript::SystemError(uint32_t code, const std::string& firstLine, unsigned flags, int answer) {
    PromptRecord r;
    r.kind = PromptKind::kSystemError;
    r.code = code;
    r.text = firstLine;
    r.flags = flags;
    expected_.push_back({r, answer});
    return *this;
}

PromptScript& PromptScript::TextBox(const std::string& text) {
    PromptRecord r;
    r.kind = PromptKind::kTextBox;
    r.text = text;
    expected_.push_back({r, kIdOk});
    return *this;
}

PromptScript& PromptScript::SavePath(const std::string& path) {
    PromptRecord r;
    r.kind = PromptKind::kSavePath;
    r.text = path;
    expected_.push_back({r, path.empty() ? kIdCancel : kIdOk});
    return *this;
}

void PromptScript::Reset() {
    expected_.clear();
    shown_.clear();
}

namespace {

std::string Describe(const PromptRecord& r) {
    switch (r.kind) {
    case PromptKind::kMessage:
        return "message " + std::to_string(r.id) + " flags " + std::to_string(r.flags) + " \"" +
               std::string(LoadText(r.id)) + "\"";
    case PromptKind::kSystemError:
        return "system error " + std::to_string(r.code) + " under \"" + r.text + "\" flags " + std::to_string(r.flags);
    case PromptKind::kTextBox:
        return "text box \"" + r.text + "\"";
    case PromptKind::kSavePath:
        return "save dialog";
    }
    return "?";
}

}  // namespace

int PromptScript::Take(PromptRecord record) {
    shown_.push_back(record);
    if (expected_.empty()) {
        ADD_FAILURE() << "unexpected " << Describe(record);
        return record.kind == PromptKind::kSavePath ? kIdCancel : kNoBox;
    }
    Expectation e = expected_.front();
    expected_.pop_front();
    const PromptRecord& want = e.record;
    bool same = want.kind == record.kind;
    switch (record.kind) {
    case PromptKind::kMessage: same = same && want.id == record.id && want.flags == record.flags; break;
    case PromptKind::kSystemError:
        same = same && want.code == record.code && want.text == record.text && want.flags == record.flags;
        break;
    case PromptKind::kTextBox: same = same && want.text == record.text; break;
    case PromptKind::kSavePath: break;
    }
    if (!same) {
        ADD_FAILURE() << "expected " << Describe(want) << ", shown " << Describe(record);
    }
    if (record.kind == PromptKind::kSavePath) {
        shown_.back().text = want.text;
    }
    return e.answer;
}

}  // namespace test

namespace {

unsigned FlagsOf(Tone tone, Choices choices, bool secondIsDefault) {
    unsigned flags = 0;
    switch (tone) {
    case Tone::kPlain: break;
    case Tone::kError: flags |= test::kIconError; break;
    case Tone::kWarning: flags |= test::kIconWarning; break;
    case Tone::kQuestion: flags |= test::kIconQuestion; break;
    case Tone::kInformation: flags |= test::kIconInformation; break;
    }
    switch (choices) {
    case Choices::kOk: break;
    case Choices::kYesNo: flags |= test::kBoxYesNo; break;
    case Choices::kYesNoCancel: flags |= test::kBoxYesNoCancel; break;
    case Choices::kYesAllNoCancel: flags |= test::kBoxYesAllNoCancel; break;
    case Choices::kAbortRetryIgnore: flags |= test::kBoxAbortRetryIgnore; break;
    }
    return secondIsDefault ? flags | test::kDefaultButton2 : flags;
}

Answer AnswerOf(int button) {
    switch (button) {
    case test::kIdOk: return Answer::kOk;
    case test::kIdCancel: return Answer::kCancel;
    case test::kIdAbort: return Answer::kAbort;
    case test::kIdRetry: return Answer::kRetry;
    case test::kIdIgnore: return Answer::kIgnore;
    case test::kIdYes: return Answer::kYes;
    case test::kIdNo: return Answer::kNo;
    case test::kIdYesToAll: return Answer::kYesToAll;
    default: return Answer::kNone;
    }
}

// Every prompt is recorded and answered here.
int Take(const Notice& notice, unsigned flags) {
    test::PromptRecord r;
    r.owner = test::PromptOwner();
    r.flags = flags;
    switch (notice.form) {
    case Notice::Form::kText:
        r.kind = test::PromptKind::kMessage;
        r.id = notice.id;
        r.inserts = notice.inserts;
        break;
    case Notice::Form::kHostError:
        r.kind = test::PromptKind::kSystemError;
        r.code = notice.hostCode;
        r.text = notice.firstLine;
        break;
    case Notice::Form::kOwnText:
        r.kind = test::PromptKind::kTextBox;
        r.id = notice.id;
        r.text = notice.firstLine;
        break;
    }
    return test::Script().Take(r);
}

}  // namespace

Answer Present(const Notice& notice, Choices choices, bool secondIsDefault) {
    return AnswerOf(Take(notice, FlagsOf(notice.tone, choices, secondIsDefault)));
}

bool AskSaveImagePath(std::string& path) {
    test::PromptRecord r;
    r.kind = test::PromptKind::kSavePath;
    r.owner = test::PromptOwner();
    const bool chosen = test::Script().Take(r) == test::kIdOk;
    path = test::Script().Shown().back().text;
    return chosen && !path.empty();
}

}  // namespace vk
