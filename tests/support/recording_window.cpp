#include "tests/support/recording_window.h"

#include <algorithm>

#include "engine/core/document.h"
#include "engine/ports/window_sync.h"

namespace vk {
namespace test {

RecordingWindow& Window() {
    static RecordingWindow window;
    return window;
}

size_t RecordingWindow::Count(const std::string& call) const {
    return static_cast<size_t>(std::count(calls.begin(), calls.end(), call));
}

}  // namespace test

void UpdateTitle(const ImageDocument& doc) {
    test::Window().title = doc.fileName;
    test::Window().calls.push_back("UpdateTitle");
}
void UpdateStatusText() { test::Window().calls.push_back("UpdateStatusText"); }
void EnableExplorerList(bool enable) {
    test::Window().listEnabled = enable;
    test::Window().calls.push_back(enable ? "Enable" : "Disable");
}
void FillList(const ImageDocument&) { test::Window().calls.push_back("FillList"); }
void RemoveAllListItems() { test::Window().calls.push_back("RemoveAll"); }
void BeginWaitCursor() { ++test::Window().waitDepth; }
void EndWaitCursor() { --test::Window().waitDepth; }

}  // namespace vk
