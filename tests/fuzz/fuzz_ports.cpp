#include "tests/fuzz/fuzz_ports.h"

#include "engine/ports/prompts.h"
#include "engine/ports/window_sync.h"

namespace vk {
namespace fuzz {
namespace {

const uint8_t* answerData = nullptr;
size_t answerSize = 0;

int Answer(unsigned flags) {
    const uint8_t byte = answerSize ? *answerData : 0;
    if (answerSize) {
        ++answerData;
        --answerSize;
    }
    switch (flags & kButtonMask) {
    case kBoxYesNo: return byte & 1 ? kIdNo : kIdYes;
    case kBoxYesNoCancel: return byte % 3 == 0 ? kIdYes : byte % 3 == 1 ? kIdNo : kIdCancel;
    case kBoxAbortRetryIgnore: return byte % 3 == 0 ? kIdIgnore : byte % 3 == 1 ? kIdAbort : kIdRetry;
    default: return kIdOk;
    }
}

}  // namespace

void SetAnswers(const uint8_t* data, size_t size) {
    answerData = data;
    answerSize = size;
}

}  // namespace fuzz

WindowRef MainWindow() { return nullptr; }
int ShowMessage(WindowRef, unsigned, unsigned flags, std::initializer_list<std::string_view>) {
    return fuzz::Answer(flags);
}
int ShowSystemError(WindowRef, std::string_view, uint32_t, std::string_view, unsigned flags) {
    return fuzz::Answer(flags);
}
int ShowTextBox(WindowRef, std::string_view, unsigned, unsigned) { return kIdOk; }
bool AskSaveImagePath(WindowRef, std::string&) { return false; }

void UpdateTitle(const ImageDocument&) {}
void UpdateStatusText() {}
void EnableExplorerList(bool) {}
void FillList(const ImageDocument&) {}
void RemoveAllListItems() {}
void BeginWaitCursor() {}
void EndWaitCursor() {}

}  // namespace vk
