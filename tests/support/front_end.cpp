#include "tests/support/front_end.h"

#include "engine/fat/list_texts.h"
#include "tests/support/recording_window.h"

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
    FillList(doc);
    CheckBackupFat(doc, owner);
    return true;
}

bool NewDocument(ImageDocument& doc, WindowRef owner, const Result& made) {
    if (!Shown(made, owner)) {
        return false;
    }
    FillList(doc);
    CheckBackupFat(doc, owner);
    return true;
}

bool Close(ImageDocument& doc) {
    const bool wasOpen = doc.IsOpen();
    if (!Shown(CloseImage(doc), MainWindow())) {
        return false;
    }
    if (wasOpen) {
        Window().items.clear();
        Window().texts.clear();
        Window().selected.clear();
    }
    return true;
}

}  // namespace vk::test
