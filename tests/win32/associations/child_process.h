// Runs a built program of ours as a real child process and waits for it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vk::test {

// A path of the build tree as the running Windows program sees it: under
// Wine the host's root is drive Z:.
std::string WindowsPath(const std::string& buildPath);

// A command line as the shell's own parser splits it into arguments.
std::vector<std::string> SplitCommandLine(const std::string& command);

struct ChildRun {
    bool started = false;
    bool finished = false;   // false: killed after the time-out
    DWORD exitCode = 0;
    bool hadMainWindow = false;  // a window of the main program's class appeared
};

ChildRun RunChild(const std::string& program, const std::string& arguments, DWORD timeoutMilliseconds = 30000);

// Makes Wine report the platform version `wineVersion` ("win2k", "winxp",
// ...) to programs of the file name `programFile` while it lives.
class PretendedVersion {
public:
    PretendedVersion(const std::string& programFile, const char* wineVersion);
    ~PretendedVersion();
    PretendedVersion(const PretendedVersion&) = delete;
    PretendedVersion& operator=(const PretendedVersion&) = delete;

private:
    std::string key_;
};

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
