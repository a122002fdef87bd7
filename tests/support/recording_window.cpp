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

void UpdateStatusText() { test::Window().calls.push_back("UpdateStatusText"); }
void BeginWaitCursor() { ++test::Window().waitDepth; }
void EndWaitCursor() { --test::Window().waitDepth; }

}  // namespace vk
