// Walking a folder tree depth first, for a recursive listing, extraction,
// removal or size. Every folder is checked before it is entered
// (dir_check.h), and no folder cluster is entered twice, so a tree whose
// folders point back at their ancestors or at each other ends all the same.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/notice.h"
#include "engine/core/layout.h"
#include "engine/fat/dir/dir_check.h"
#include "engine/fat/dir/dir_walk.h"

namespace vk {

struct TreeItem {
    std::string path;      // from the top of the walk, parts joined by kPathSeparator
    uint32_t entryOffset;  // the entry's slot
    uint32_t depth;        // 0 for an entry of the top directory itself
    DirRef dir;            // the directory holding the entry
};

// A folder the walk did not enter.
struct TreeProblem {
    std::string path;      // as in TreeItem; `topPath` for the top directory itself
    uint32_t entryOffset;  // its entry; 0 for the top directory
    FolderFault fault;
};

struct TreeWalkEnd {
    std::vector<TreeProblem> problems;  // in the order they were met
    bool stopped = false;               // the visitor asked to stop
};

// Hands every shown entry below `top` to `visit`, depth first in directory
// order, a folder before its contents; `visit` returns false to stop the
// walk, and must not change the image. A folder with a fault is handed out
// like any other entry, then reported and not entered; the walk goes on.
// `topPath` goes in front of every path.
TreeWalkEnd WalkTree(const ConstVolume& vol, DirRef top, std::string_view topPath,
                     const std::function<bool(const TreeItem&)>& visit);

// The notices of a walk's problems, one per skipped folder.
std::vector<Notice> ProblemNotices(const TreeWalkEnd& end);

}  // namespace vk
