// The question a command asks before it replaces a file of the same name.
// With several files in play it offers Yes, Yes to all, No and Cancel: Yes
// to all answers the rest of the command's questions, Cancel ends the
// command with what it did so far kept. One file keeps the Yes/No box.
#pragma once

#include "engine/common/notice.h"

namespace vk {

class ReplaceQuestion {
public:
    enum class Reply { kReplace, kKeep, kStop };

    explicit ReplaceQuestion(bool several) : several_(several) {}

    // Asks `question` unless Yes to all was given; the second button is the
    // default when `secondIsDefault`, as in the one-file box.
    Reply Ask(const Notice& question, bool secondIsDefault = false);

    // True once the user cancelled: the command stops at its next step.
    bool Stopped() const { return stopped_; }

private:
    bool several_;
    bool replaceAll_ = false;
    bool stopped_ = false;
};

}  // namespace vk
