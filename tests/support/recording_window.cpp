#include "tests/support/recording_window.h"

#include <algorithm>

#include "engine/core/document.h"
#include "engine/fat/list_texts.h"
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
void RefreshList() { test::Window().calls.push_back("RefreshList"); }
bool InsertListItem(const ImageDocument& doc, uint32_t entryOffset, int position) {
    auto& w = test::Window();
    if (w.refuseInsert) {
        return false;
    }
    const size_t at = position < 0 ? 0 : std::min(w.items.size(), static_cast<size_t>(position));
    w.items.insert(w.items.begin() + static_cast<std::ptrdiff_t>(at), entryOffset);
    const bool inside = doc.IsOpen() && uint64_t{entryOffset} + kDirEntrySize <= doc.AreaLength();
    w.texts.insert(w.texts.begin() + static_cast<std::ptrdiff_t>(at),
                   inside ? EntryDisplayName(doc.Area() + entryOffset) : std::string());
    // Like a list view, the selection stays with its items.
    std::set<int> moved;
    for (int s : w.selected) {
        moved.insert(s >= static_cast<int>(at) ? s + 1 : s);
    }
    w.selected = moved;
    return true;
}
void RemoveListItem(int index) {
    auto& w = test::Window();
    if (index < 0 || static_cast<size_t>(index) >= w.items.size()) {
        return;
    }
    w.items.erase(w.items.begin() + index);
    w.texts.erase(w.texts.begin() + index);
    std::set<int> moved;
    for (int s : w.selected) {
        if (s != index) {
            moved.insert(s > index ? s - 1 : s);
        }
    }
    w.selected = moved;
}
void ForEachSelected(WindowRef owner, SelectionVisitor visitor, void* context) {
    auto& w = test::Window();
    for (int index = -1;;) {
        const auto next = w.selected.upper_bound(index);
        if (next == w.selected.end() || static_cast<size_t>(*next) >= w.items.size()) {
            return;
        }
        index = *next;
        const std::string text = w.texts[static_cast<size_t>(index)];
        if (!visitor(owner, text, index, w.items[static_cast<size_t>(index)], context)) {
            return;
        }
    }
}
void BeginWaitCursor() { ++test::Window().waitDepth; }
void EndWaitCursor() { --test::Window().waitDepth; }

}  // namespace vk
