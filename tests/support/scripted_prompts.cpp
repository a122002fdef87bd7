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

WindowRef MainWindow() { return test::TestOwner(); }

int ShowMessage(WindowRef owner, unsigned id, unsigned flags, std::initializer_list<std::string_view> inserts) {
    test::PromptRecord r;
    r.kind = test::PromptKind::kMessage;
    r.owner = owner;
    r.id = id;
    r.flags = flags;
    for (std::string_view s : inserts) r.inserts.emplace_back(s);
    return test::Script().Take(r);
}

int ShowSystemError(WindowRef owner, std::string_view firstLine, uint32_t code, std::string_view, unsigned flags) {
    test::PromptRecord r;
    r.kind = test::PromptKind::kSystemError;
    r.owner = owner;
    r.code = code;
    r.text = std::string(firstLine);
    r.flags = flags;
    return test::Script().Take(r);
}

int ShowTextBox(WindowRef owner, std::string_view text, unsigned captionId, unsigned flags) {
    test::PromptRecord r;
    r.kind = test::PromptKind::kTextBox;
    r.owner = owner;
    r.id = captionId;
    r.text = std::string(text);
    r.flags = flags;
    return test::Script().Take(r);
}

bool AskSaveImagePath(WindowRef owner, std::string& path) {
    test::PromptRecord r;
    r.kind = test::PromptKind::kSavePath;
    r.owner = owner;
    const bool chosen = test::Script().Take(r) == kIdOk;
    path = test::Script().Shown().back().text;
    return chosen && !path.empty();
}

}  // namespace vk
