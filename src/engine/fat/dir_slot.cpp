#include "engine/fat/dir_slot.h"

#include <cstring>
#include <deque>

#include "engine/fat/dir_check.h"
#include "engine/fat/fat12.h"
#include "engine/fat/long_names.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

// The place of a long-name entry in its run is its order byte without the
// run's last flag, so no run is longer than this.
constexpr uint32_t kLongestRun = kLongNameLastFlag - 1;

}  // namespace

WriteRanges NewSlot::Writes(const Layout& layout) const {
    WriteRanges ranges{{offset, kDirEntrySize}};
    if (growCluster != 0) {
        ranges.push_back(FatEntryBytes(layout, tailCluster));
        ranges.push_back(FatEntryBytes(layout, growCluster));
        ranges.push_back(ClusterBytes(layout, growCluster));
    }
    return ranges;
}

Result PlanNewSlot(const Layout& layout, const uint8_t* area, uint32_t length, DirRef dir, std::string_view dirPath,
                   std::string_view entryName, NewSlot& slot, const ClusterSet* keep) {
    slot = NewSlot{};
    if (!layout.IsFat12()) {
        return Failure(FailureKind::kRefused, TextNotice(kMsgChangeRefused, Tone::kError));
    }
    uint32_t firstDeleted = 0;
    const DirWalkEnd end = WalkDirectory(layout, area, length, dir, [&](uint32_t offset) {
        if (firstDeleted == 0 && area[offset + kDirName] == kEntryDeleted) firstDeleted = offset;
        return true;
    });
    if (end.broken) {
        return Failure(FailureKind::kDamaged, FolderFaultNotice(dirPath));
    }
    if (end.neverUsed || firstDeleted != 0) {
        slot.offset = end.neverUsed ? end.offset : firstDeleted;
        return Done();
    }
    if (dir.IsRoot()) {
        return Failure(FailureKind::kDiskFull, TextNotice(kMsgDirectoryFull, Tone::kError, {entryName}));
    }
    const uint32_t cluster = FindFreeCluster(layout, area, length, keep);
    if (cluster == 0) {
        return Failure(FailureKind::kDiskFull, TextNotice(kMsgDiskFull, Tone::kError));
    }
    if (layout.ClusterOffset(cluster) + layout.clusterBytes > length) {
        return Failure(FailureKind::kDamaged, TextNotice(kMsgImageTooSmall, Tone::kError));
    }
    slot.offset = static_cast<uint32_t>(layout.ClusterOffset(cluster));
    slot.growCluster = cluster;
    slot.tailCluster = end.lastCluster;
    return Done();
}

void PrepareSlot(const Layout& layout, uint8_t* area, uint32_t length, const NewSlot& slot) {
    if (slot.growCluster == 0) {
        return;
    }
    std::memset(area + layout.ClusterOffset(slot.growCluster), 0, static_cast<size_t>(layout.clusterBytes));
    WriteFatEntry(layout, area, length, slot.growCluster, kFatEnd);
    WriteFatEntry(layout, area, length, slot.tailCluster, slot.growCluster);
}

std::vector<uint32_t> LongNameSlots(const Layout& layout, const uint8_t* area, uint32_t length, DirRef dir,
                                    uint32_t entryOffset) {
    std::deque<uint32_t> before;  // the slots in front of the entry, as many as a run can take
    const DirWalkEnd end = WalkDirectory(layout, area, length, dir, [&](uint32_t offset) {
        if (offset == entryOffset) return false;
        before.push_back(offset);
        if (before.size() > kLongestRun) before.pop_front();
        return true;
    });
    if (end.offset != entryOffset || entryOffset == 0) {
        return {};
    }
    // Side by side, the slots read as one span, whichever clusters they lie in.
    std::vector<uint8_t> span((before.size() + 1) * kDirEntrySize);
    for (size_t i = 0; i < before.size(); ++i) {
        std::memcpy(span.data() + i * kDirEntrySize, area + before[i], kDirEntrySize);
    }
    std::memcpy(span.data() + before.size() * kDirEntrySize, area + entryOffset, kDirEntrySize);
    const uint32_t count = static_cast<uint32_t>(before.size());
    const uint32_t run = LongNameRunLength(span.data(), count + 1, count);
    return std::vector<uint32_t>(before.end() - run, before.end());
}

}  // namespace vk
