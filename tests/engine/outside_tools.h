// Running the outside judges (mtools, dosfstools) from a test: whether they
// are there, their exit codes, and every line they print.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace vk::test {

inline bool HaveTool(const char* name) {
    return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

inline int RunTool(const std::string& command) {
    const int status = std::system(("MTOOLS_SKIP_CHECK=1 " + command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::string Quote(const std::string& s) { return "'" + s + "'"; }

// Every line of a command's output and error output.
inline std::vector<std::string> OutputLines(const std::string& command) {
    std::vector<std::string> lines;
    FILE* pipe = ::popen(("MTOOLS_SKIP_CHECK=1 " + command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return {"cannot run " + command};
    std::string line;
    for (int c; (c = std::fgetc(pipe)) != EOF;) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
    ::pclose(pipe);
    return lines;
}

// What fsck.fat -n says of `imagePath` beyond its banner and its summary; it
// exits 0 after some findings, so its words are read, not only its exit code.
inline std::vector<std::string> FsckFindings(const std::string& imagePath) {
    std::vector<std::string> findings;
    for (const std::string& line : OutputLines("fsck.fat -n " + Quote(imagePath))) {
        const bool banner = line.rfind("fsck.fat ", 0) == 0;
        const bool summary = line.find(" files, ") != std::string::npos && line.find(" clusters") != std::string::npos;
        if (!banner && !summary) findings.push_back(line);
    }
    return findings;
}

}  // namespace vk::test
