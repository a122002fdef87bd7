// The window-sync port of the engine tests: a list of entry offsets that
// behaves like the main list, and a log of the other calls.
#pragma once

#include <string>
#include <vector>

namespace vk::test {

struct RecordingWindow {
    std::vector<uint32_t> items;     // entry offset of each list item, in list order
    std::vector<std::string> calls;  // "UpdateTitle:NAME", "Enable:1", ...
    std::string title;
    bool listEnabled = false;
    int waitDepth = 0;               // wait cursors begun and not yet ended
    bool refuseInsert = false;

    void Reset() { *this = RecordingWindow(); }
    size_t Count(const std::string& call) const;
};

RecordingWindow& Window();

}  // namespace vk::test
