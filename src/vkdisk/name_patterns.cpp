#include "vkdisk/name_patterns.h"

#include <cctype>
#include <string_view>

#include "engine/core/document.h"
#include "engine/fat/list_texts.h"
#include "vkdisk/command_support.h"

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

bool ResolveNames(const std::vector<std::string>& patterns, std::vector<uint32_t>& entries) {
    const ImageDocument& doc = Document();
    const std::vector<uint32_t> listed = ListedEntries(doc);
    std::vector<bool> chosen(listed.size(), false);
    bool ok = true;
    for (const std::string& pattern : patterns) {
        bool any = false;
        for (size_t i = 0; i < listed.size(); ++i) {
            if (MatchesName(pattern, EntryDisplayName(doc.Area() + listed[i]))) {
                chosen[i] = true;
                any = true;
            }
        }
        if (!any) {
            Complain("no entry matches '" + pattern + "'");
            ok = false;
        }
    }
    entries.clear();
    for (size_t i = 0; i < listed.size(); ++i) {
        if (chosen[i]) {
            entries.push_back(listed[i]);
        }
    }
    return ok;
}

}  // namespace vk::cli
