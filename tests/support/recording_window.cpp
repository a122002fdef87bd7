#include "support/recording_window.h"

#include <algorithm>

#include "core/document.h"
#include "ports/window_sync.h"

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
void RefreshList() { test::Window().calls.push_back("RefreshList"); }
void RemoveAllListItems() {
    test::Window().items.clear();
    test::Window().calls.push_back("RemoveAll");
}
bool InsertListItem(const ImageDocument&, uint32_t entryOffset, int position) {
    auto& items = test::Window().items;
    if (test::Window().refuseInsert) {
        return false;
    }
    const size_t at = position < 0 ? 0 : std::min(items.size(), static_cast<size_t>(position));
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), entryOffset);
    return true;
}
void RemoveListItem(int index) {
    auto& items = test::Window().items;
    if (index >= 0 && static_cast<size_t>(index) < items.size()) {
        items.erase(items.begin() + index);
    }
}
void BeginWaitCursor() { ++test::Window().waitDepth; }
void EndWaitCursor() { --test::Window().waitDepth; }

}  // namespace vk
