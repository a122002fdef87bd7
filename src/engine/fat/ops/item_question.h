// The question a command asks about each of its items: replace this file?
// delete this one? With several items in play it offers Yes, Yes to all,
// No and Cancel: Yes to all answers the rest of the command's questions,
// Cancel ends the command with what it did so far kept. One item gets the
// command's own one-item box.
#pragma once

#include "engine/common/notice.h"

namespace vk {

class ItemQuestion {
public:
    enum class Reply { kYes, kNo, kStop };

    // `oneItem` is the box for a single item: Yes/No, or Yes/No/Cancel
    // where Cancel stops the command there too.
    explicit ItemQuestion(bool several, Choices oneItem = Choices::kYesNo) : several_(several), oneItem_(oneItem) {}

    // Asks `question` unless Yes to all was given; the second button is the
    // default when `secondIsDefault`, as in the one-item box.
    Reply Ask(const Notice& question, bool secondIsDefault = false);

    // True once the user cancelled: the command stops at its next step.
    bool Stopped() const { return stopped_; }

private:
    bool several_;
    Choices oneItem_;
    bool yesToAll_ = false;
    bool stopped_ = false;
};

// Asks through the command's `question`, or without one as one item's Yes/No.
ItemQuestion::Reply AskAboutItem(ItemQuestion* question, const Notice& notice, bool secondIsDefault = false);

}  // namespace vk
