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

}  // namespace

void SetAnswers(const uint8_t* data, size_t size) {
    answerData = data;
    answerSize = size;
}

bool Shown(const Result& result) {
    Report(result);
    return result.Done();
}

bool OpenDocument(ImageDocument& doc, const std::string& path) {
    CloseDocument(doc);
    if (!Shown(OpenImage(doc, path))) {
        return false;
    }
    CheckBackupFat(doc);
    return true;
}

void CloseDocument(ImageDocument& doc) {
    Shown(CloseImage(doc));
}

}  // namespace fuzz

// A text of the image's own only informs: it takes no answer byte.
Answer Present(const Notice& notice, Choices choices, bool) {
    return notice.form == Notice::Form::kOwnText ? Answer::kOk : fuzz::Choose(choices);
}
bool AskSaveImagePath(std::string&) { return false; }

void UpdateStatusText() {}
void BeginWaitCursor() {}
void EndWaitCursor() {}

}  // namespace vk
