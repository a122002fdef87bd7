// Paths into the image's folder tree: "GAMES\DOOM\DOOM.EXE". Parts are split
// at '\' or '/'; empty parts and "." are dropped; ".." goes back to the
// folder the path came through, never by the ".." entry on the disk. Every
// path starts at the root (a caller with a current folder puts that folder's
// path in front), and one that climbs above the root is refused rather than
// kept at the root, so that a mistyped path never names another entry than
// the one meant. Parts are compared with the 8.3 display names without
// regard to case; only the last part of a pattern may hold * and ?.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/result.h"
#include "engine/core/layout.h"
#include "engine/fat/dir/dir_walk.h"

namespace vk {

// How the engine writes a path: DOS's separator.
constexpr char kPathSeparator = '\\';

// The parts of `path`, "." and empty parts dropped, ".." kept.
std::vector<std::string> SplitPath(std::string_view path);

// `folder` and `name` joined by the separator; `name` alone when `folder` is empty (the root).
std::string JoinPath(std::string_view folder, std::string_view name);

// The shown entry of `dir` whose display name is `name`, without regard to
// case; 0 when there is none.
uint32_t FindShownEntry(const ConstVolume& vol, DirRef dir, std::string_view name);

// The folder `path` names ("" and "\" name the root). Every folder on the way
// is checked before it is entered (dir_check.h). Failures: the path is not
// found when a part is missing or no folder, it climbs above the root when
// ".." leaves the root, and a damaged folder is named by its path.
Result ResolveDirectory(const ConstVolume& vol, std::string_view path, DirRef& dir);

// The entry a path names, and the directory that holds it.
struct PathTarget {
    DirRef dir;                // the directory holding the entry; the root for the root itself
    uint32_t entryOffset = 0;  // 0 when the path names the root directory
};

// Resolves every part but the last as ResolveDirectory does and looks the
// last one up; the entry named last is found, not entered or checked. The
// same failures.
Result ResolvePath(const ConstVolume& vol, std::string_view path, PathTarget& target);

// The shown entries of `dir` whose display names match `pattern` (see
// MatchesName), in directory order. A directory whose chain breaks gives
// what lies before the break and says in the result's notices that the
// folder at `dirPath` is damaged; nothing matched fails as a path not found.
Result MatchEntries(const ConstVolume& vol, DirRef dir, std::string_view dirPath, std::string_view pattern,
                    std::vector<uint32_t>& offsets);

// The folder of a path's leading parts, resolved as ResolveDirectory does,
// and the entries of it that its last part matches (MatchEntries). A path
// that names no entry part ("", "\", "A\..") fails as a path not found.
Result ResolvePattern(const ConstVolume& vol, std::string_view path, DirRef& dir, std::vector<uint32_t>& offsets);

}  // namespace vk
