// The prompt port over the real message box: what each box shows, under which
// caption and owner, and which button comes back.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/win32/box_catcher.h"
#include "engine/ports/prompts.h"
#include "win32/ports/win32_prompts.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "tests/win32/test_string_ids.h"
#include "tests/support/box_flags.h"

namespace vk::test {
namespace {

// The system's own text for `code`, empty when it has none.
std::string SystemText(DWORD code) {
    char* text = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                       nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0,
                       nullptr);
    std::string result = length ? std::string(text, length) : std::string();
    LocalFree(text);
    return result;
}

// The box text with its line breaks as plain "\n": the formatter writes the
// table's line breaks as the system's "\r\n".
std::string Lines(std::string text) {
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    return text;
}

// A customer-defined code (bit 29), for which no system has a text.
constexpr DWORD kCodeWithoutText = 0x2000FFFF;

// The boxes in the flags a message box takes, shown through Present: each
// case below names the box it expects by its flags.
Tone ToneOf(unsigned flags) {
    switch (flags & kIconMask) {
    case kIconError: return Tone::kError;
    case kIconWarning: return Tone::kWarning;
    case kIconQuestion: return Tone::kQuestion;
    case kIconInformation: return Tone::kInformation;
    default: return Tone::kPlain;
    }
}

Choices ChoicesOf(unsigned flags) {
    switch (flags & kButtonMask) {
    case kBoxYesNo: return Choices::kYesNo;
    case kBoxYesNoCancel: return Choices::kYesNoCancel;
    case kBoxYesAllNoCancel: return Choices::kYesAllNoCancel;
    case kBoxAbortRetryIgnore: return Choices::kAbortRetryIgnore;
    default: return Choices::kOk;
    }
}

int ButtonOf(Answer answer) {
    switch (answer) {
    case Answer::kOk: return kIdOk;
    case Answer::kCancel: return kIdCancel;
    case Answer::kAbort: return kIdAbort;
    case Answer::kRetry: return kIdRetry;
    case Answer::kIgnore: return kIdIgnore;
    case Answer::kYes: return kIdYes;
    case Answer::kNo: return kIdNo;
    case Answer::kYesToAll: return kIdYesToAll;
    case Answer::kNone: break;
    }
    return kNoBox;
}

// The port's box while `owner` holds the prompt owner, as a dialog of VOLKARN takes it.
Answer PresentOver(WindowRef owner, const Notice& notice, Choices choices, bool secondIsDefault) {
    const ScopedPromptOwner boxes(static_cast<HWND>(owner));
    return Present(notice, choices, secondIsDefault);
}

int Show(WindowRef owner, Notice notice, unsigned flags) {
    notice.tone = ToneOf(flags);
    return ButtonOf(PresentOver(owner, notice, ChoicesOf(flags), (flags & kDefaultButton2) != 0));
}

int ShowMessage(WindowRef owner, unsigned id, unsigned flags, std::initializer_list<std::string_view> inserts = {}) {
    return Show(owner, TextNotice(id, Tone::kPlain, inserts), flags);
}

int ShowSystemError(WindowRef owner, std::string_view firstLine, uint32_t code, std::string_view lastLine,
                    unsigned flags) {
    return Show(owner, HostErrorNotice(firstLine, code, lastLine), flags);
}

int ShowTextBox(WindowRef owner, std::string_view text, unsigned captionId, unsigned flags) {
    return Show(owner, OwnTextNotice(text, captionId, Tone::kPlain), flags);
}

class Win32Prompts : public ::testing::Test {
protected:
    OwnerWindow owner;
    WindowRef Owner() const { return owner.Handle(); }
};

TEST_F(Win32Prompts, MessageWithInsertShowsItsTextUnderTheProgramCaption) {
    BoxCatcher catcher;
    EXPECT_EQ(ShowMessage(Owner(), kMsgNoMemoryForImage, kIconError, {"1474560"}), kIdOk);
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    const CaughtBox& box = catcher.Boxes()[0];
    EXPECT_EQ(box.text, "Not enough memory for image (1474560 Bytes required)!");
    EXPECT_EQ(box.caption, "Volkarn");
    EXPECT_EQ(box.owner, owner.Handle());
    EXPECT_EQ(box.buttons, static_cast<unsigned>(kBoxOk));
    EXPECT_EQ(box.icon, static_cast<unsigned>(kIconError));
}

TEST_F(Win32Prompts, QuestionReturnsThePressedButton) {
    for (int answer : {kIdYes, kIdNo, kIdCancel}) {
        BoxCatcher catcher;
        catcher.Answer(answer);
        EXPECT_EQ(ShowMessage(Owner(), kMsgImageModified, kBoxYesNoCancel | kIconQuestion), answer);
        ASSERT_EQ(catcher.Boxes().size(), 1u);
        EXPECT_EQ(catcher.Boxes()[0].buttons, static_cast<unsigned>(kBoxYesNoCancel));
        EXPECT_EQ(catcher.Boxes()[0].icon, static_cast<unsigned>(kIconQuestion));
        EXPECT_EQ(catcher.Pending(), 0u);
    }
}

TEST_F(Win32Prompts, YesToAllQuestionReturnsEachButton) {
    for (int answer : {kIdYes, kIdYesToAll, kIdNo, kIdCancel}) {
        BoxCatcher catcher;
        catcher.Answer(answer);
        EXPECT_EQ(ShowMessage(Owner(), kMsgDeleteFile, kBoxYesAllNoCancel | kIconQuestion | kDefaultButton2,
                              {"DATA.BIN"}),
                  answer);
        ASSERT_EQ(catcher.Boxes().size(), 1u);
        const CaughtBox& box = catcher.Boxes()[0];
        EXPECT_EQ(box.text, "Delete file 'DATA.BIN'?");
        EXPECT_EQ(box.caption, "Volkarn");
        EXPECT_EQ(box.owner, owner.Handle());
        EXPECT_EQ(box.buttons, static_cast<unsigned>(kBoxYesAllNoCancel));
        EXPECT_EQ(box.icon, static_cast<unsigned>(kIconQuestion));
    }
}

// What the keyboard gives in the Yes-to-all box: Enter the default No,
// Escape Cancel; the four buttons read as their texts.
struct KeyProbe {
    WPARAM key = 0;
    UINT defaultId = 0;
    std::string labels;
};
KeyProbe g_probe;

void CALLBACK PressKeyInBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = GetForegroundWindow();
    HWND focus = GetFocus();
    if (box == nullptr || focus == nullptr || GetParent(focus) != box) {
        return;
    }
    KillTimer(nullptr, timer);
    g_probe.defaultId = LOWORD(SendMessageA(box, DM_GETDEFID, 0, 0));
    for (int id : {IDYES, static_cast<int>(kIdYesToAll), IDNO, IDCANCEL}) {
        char text[32] = "";
        GetDlgItemTextA(box, id, text, sizeof text);
        g_probe.labels += std::string(text) + "|";
    }
    PostMessageA(focus, WM_KEYDOWN, g_probe.key, 0);
    PostMessageA(focus, WM_KEYUP, g_probe.key, 0xC0000000);
}

TEST_F(Win32Prompts, YesToAllBoxAnswersNoToEnterAndCancelToEscape) {
    const struct {
        WPARAM key;
        int answer;
    } kCases[] = {{VK_RETURN, kIdNo}, {VK_ESCAPE, kIdCancel}};
    for (const auto& c : kCases) {
        g_probe = {};
        g_probe.key = c.key;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, PressKeyInBox);
        EXPECT_EQ(ShowMessage(Owner(), kMsgDeleteFile, kBoxYesAllNoCancel | kIconQuestion | kDefaultButton2,
                              {"DATA.BIN"}),
                  c.answer)
            << c.key;
        KillTimer(nullptr, timer);
        EXPECT_EQ(g_probe.defaultId, static_cast<UINT>(IDNO));
        EXPECT_EQ(g_probe.labels, "&Yes|Yes to &all|&No|Cancel|");
    }
}

TEST_F(Win32Prompts, TextsWithoutInsertsPassTheFormatterUnchanged) {
    const struct {
        const char* name;
        unsigned id;
        std::string expected;
    } kCases[] = {
        {"line breaks of the table", kMsgOpenedReadOnly, std::string(LoadText(kMsgOpenedReadOnly))},
        {"plain text", kMsgFileTooSmall, std::string(LoadText(kMsgFileTooSmall))},
        {"the formatter's own escapes", VK_TEST_ESCAPES, "100% sure\nnext line"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        BoxCatcher catcher;
        EXPECT_EQ(ShowMessage(Owner(), c.id, kIconWarning), kIdOk);
        ASSERT_EQ(catcher.Boxes().size(), 1u);
        EXPECT_EQ(Lines(catcher.Boxes()[0].text), c.expected);
        EXPECT_EQ(catcher.Boxes()[0].icon, static_cast<unsigned>(kIconWarning));
    }
}

TEST_F(Win32Prompts, FormatterFailureShowsNoBoxAndGivesNoButton) {
    const struct {
        const char* name;
        unsigned id;
        const char* insert;  // nullptr: none
    } kCases[] = {
        {"an insert the caller did not give", kMsgNoMemoryForImage, nullptr},
        {"a format the formatter refuses", VK_TEST_BROKEN_FORMAT, "x"},
        {"an id the table does not hold", 59999, nullptr},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        BoxCatcher catcher;
        const unsigned flags = kBoxYesNoCancel | kIconQuestion;
        const int result = c.insert ? ShowMessage(Owner(), c.id, flags, {c.insert}) : ShowMessage(Owner(), c.id, flags);
        EXPECT_EQ(result, kNoBox);
        EXPECT_TRUE(catcher.Boxes().empty());
    }
}

TEST_F(Win32Prompts, SystemErrorFramesTheSystemTextWithTheCallersLines) {
    const std::string fileNotFound = SystemText(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(fileNotFound.empty());
    ASSERT_TRUE(SystemText(kCodeWithoutText).empty());
    const struct {
        const char* name;
        std::string firstLine;
        DWORD code;
        std::string lastLine;
        unsigned flags;
        int answer;
        std::string expected;
    } kCases[] = {
        {"path over the system text", "C:\\DISKS\\GAME.DSK", ERROR_FILE_NOT_FOUND, "", kIconError, kIdOk,
         "C:\\DISKS\\GAME.DSK\r\n" + fileNotFound},
        {"no first line", "", ERROR_ACCESS_DENIED, "", kIconError, kIdOk, SystemText(ERROR_ACCESS_DENIED)},
        {"a last line too", "A:", ERROR_NOT_READY, "Try again.", kIconError, kIdOk,
         "A:\r\n" + SystemText(ERROR_NOT_READY) + "\r\nTry again."},
        {"no system text: the code in decimal", "C:\\X.DSK", kCodeWithoutText, "", kIconError, kIdOk,
         "C:\\X.DSK\r\nError 536936447"},
        {"sector question", "Disk sector 5 cannot be read!", ERROR_CRC, "",
         kBoxAbortRetryIgnore | kIconWarning | kDefaultButton2, kIdRetry,
         "Disk sector 5 cannot be read!\r\n" + SystemText(ERROR_CRC)},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        BoxCatcher catcher;
        catcher.Answer(c.answer);
        EXPECT_EQ(ShowSystemError(Owner(), c.firstLine, c.code, c.lastLine, c.flags), c.answer);
        ASSERT_EQ(catcher.Boxes().size(), 1u);
        const CaughtBox& box = catcher.Boxes()[0];
        EXPECT_EQ(box.text, c.expected);
        EXPECT_EQ(box.caption, "Volkarn");
        EXPECT_EQ(box.owner, owner.Handle());
        EXPECT_EQ(box.buttons | box.icon, c.flags & (kButtonMask | kIconMask));
    }
}

TEST_F(Win32Prompts, TextBoxShowsTheCallersTextAsItIs) {
    BoxCatcher catcher;
    // A comment is no format: its percent signs stay.
    const std::string comment = "50% off %1\r\nsecond line";
    EXPECT_EQ(ShowTextBox(Owner(), comment, kStrCommentCaption, kIconInformation), kIdOk);
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].text, comment);
    EXPECT_EQ(catcher.Boxes()[0].caption, "Disk-image comment");
    EXPECT_EQ(catcher.Boxes()[0].icon, static_cast<unsigned>(kIconInformation));
}

// A notice shows the box its tone and choices call for, and the button
// pressed comes back as its answer.
TEST_F(Win32Prompts, NoticesShowTheBoxesOfTheirFlags) {
    const struct {
        const char* name;
        Notice notice;
        Choices choices;
        bool secondIsDefault;
        unsigned flags;
        int defaultButton;  // the button Enter presses
        int button;
        Answer answer;
    } kCases[] = {
        {"error", TextNotice(kMsgNoMemoryForImage, Tone::kError, {"1474560"}), Choices::kOk, false, kIconError, kIdOk, kIdOk,
         Answer::kOk},
        {"warning", TextNotice(kMsgOpenedReadOnly, Tone::kWarning), Choices::kOk, false, kIconWarning, kIdOk, kIdOk,
         Answer::kOk},
        {"plain", TextNotice(kMsgFileTooSmall, Tone::kPlain), Choices::kOk, false, kBoxOk, kIdOk, kIdOk, Answer::kOk},
        {"yes or no", TextNotice(kMsgBackupFatMismatch, Tone::kQuestion), Choices::kYesNo, false,
         kBoxYesNo | kIconQuestion, kIdYes, kIdNo, Answer::kNo},
        {"yes, no or cancel", TextNotice(kMsgImageModified, Tone::kQuestion), Choices::kYesNoCancel, false,
         kBoxYesNoCancel | kIconQuestion, kIdYes, kIdCancel, Answer::kCancel},
        {"yes to all", TextNotice(kMsgDeleteFile, Tone::kQuestion, {"DATA.BIN"}), Choices::kYesAllNoCancel, true,
         kBoxYesAllNoCancel | kIconQuestion | kDefaultButton2, kIdNo, kIdYesToAll, Answer::kYesToAll},
        {"sector question", HostErrorNotice("Disk sector 5 cannot be read!", ERROR_CRC, "", Tone::kWarning),
         Choices::kAbortRetryIgnore, true, kBoxAbortRetryIgnore | kIconWarning | kDefaultButton2, kIdRetry, kIdRetry,
         Answer::kRetry},
        {"a path over the system text", HostErrorNotice("C:\\X.DSK", ERROR_FILE_NOT_FOUND), Choices::kOk, false,
         kIconError, kIdOk, kIdOk, Answer::kOk},
        {"the image's comment", OwnTextNotice("50% off %1", kStrCommentCaption, Tone::kInformation), Choices::kOk,
         false, kIconInformation, kIdOk, kIdOk, Answer::kOk},
        {"an insert not given", TextNotice(kMsgNoMemoryForImage, Tone::kError), Choices::kOk, false, kIconError, kNoBox,
         kNoBox, Answer::kNone},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        BoxCatcher catcher;
        catcher.Answer(c.button);
        EXPECT_EQ(PresentOver(Owner(), c.notice, c.choices, c.secondIsDefault), c.answer);
        ASSERT_EQ(catcher.Boxes().size(), c.button == kNoBox ? 0u : 1u);
        for (const CaughtBox& box : catcher.Boxes()) {
            EXPECT_EQ(box.owner, owner.Handle());
            EXPECT_EQ(box.buttons | box.icon, c.flags & (kButtonMask | kIconMask));
            EXPECT_EQ(box.defaultButton, c.defaultButton);
        }
    }
}

// The boxes show the resource table; it must say what the engine's copy says.
TEST(Win32Resources, StringTableMatchesTheEngineTexts) {
    int compared = 0;
    for (unsigned id = 1; id < 1000; ++id) {
        const std::string_view engine = LoadText(id);
        if (engine.empty()) {
            continue;
        }
        char text[1024] = "";
        LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
        EXPECT_EQ(std::string(text), std::string(engine)) << "string " << id;
        ++compared;
    }
    EXPECT_GT(compared, 50);
}

}  // namespace
}  // namespace vk::test
