#include "tests/fuzz/fuzz_ports.h"

#include "engine/core/document.h"
#include "engine/ports/prompts.h"
#include "engine/ports/window_sync.h"

namespace vk {
namespace fuzz {
namespace {

const uint8_t* answerData = nullptr;
size_t answerSize = 0;

// The next answer byte picks among the choices; a box with one button,
// and the Yes-to-all set, are answered OK.
vk::Answer Choose(Choices choices) {
    const uint8_t byte = answerSize ? *answerData : 0;
    if (answerSize) {
        ++answerData;
        --answerSize;
    }
    switch (choices) {
    case Choices::kYesNo: return byte & 1 ? vk::Answer::kNo : vk::Answer::kYes;
    case Choices::kYesNoCancel:
        return byte % 3 == 0 ? vk::Answer::kYes : byte % 3 == 1 ? vk::Answer::kNo : vk::Answer::kCancel;
    case Choices::kAbortRetryIgnore:
        return byte % 3 == 0 ? vk::Answer::kIgnore : byte % 3 == 1 ? vk::Answer::kAbort : vk::Answer::kRetry;
    case Choices::kOk:
    case Choices::kYesAllNoCancel: break;
    }
    return vk::Answer::kOk;
}

// The older calls' buttons in a notice's terms, and the answer as a button.
Choices ChoicesOf(unsigned flags) {
    switch (flags & kButtonMask) {
    case kBoxYesNo: return Choices::kYesNo;
    case kBoxYesNoCancel: return Choices::kYesNoCancel;
    case kBoxYesAllNoCancel: return Choices::kYesAllNoCancel;
    case kBoxAbortRetryIgnore: return Choices::kAbortRetryIgnore;
    default: return Choices::kOk;
    }
}

int ButtonOf(vk::Answer answer) {
    switch (answer) {
    case vk::Answer::kYes: return kIdYes;
    case vk::Answer::kNo: return kIdNo;
    case vk::Answer::kCancel: return kIdCancel;
    case vk::Answer::kAbort: return kIdAbort;
    case vk::Answer::kRetry: return kIdRetry;
    case vk::Answer::kIgnore: return kIdIgnore;
    default: return kIdOk;
    }
}

}  // namespace

void SetAnswers(const uint8_t* data, size_t size) {
    answerData = data;
    answerSize = size;
}

bool Shown(const Result& result) {
    Report(nullptr, result);
    return result.Done();
}

bool OpenDocument(ImageDocument& doc, const std::string& path) {
    CloseDocument(doc);
    if (!Shown(OpenImage(doc, path))) {
        return false;
    }
    CheckBackupFat(doc, nullptr);
    return true;
}

void CloseDocument(ImageDocument& doc) {
    Shown(CloseImage(doc));
}

}  // namespace fuzz

WindowRef MainWindow() { return nullptr; }
// A text of the image's own only informs: it takes no answer byte.
Answer Present(WindowRef, const Notice& notice, Choices choices, bool) {
    return notice.form == Notice::Form::kOwnText ? Answer::kOk : fuzz::Choose(choices);
}
int ShowMessage(WindowRef owner, unsigned id, unsigned flags, std::initializer_list<std::string_view>) {
    return fuzz::ButtonOf(Present(owner, TextNotice(id, Tone::kPlain), fuzz::ChoicesOf(flags)));
}
int ShowSystemError(WindowRef owner, std::string_view, uint32_t code, std::string_view, unsigned flags) {
    return fuzz::ButtonOf(Present(owner, HostErrorNotice({}, code), fuzz::ChoicesOf(flags)));
}
int ShowTextBox(WindowRef owner, std::string_view text, unsigned captionId, unsigned) {
    return fuzz::ButtonOf(Present(owner, OwnTextNotice(text, captionId, Tone::kPlain)));
}
bool AskSaveImagePath(WindowRef, std::string&) { return false; }

void UpdateStatusText() {}
void BeginWaitCursor() {}
void EndWaitCursor() {}

}  // namespace vk
