#include "tests/support/front_end.h"


namespace vk::test {

bool Shown(const Result& result, WindowRef owner) {
    Report(owner, result);
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
    CheckBackupFat(doc, owner);
    return true;
}

bool NewDocument(ImageDocument& doc, WindowRef owner, const Result& made) {
    if (!Shown(made, owner)) {
        return false;
    }
    CheckBackupFat(doc, owner);
    return true;
}

bool Close(ImageDocument& doc) {
    return Shown(CloseImage(doc), MainWindow());
}

}  // namespace vk::test
