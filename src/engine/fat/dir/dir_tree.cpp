#include "engine/fat/dir/dir_tree.h"

#include <utility>

#include "engine/common/bytes.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/list_texts.h"

namespace vk {
namespace {

// A folder being walked: its shown entries, read once when it is entered,
// and the next one to hand out. Kept on a stack of its own rather than the
// call stack, so that a deep tree costs heap, not recursion.
struct Frame {
    DirRef dir;
    std::string path;
    uint32_t depth = 0;
    std::vector<uint32_t> entries;
    size_t next = 0;
};

Frame ReadFrame(const ConstVolume& vol, DirRef dir, std::string path, uint32_t depth) {
    Frame frame{dir, std::move(path), depth, {}, 0};
    WalkDirectory(vol, dir, [&](uint32_t offset) {
        if (IsShownEntry(vol.area + offset)) frame.entries.push_back(offset);
        return true;
    });
    return frame;
}

}  // namespace

TreeWalkEnd WalkTree(const ConstVolume& vol, DirRef top, std::string_view topPath,
                     const std::function<bool(const TreeItem&)>& visit) {
    TreeWalkEnd end;
    FolderClusters entered;
    std::vector<uint32_t> chain;
    if (!top.IsRoot()) {
        const FolderFault fault = CheckFolder(vol, top.cluster, entered, chain);
        if (fault != FolderFault::kNone) {
            end.problems.push_back(TreeProblem{std::string(topPath), 0, fault});
            return end;
        }
        for (uint32_t cluster : chain) entered.set(cluster);
    }
    std::vector<Frame> stack;
    stack.push_back(ReadFrame(vol, top, std::string(topPath), 0));
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.entries.size()) {
            stack.pop_back();
            continue;
        }
        const uint32_t offset = frame.entries[frame.next++];
        const uint8_t* e = vol.area + offset;
        TreeItem item{JoinPath(frame.path, EntryDisplayName(e)), offset, frame.depth, frame.dir};
        if (!visit(item)) {
            end.stopped = true;
            return end;
        }
        if (!(e[kDirAttr] & kAttrDirectory)) continue;
        const FolderFault fault =
            CheckFolder(vol, Load16(e + kDirFirstCluster), entered, chain);
        if (fault != FolderFault::kNone) {
            end.problems.push_back(TreeProblem{std::move(item.path), offset, fault});
            continue;
        }
        for (uint32_t cluster : chain) entered.set(cluster);
        const uint32_t depth = frame.depth + 1;  // `frame` is gone once the stack grows
        stack.push_back(ReadFrame(vol, DirRef{chain.front()}, std::move(item.path), depth));
    }
    return end;
}

std::vector<Notice> ProblemNotices(const TreeWalkEnd& end) {
    std::vector<Notice> notices;
    for (const TreeProblem& problem : end.problems) notices.push_back(FolderFaultNotice(problem.path));
    return notices;
}

}  // namespace vk
