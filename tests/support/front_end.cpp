#include "tests/support/front_end.h"


namespace vk::test {

bool Shown(const Result& result, WindowRef owner) {
    const ScopedPromptOwner scoped(owner);
    Report(result);
    return result.Done();
}

bool Open(ImageDocument& doc, WindowRef owner, const std::string& path, bool readOnly) {
    if (path.empty()) {
        return false;
    }
    if (!Close(doc)) {
        return false;
    }
    if (!Shown(OpenImage(doc, path, readOnly), owner)) {
        return false;
    }
    const ScopedPromptOwner scoped(owner);
    CheckBackupFat(doc);
    return true;
}

bool NewDocument(ImageDocument& doc, WindowRef owner, const Result& made) {
    if (!Shown(made, owner)) {
        return false;
    }
    const ScopedPromptOwner scoped(owner);
    CheckBackupFat(doc);
    return true;
}

bool Close(ImageDocument& doc) {
    return Shown(CloseImage(doc), TestOwner());
}

}  // namespace vk::test
