#include "name_patterns.h"

#include <cctype>

#include "command_support.h"
#include "console_ports.h"

namespace vk::cli {
namespace {

char Fold(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool Matches(const char* pattern, const char* name) {
    for (; *pattern; ++pattern, ++name) {
        if (*pattern == '*') {
            for (const char* rest = name;; ++rest) {
                if (Matches(pattern + 1, rest)) {
                    return true;
                }
                if (*rest == '\0') {
                    return false;
                }
            }
        }
        if (*name == '\0' || (*pattern != '?' && Fold(*pattern) != Fold(*name))) {
            return false;
        }
    }
    return *name == '\0';
}

}  // namespace

bool MatchesName(const std::string& pattern, const std::string& name) {
    if (Matches(pattern.c_str(), name.c_str())) {
        return true;
    }
    const bool anyExtension = pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0;
    return anyExtension && name.find('.') == std::string::npos &&
           Matches(pattern.substr(0, pattern.size() - 2).c_str(), name.c_str());
}

bool ResolveNames(const std::vector<std::string>& patterns, std::vector<size_t>& indices) {
    const std::vector<ConsoleItem>& items = ListItems();
    std::vector<bool> chosen(items.size(), false);
    bool ok = true;
    for (const std::string& pattern : patterns) {
        bool any = false;
        for (size_t i = 0; i < items.size(); ++i) {
            if (MatchesName(pattern, items[i].text)) {
                chosen[i] = true;
                any = true;
            }
        }
        if (!any) {
            Complain("no entry matches '" + pattern + "'");
            ok = false;
        }
    }
    indices.clear();
    for (size_t i = 0; i < items.size(); ++i) {
        if (chosen[i]) {
            indices.push_back(i);
        }
    }
    return ok;
}

}  // namespace vk::cli
