// vkdisk's command line: options may stand anywhere among the arguments.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace vk::cli {

struct KnownOptions {
    std::set<std::string> flags;        // e.g. "--force"
    std::set<std::string> withValue;    // e.g. "--format", "-d"
    std::set<std::string> words = {};   // taken as positional though they begin with '-' (attr's "-r")
};

struct ParsedArgs {
    std::vector<std::string> positional;
    std::set<std::string> flags;
    std::map<std::string, std::string> values;
    std::string error;  // set when the line does not parse

    bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
    std::string Value(const std::string& name, const std::string& fallback = {}) const {
        auto it = values.find(name);
        return it == values.end() ? fallback : it->second;
    }
};

// Parses `args`; "--" ends the options, "--name=value" and "--name value"
// are the same. Texts that begin with '+' or a lone '-' are positional.
ParsedArgs ParseArgs(const std::vector<std::string>& args, const KnownOptions& known);

// Exit codes.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

}  // namespace vk::cli
