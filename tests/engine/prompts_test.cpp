// A notice presented through the tests' prompt port is recorded with the
// flags the box VOLKARN shows for it, and the scripted button comes back as
// the matching answer.
#include <gtest/gtest.h>

#include "engine/ports/prompts.h"
#include "engine/strings/string_ids.h"
#include "tests/support/test_files.h"
#include "tests/support/win_codes.h"

namespace vk::test {
namespace {

class PresentedNotices : public EngineTest {};

TEST_F(PresentedNotices, RecordTheBoxFlagsAndAnswerTheScriptedButton) {
    const struct {
        const char* name;
        Notice notice;
        Choices choices;
        bool secondIsDefault;
        unsigned flags;
        int button;
        Answer answer;
    } kCases[] = {
        {"error", TextNotice(kMsgNoMemoryForImage, Tone::kError, {"1474560"}), Choices::kOk, false, kIconError, kIdOk,
         Answer::kOk},
        {"warning", TextNotice(kMsgOpenedReadOnly, Tone::kWarning), Choices::kOk, false, kIconWarning, kIdOk,
         Answer::kOk},
        {"plain", TextNotice(kMsgFileTooSmall, Tone::kPlain), Choices::kOk, false, kBoxOk, kIdOk, Answer::kOk},
        {"yes or no", TextNotice(kMsgBackupFatMismatch, Tone::kQuestion), Choices::kYesNo, false,
         kBoxYesNo | kIconQuestion, kIdYes, Answer::kYes},
        {"yes, no or cancel", TextNotice(kMsgImageModified, Tone::kQuestion), Choices::kYesNoCancel, false,
         kBoxYesNoCancel | kIconQuestion, kIdCancel, Answer::kCancel},
        {"yes to all, No the default", TextNotice(kMsgDeleteFile, Tone::kQuestion, {"DATA.BIN"}),
         Choices::kYesAllNoCancel, true, kBoxYesAllNoCancel | kIconQuestion | kDefaultButton2, kIdYesToAll,
         Answer::kYesToAll},
        {"sector question", HostErrorNotice("Disk sector 5 cannot be read!", test::win_code::kCrc, {}, Tone::kWarning),
         Choices::kAbortRetryIgnore, true, kBoxAbortRetryIgnore | kIconWarning | kDefaultButton2, kIdRetry,
         Answer::kRetry},
        {"the image's comment", OwnTextNotice("A disk of notes", kStrCommentCaption, Tone::kInformation),
         Choices::kOk, false, kIconInformation, kIdOk, Answer::kOk},
        {"no box shown", TextNotice(kMsgImageModified, Tone::kQuestion), Choices::kYesNo, false,
         kBoxYesNo | kIconQuestion, kNoBox, Answer::kNone},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        script.Reset();
        switch (c.notice.form) {
        case Notice::Form::kText: script.Message(c.notice.id, c.flags, c.button); break;
        case Notice::Form::kHostError: script.SystemError(c.notice.hostCode, c.notice.firstLine, c.flags, c.button); break;
        case Notice::Form::kOwnText: script.TextBox(c.notice.firstLine); break;
        }
        EXPECT_EQ(Present(c.notice, c.choices, c.secondIsDefault), c.answer);
        EXPECT_EQ(script.Pending(), 0u);
        ASSERT_EQ(script.Shown().size(), 1u);
        const PromptRecord& shown = script.Shown()[0];
        EXPECT_EQ(shown.flags, c.flags);
        EXPECT_EQ(shown.owner, TestOwner());
        EXPECT_EQ(shown.inserts, c.notice.form == Notice::Form::kText ? c.notice.inserts : std::vector<std::string>{});
        if (c.notice.form == Notice::Form::kOwnText) {
            EXPECT_EQ(shown.id, c.notice.id);
        }
    }
}

}  // namespace
}  // namespace vk::test
