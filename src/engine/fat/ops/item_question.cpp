#include "engine/fat/ops/item_question.h"

#include "engine/ports/prompts.h"

namespace vk {

ItemQuestion::Reply ItemQuestion::Ask(const Notice& question, bool secondIsDefault) {
    if (stopped_) return Reply::kStop;
    if (yesToAll_) return Reply::kYes;
    const Answer answer = vk::Ask(question, several_ ? Choices::kYesAllNoCancel : oneItem_, secondIsDefault);
    switch (answer) {
    case Answer::kYes: return Reply::kYes;
    case Answer::kNo: return Reply::kNo;
    case Answer::kYesToAll:
        if (several_) {
            yesToAll_ = true;
            return Reply::kYes;
        }
        [[fallthrough]];  // no button of the one-item box
    default:
        // Cancel, or no box could be shown: a Yes/No box for one item keeps
        // it, as it always did; a box with Cancel ends the command.
        if (!several_ && oneItem_ == Choices::kYesNo) return Reply::kNo;
        stopped_ = true;
        return Reply::kStop;
    }
}

ItemQuestion::Reply AskAboutItem(ItemQuestion* question, const Notice& notice, bool secondIsDefault) {
    ItemQuestion oneItem(false);
    return (question != nullptr ? *question : oneItem).Ask(notice, secondIsDefault);
}

}  // namespace vk
