// Directories of any depth: the root area, or the cluster chain of a
// subdirectory. One walk hands out the entry slots of either, in order, and
// never leaves the area or follows a chain in a circle.
#pragma once

#include <cstdint>
#include <cstring>

#include "engine/common/bytes.h"
#include "engine/core/layout.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/table/fat12.h"
#include "engine/fat/dir/folder.h"
#include "engine/fat/dir/root_directory.h"

namespace vk {

// A directory, named as ".." entries name it: cluster 0 is the root, any
// other the first cluster of a subdirectory.
struct DirRef {
    uint32_t cluster = 0;

    bool IsRoot() const { return cluster == 0; }
    bool operator==(const DirRef& other) const { return cluster == other.cluster; }
    bool operator!=(const DirRef& other) const { return cluster != other.cluster; }
};

constexpr DirRef kRootDir{};

// One of a folder's own "." and ".." entries.
inline bool IsDotOrDotDot(const uint8_t* e) {
    return std::memcmp(e + kDirName, kDotName, kDirFullNameLength) == 0 ||
           std::memcmp(e + kDirName, kDotDotName, kDirFullNameLength) == 0;
}

// An entry a listing shows and a path can name: live, no part of a long
// name, no volume label, no dot entry.
inline bool IsShownEntry(const uint8_t* e) {
    return e[kDirName] != kEntryDeleted && e[kDirName] != kEntryNeverUsed && !(e[kDirAttr] & kAttrVolume) &&
           !IsDotOrDotDot(e);
}

inline bool IsShownFolder(const uint8_t* e) { return IsShownEntry(e) && (e[kDirAttr] & kAttrDirectory); }

// Where a walk of a directory stopped.
struct DirWalkEnd {
    uint32_t index = 0;        // slots looked at before it stopped
    uint32_t offset = 0;       // the slot it stopped at; 0 when the directory ran out
    bool neverUsed = false;    // it stopped at the first never-used slot, which ends every directory
    bool broken = false;       // a subdirectory's chain broke off, or left the area, before its end mark
    uint32_t lastCluster = 0;  // the subdirectory's last cluster looked at; 0 for the root
};

// Hands the offset of each used slot of `dir` (live or deleted), in
// directory order, to `visit`, which returns false to stop at that slot.
// The root gives exactly what WalkRootEntries gives. A subdirectory gives
// every slot of every cluster of its chain, as ChainWalker follows it; a
// cluster that does not lie whole inside the area ends the walk as broken.
template <class Visit>
DirWalkEnd WalkDirectory(const ConstVolume& vol, DirRef dir, Visit visit) {
    DirWalkEnd end;
    if (dir.IsRoot()) {
        const RootWalkEnd root = WalkRootEntries(vol, visit);
        end.index = root.index;
        end.offset = root.offset;
        end.neverUsed = root.neverUsed;
        return end;
    }
    const uint32_t slotsPerCluster = static_cast<uint32_t>(vol.layout.clusterBytes / kDirEntrySize);
    ChainWalker walk(vol, dir.cluster);
    for (; walk.State() == ChainState::kCluster; walk.Advance()) {
        end.lastCluster = walk.Cluster();
        const uint64_t first = vol.layout.ClusterOffset(walk.Cluster());
        if (first + vol.layout.clusterBytes > vol.length) {
            end.offset = 0;
            end.broken = true;
            return end;
        }
        for (uint32_t slot = 0; slot < slotsPerCluster; ++slot, ++end.index) {
            end.offset = static_cast<uint32_t>(first + uint64_t{slot} * kDirEntrySize);
            if (vol.area[end.offset + kDirName] == kEntryNeverUsed) {
                end.neverUsed = true;
                return end;
            }
            if (!visit(end.offset)) {
                return end;
            }
        }
    }
    end.offset = 0;
    end.broken = walk.State() == ChainState::kBroken;
    return end;
}

}  // namespace vk
