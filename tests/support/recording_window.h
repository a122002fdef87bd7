// The window-sync port of the engine tests: a list of entry offsets that
// behaves like the main list, and a log of the other calls.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

namespace vk::test {

struct RecordingWindow {
    std::vector<uint32_t> items;     // entry offset of each list item, in list order
    std::vector<std::string> texts;  // each item's text (the display name at insertion)
    std::set<int> selected;          // indices of selected items; they move as items come and go
    std::vector<std::string> calls;  // "UpdateStatusText", "RefreshList"
    int waitDepth = 0;               // wait cursors begun and not yet ended
    bool refuseInsert = false;

    void Reset() { *this = RecordingWindow(); }
    size_t Count(const std::string& call) const;
    // Selects the items at `indices`, as a user's clicks would.
    void Select(std::initializer_list<int> indices) { selected.insert(indices.begin(), indices.end()); }
};

RecordingWindow& Window();

}  // namespace vk::test
