#include "engine/fat/ops/replace_question.h"

#include "engine/ports/prompts.h"

namespace vk {

ReplaceQuestion::Reply ReplaceQuestion::Ask(const Notice& question, bool secondIsDefault) {
    if (stopped_) return Reply::kStop;
    if (replaceAll_) return Reply::kReplace;
    const Answer answer = vk::Ask(question, several_ ? Choices::kYesAllNoCancel : Choices::kYesNo, secondIsDefault);
    switch (answer) {
    case Answer::kYes: return Reply::kReplace;
    case Answer::kYesToAll:
        replaceAll_ = several_;
        return Reply::kReplace;
    case Answer::kNo: return Reply::kKeep;
    default:
        // Cancel, or no box could be shown: of one file that keeps it, as the
        // Yes/No box always did; of several it ends the command.
        if (!several_) return Reply::kKeep;
        stopped_ = true;
        return Reply::kStop;
    }
}

}  // namespace vk
