// The prompt port of the engine tests: every box the engine shows must be
// expected in order; each is recorded and answered from the script. An
// unexpected box fails the running test.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "engine/ports/prompts.h"
#include "tests/support/box_flags.h"

namespace vk::test {

enum class PromptKind { kMessage, kSystemError, kTextBox, kSavePath };

struct PromptRecord {
    PromptKind kind = PromptKind::kMessage;
    WindowRef owner = nullptr;
    unsigned id = 0;            // string id (message), caption id (text box)
    unsigned flags = 0;         // as the box shows it: test::kBoxYesNo | test::kIconQuestion, ...
    uint32_t code = 0;          // system error code
    std::string text;           // first line (system error), text (text box), path (save)
    std::vector<std::string> inserts;
};

class PromptScript {
public:
    // The next box must be message `id` with exactly `flags`; it answers `answer`.
    PromptScript& Message(unsigned id, unsigned flags, int answer = kIdOk);
    // The next box must show the system text of `code` under `firstLine`; it
    // answers `answer` (an Abort/Retry/Ignore box of a disk job, for one).
    PromptScript& SystemError(uint32_t code, const std::string& firstLine, unsigned flags = kIconError,
                              int answer = kIdOk);
    PromptScript& TextBox(const std::string& text);
    // The save dialog: `path` is chosen, or an empty path cancels.
    PromptScript& SavePath(const std::string& path);

    const std::vector<PromptRecord>& Shown() const { return shown_; }
    size_t Pending() const { return expected_.size(); }
    void Reset();

    // Called by the port.
    int Take(PromptRecord record);

private:
    struct Expectation {
        PromptRecord record;
        int answer = kIdOk;
    };
    std::deque<Expectation> expected_;
    std::vector<PromptRecord> shown_;
};

PromptScript& Script();

// The window the boxes are recorded over unless another has taken them.
WindowRef TestOwner();

// The window the next box is recorded over.
WindowRef PromptOwner();

// Makes `owner` the window of the boxes that follow, as VOLKARN's dialogs
// and progress window take its prompt owner; returns the one before.
WindowRef SwapPromptOwner(WindowRef owner);

// The boxes of a scope belong to `owner`.
class ScopedPromptOwner {
public:
    explicit ScopedPromptOwner(WindowRef owner) : before_(SwapPromptOwner(owner)) {}
    ~ScopedPromptOwner() { SwapPromptOwner(before_); }
    ScopedPromptOwner(const ScopedPromptOwner&) = delete;
    ScopedPromptOwner& operator=(const ScopedPromptOwner&) = delete;

private:
    WindowRef before_;
};

}  // namespace vk::test
