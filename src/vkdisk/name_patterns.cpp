#include "vkdisk/name_patterns.h"

#include <cctype>
#include <string_view>

#include "vkdisk/command_support.h"
#include "vkdisk/console_ports.h"

namespace vk::cli {
namespace {

char Fold(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool Same(char p, char n) { return p == '?' || Fold(p) == Fold(n); }

// Without recursion: a star only ever needs to be retried from the last one
// seen, one name byte further each time, so a match costs at most pattern
// length times name length steps (names are 12 bytes), however many stars.
bool Matches(std::string_view pattern, std::string_view name) {
    size_t p = 0;
    size_t n = 0;
    size_t star = std::string_view::npos;  // the pattern position after the last star
    size_t resume = 0;                     // where in the name that star's match ends now
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = ++p;
            resume = n;
        } else if (p < pattern.size() && Same(pattern[p], name[n])) {
            ++p;
            ++n;
        } else if (star != std::string_view::npos) {
            p = star;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

bool MatchesName(const std::string& pattern, const std::string& name) {
    if (Matches(pattern, name)) {
        return true;
    }
    const bool anyExtension = pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0;
    return anyExtension && name.find('.') == std::string::npos &&
           Matches(std::string_view(pattern).substr(0, pattern.size() - 2), name);
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
