#include "engine/fat/dir/name_match.h"

namespace vk {
namespace {

constexpr char kAnyRun = '*';
constexpr char kAnyOne = '?';
constexpr std::string_view kAnyExtension = ".*";

char Fold(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool Same(char p, char n) { return p == kAnyOne || Fold(p) == Fold(n); }

// Without recursion: a star only ever needs to be retried from the last one
// seen, one name byte further each time, so a match costs at most pattern
// length times name length steps (names are 12 bytes), however many stars.
bool Matches(std::string_view pattern, std::string_view name) {
    size_t p = 0;
    size_t n = 0;
    size_t star = std::string_view::npos;  // the pattern position after the last star
    size_t resume = 0;                     // where in the name that star's match ends now
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == kAnyRun) {
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
    while (p < pattern.size() && pattern[p] == kAnyRun) {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

bool MatchesName(std::string_view pattern, std::string_view name) {
    if (Matches(pattern, name)) {
        return true;
    }
    const bool anyExtension = pattern.size() >= kAnyExtension.size() &&
                              pattern.substr(pattern.size() - kAnyExtension.size()) == kAnyExtension;
    return anyExtension && name.find('.') == std::string_view::npos &&
           Matches(pattern.substr(0, pattern.size() - kAnyExtension.size()), name);
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace vk
