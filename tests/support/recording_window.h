// The window-sync port of the engine tests: a log of the calls and the
// state they leave.
#pragma once

#include <string>
#include <vector>

namespace vk::test {

struct RecordingWindow {
    std::vector<std::string> calls;  // "UpdateStatusText"
    int waitDepth = 0;               // wait cursors begun and not yet ended

    void Reset() { *this = RecordingWindow(); }
    size_t Count(const std::string& call) const;
};

RecordingWindow& Window();

}  // namespace vk::test
