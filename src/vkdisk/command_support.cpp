#include "command_support.h"

#include <cstdio>

#include "console_ports.h"

namespace vk::cli {

bool PrepareCommand(const Args& args, OptionSpec spec, const char* usage, size_t minPositional,
                    size_t maxPositional, ParsedArgs& parsed, int& exitCode) {
    spec.flags.insert({"--help", "-h", "--yes", "-y", "--no", "-n"});
    parsed = ParseArgs(args, spec);
    if (parsed.Has("--help") || parsed.Has("-h")) {
        std::fputs(usage, stdout);
        exitCode = kExitOk;
        return false;
    }
    if (parsed.error.empty() && (parsed.positional.size() < minPositional || parsed.positional.size() > maxPositional)) {
        parsed.error = parsed.positional.size() < minPositional ? "missing arguments" : "too many arguments";
    }
    if (parsed.error.empty() && (parsed.Has("--yes") || parsed.Has("-y")) && (parsed.Has("--no") || parsed.Has("-n"))) {
        parsed.error = "--yes and --no exclude each other";
    }
    if (!parsed.error.empty()) {
        Complain(parsed.error);
        std::fputs(usage, stderr);
        exitCode = kExitUsage;
        return false;
    }
    if (parsed.Has("--yes") || parsed.Has("-y")) {
        SetAnswerMode(AnswerMode::kYes);
    } else if (parsed.Has("--no") || parsed.Has("-n")) {
        SetAnswerMode(AnswerMode::kNo);
    }
    return true;
}

ImageDocument& Document() {
    static ImageDocument doc;
    return doc;
}

void Complain(const std::string& text) { std::fprintf(stderr, "vkdisk: %s\n", text.c_str()); }

}  // namespace vk::cli
