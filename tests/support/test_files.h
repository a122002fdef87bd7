// Scratch folders and whole-file helpers for tests, on the host's own paths.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/document.h"
#include "engine/fat/dir/fs_options.h"
#include "tests/support/front_end.h"
#include "tests/support/recording_window.h"
#include "tests/support/scripted_prompts.h"

namespace vk::test {

using Bytes = std::vector<uint8_t>;

// A folder of its own for each test, removed afterwards.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    std::string Path(const std::string& name) const;
    const std::string& Root() const { return root_; }

private:
    std::string root_;
};

void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);
bool FileExists(const std::string& path);

// Makes `bytes` the document's buffer, without a file, as a read disk would be.
void InstallImage(ImageDocument& doc, const Bytes& bytes, uint32_t dataOffset = 0);
// The document's buffer as bytes.
Bytes ImageBytes(const ImageDocument& doc);

// Base of engine tests: a fresh prompt script and window for each test, and
// the check that every expected box was shown.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // What a front end does with an operation's result: shows its notices
    // and failure over the test owner. Returns the result for checks.
    static Result Shown(Result result) {
        Report(result);
        return result;
    }

    PromptScript& script = Script();
    RecordingWindow& window = Window();
    ScratchDir dir;
    ImageDocument doc;
    FileSystemOptions options;  // the /F switch and name strength the operations are handed
};

}  // namespace vk::test
