// Matching 8.3 display names ("NOTES.TXT", "README") against what a user
// typed: exactly, or with the DOS wildcards * and ?. Both fold ASCII letters
// only, so that bytes of other code pages are compared as they are.
#pragma once

#include <string_view>

namespace vk {

// `name` matches `pattern` (* and ?, without regard to case); as in DOS,
// "NAME.*" also takes NAME without an extension, so "*.*" takes every name.
bool MatchesName(std::string_view pattern, std::string_view name);

// The same name without regard to case; no wildcards.
bool SameName(std::string_view a, std::string_view b);

}  // namespace vk
