#include "engine/fat/dir/dir_path.h"

#include <utility>

#include "engine/common/bytes.h"
#include "engine/fat/dir/dir_check.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/dir/name_match.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

constexpr std::string_view kCurrentPart = ".";
constexpr std::string_view kParentPart = "..";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

Result NotFound(std::string_view path) { return Failure(FailureKind::kNotFound, TextNotice(kMsgPathNotFound, Tone::kError, {path})); }

// A walk down a path from the root. It keeps the folders it went through,
// so that ".." goes back the way it came, and their clusters, so that a
// folder whose chain reaches one of them is refused.
class PathWalk {
public:
    PathWalk(const ConstVolume& vol, std::string_view path)
        : vol_(vol), path_(path) {
        levels_.push_back(Level{});
    }

    DirRef Dir() const { return levels_.back().dir; }
    const std::string& Shown() const { return levels_.back().shown; }
    // The current folder's entry and the directory holding it; 0 and the root at the root.
    uint32_t DirEntry() const { return levels_.back().entryOffset; }
    DirRef Holder() const { return levels_.size() > 1 ? levels_[levels_.size() - 2].dir : kRootDir; }

    // Into the folder `part` of the current one, or back out for "..".
    Result Enter(const std::string& part) {
        if (part == kParentPart) {
            if (levels_.size() == 1) {
                return Failure(FailureKind::kBadName, TextNotice(kMsgPathAboveRoot, Tone::kError, {path_}));
            }
            for (uint32_t cluster : levels_.back().chain) entered_.reset(cluster);
            levels_.pop_back();
            return Done();
        }
        const uint32_t offset = FindShownEntry(vol_, Dir(), part);
        if (offset == 0 || !(vol_.area[offset + kDirAttr] & kAttrDirectory)) {
            return NotFound(path_);
        }
        Level next;
        next.dir = DirRef{Load16(vol_.area + offset + kDirFirstCluster)};
        next.entryOffset = offset;
        next.shown = JoinPath(Shown(), EntryDisplayName(vol_.area + offset));
        if (CheckFolder(vol_, next.dir.cluster, entered_, next.chain) != FolderFault::kNone) {
            return Failure(FailureKind::kDamaged, FolderFaultNotice(next.shown));
        }
        for (uint32_t cluster : next.chain) entered_.set(cluster);
        levels_.push_back(std::move(next));
        return Done();
    }

private:
    struct Level {
        DirRef dir;
        uint32_t entryOffset = 0;
        std::string shown;
        std::vector<uint32_t> chain;
    };

    ConstVolume vol_;
    std::string_view path_;
    std::vector<Level> levels_;
    FolderClusters entered_;
};

}  // namespace

std::vector<std::string> SplitPath(std::string_view path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        const std::string_view part = path.substr(start, end - start);
        if (!part.empty() && part != kCurrentPart) {
            parts.emplace_back(part);
        }
        start = end + 1;
    }
    return parts;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string joined(folder);
    if (!joined.empty()) joined += kPathSeparator;
    joined += name;
    return joined;
}

uint32_t FindShownEntry(const ConstVolume& vol, DirRef dir, std::string_view name) {
    const DirWalkEnd end = WalkDirectory(vol, dir, [&](uint32_t offset) {
        const uint8_t* e = vol.area + offset;
        return !(IsShownEntry(e) && SameName(EntryDisplayName(e), name));
    });
    return end.neverUsed ? 0 : end.offset;
}

Result ResolveDirectory(const ConstVolume& vol, std::string_view path, DirRef& dir) {
    PathWalk walk(vol, path);
    for (const std::string& part : SplitPath(path)) {
        Result entered = walk.Enter(part);
        if (!entered.Done()) return entered;
    }
    dir = walk.Dir();
    return Done();
}

Result ResolvePath(const ConstVolume& vol, std::string_view path, PathTarget& target) {
    const std::vector<std::string> parts = SplitPath(path);
    PathWalk walk(vol, path);
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        Result entered = walk.Enter(parts[i]);
        if (!entered.Done()) return entered;
    }
    if (parts.empty() || parts.back() == kParentPart) {
        if (!parts.empty()) {
            Result left = walk.Enter(parts.back());
            if (!left.Done()) return left;
        }
        target = PathTarget{walk.Holder(), walk.DirEntry()};
        return Done();
    }
    const uint32_t offset = FindShownEntry(vol, walk.Dir(), parts.back());
    if (offset == 0) return NotFound(path);
    target = PathTarget{walk.Dir(), offset};
    return Done();
}

Result MatchEntries(const ConstVolume& vol, DirRef dir, std::string_view dirPath, std::string_view pattern,
                    std::vector<uint32_t>& offsets) {
    offsets.clear();
    const DirWalkEnd end = WalkDirectory(vol, dir, [&](uint32_t offset) {
        const uint8_t* e = vol.area + offset;
        if (IsShownEntry(e) && MatchesName(pattern, EntryDisplayName(e))) offsets.push_back(offset);
        return true;
    });
    Result result = offsets.empty() ? NotFound(JoinPath(dirPath, pattern)) : Done();
    if (end.broken) result.notices.push_back(FolderFaultNotice(dirPath));
    return result;
}

Result ResolvePattern(const ConstVolume& vol, std::string_view path, DirRef& dir, std::vector<uint32_t>& offsets) {
    offsets.clear();
    const std::vector<std::string> parts = SplitPath(path);
    if (parts.empty() || parts.back() == kParentPart) return NotFound(path);
    PathWalk walk(vol, path);
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        Result entered = walk.Enter(parts[i]);
        if (!entered.Done()) return entered;
    }
    dir = walk.Dir();
    return MatchEntries(vol, dir, walk.Shown(), parts.back(), offsets);
}

}  // namespace vk
