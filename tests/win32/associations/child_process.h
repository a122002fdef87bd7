// Runs a built program of ours as a real child process and waits for it.
#pragma once

#include <windows.h>

#include <string>

namespace vk::test {

// A path of the build tree as the running Windows program sees it: under
// Wine the host's root is drive Z:.
std::string WindowsPath(const std::string& buildPath);

struct ChildRun {
    bool started = false;
    bool finished = false;   // false: killed after the time-out
    DWORD exitCode = 0;
    bool hadMainWindow = false;  // a window of the main program's class appeared
};

ChildRun RunChild(const std::string& program, const std::string& arguments, DWORD timeoutMilliseconds = 30000);

// A scratch folder with a blank in its name, removed again with its files.
class BlankFolder {
public:
    BlankFolder();
    ~BlankFolder();
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace vk::test
