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

void DirSlots::Start(const Layout& layout, const uint8_t* area, uint32_t length) {
    walked_ = true;
    next_ = 0;
    end_ = 0;
    broken_ = false;
    chain_.clear();
    chainBroken_ = false;
    names_.clear();
    deleted_.clear();
    if (!dir_.IsRoot()) {
        ChainWalker walk(layout, area, length, dir_.cluster);
        for (; walk.State() == ChainState::kCluster; walk.Advance()) chain_.push_back(walk.Cluster());
        chainBroken_ = walk.State() == ChainState::kBroken;
    }
    Extend(layout, area, length);
}

// The offset of slot `index` in directory order, 0 past the directory's
// end; a cluster that does not lie whole inside the area breaks the chain there.
uint32_t DirSlots::SlotAt(const Layout& layout, uint32_t length, uint32_t index) {
    if (dir_.IsRoot()) {
        return RootEntryOffset(layout, length, index);
    }
    const uint32_t perCluster = static_cast<uint32_t>(layout.clusterBytes / kDirEntrySize);
    const size_t at = perCluster == 0 ? chain_.size() : index / perCluster;
    if (at >= chain_.size()) {
        broken_ = chainBroken_;
        return 0;
    }
    const uint64_t first = layout.ClusterOffset(chain_[at]);
    if (first + layout.clusterBytes > length) {
        broken_ = true;
        return 0;
    }
    return static_cast<uint32_t>(first + uint64_t{index % perCluster} * kDirEntrySize);
}

// Walks on from slot next_ to the first never-used slot or the directory's end.
void DirSlots::Extend(const Layout& layout, const uint8_t* area, uint32_t length) {
    for (;; ++next_) {
        end_ = SlotAt(layout, length, next_);
        if (end_ == 0 || area[end_ + kDirName] == kEntryNeverUsed) return;
        const uint8_t* e = area + end_;
        if (e[kDirName] == kEntryDeleted) {
            deleted_.emplace(next_, end_);
        } else if (!IsLongNameEntry(e)) {
            PackedName name;
            std::memcpy(name.data(), e + kDirName, kDirFullNameLength);
            names_.emplace(name, NamedSlot{end_, next_});
        }
    }
}

// Starts the walk when there is none, or when the directory no longer
// holds what the walk saw where it matters: its end, its first deleted slot.
void DirSlots::Walked(const Layout& layout, const uint8_t* area, uint32_t length) {
    const bool stale = walked_ && ((end_ != 0 && area[end_ + kDirName] != kEntryNeverUsed) ||
                                   (!deleted_.empty() && area[deleted_.begin()->second + kDirName] != kEntryDeleted));
    if (!walked_ || stale) Start(layout, area, length);
}

NamedSlot DirSlots::Find(const Layout& layout, const uint8_t* area, uint32_t length, const PackedName& packed) {
    Walked(layout, area, length);
    auto it = names_.find(packed);
    if (it != names_.end() && std::memcmp(area + it->second.offset + kDirName, packed.data(), kDirFullNameLength) != 0) {
        Start(layout, area, length);
        it = names_.find(packed);
    }
    return it == names_.end() ? NamedSlot{} : it->second;
}

SlotRoom DirSlots::Plan(const Layout& layout, const uint8_t* area, uint32_t length, NewSlot& slot, uint32_t& scanned,
                        uint32_t freeFrom, const ClusterSet* keep) {
    Walked(layout, area, length);
    slot = NewSlot{};
    scanned = next_;
    if (broken_) {
        return SlotRoom::kBroken;
    }
    if (end_ != 0 || !deleted_.empty()) {
        slot.offset = end_ != 0 ? end_ : deleted_.begin()->second;
        return SlotRoom::kFree;
    }
    if (dir_.IsRoot()) {
        return next_ >= layout.rootEntries ? SlotRoom::kRootFull : SlotRoom::kRootCut;
    }
    const uint32_t cluster = FindFreeClusterFrom(layout, area, length, freeFrom, keep);
    if (cluster == 0) {
        return SlotRoom::kNoCluster;
    }
    if (layout.ClusterOffset(cluster) + layout.clusterBytes > length) {
        return SlotRoom::kClusterPastEnd;
    }
    slot.offset = static_cast<uint32_t>(layout.ClusterOffset(cluster));
    slot.growCluster = cluster;
    slot.tailCluster = chain_.empty() ? 0 : chain_.back();
    return SlotRoom::kFree;
}

void DirSlots::Filled(const Layout& layout, const uint8_t* area, uint32_t length, const NewSlot& slot,
                      const PackedName& packed) {
    if (!walked_) return;
    if (slot.growCluster != 0) {
        chain_.push_back(slot.growCluster);
        end_ = slot.offset;
    }
    if (slot.offset == end_ && end_ != 0) {
        names_.emplace(packed, NamedSlot{end_, next_});
        ++next_;
        Extend(layout, area, length);
        return;
    }
    if (!deleted_.empty() && deleted_.begin()->second == slot.offset) {
        names_.emplace(packed, NamedSlot{slot.offset, deleted_.begin()->first});
        deleted_.erase(deleted_.begin());
        return;
    }
    Forget();
}

Result PlanNewSlot(const Layout& layout, const uint8_t* area, uint32_t length, DirRef dir, std::string_view dirPath,
                   std::string_view entryName, NewSlot& slot, const ClusterSet* keep) {
    slot = NewSlot{};
    if (!layout.IsFat12()) {
        return Failure(TextNotice(kMsgChangeRefused, Tone::kError));
    }
    DirSlots slots(dir);
    uint32_t scanned = 0;
    return SlotFailure(slots.Plan(layout, area, length, slot, scanned, kFirstDataCluster, keep), dirPath, entryName);
}

Result SlotFailure(SlotRoom room, std::string_view dirPath, std::string_view entryName) {
    switch (room) {
        case SlotRoom::kFree:
            return Done();
        case SlotRoom::kBroken:
            return Failure(FolderFaultNotice(dirPath));
        case SlotRoom::kRootFull:
        case SlotRoom::kRootCut:
            return Failure(TextNotice(kMsgDirectoryFull, Tone::kError, {entryName}));
        case SlotRoom::kNoCluster:
            return Failure(TextNotice(kMsgDiskFull, Tone::kError));
        case SlotRoom::kClusterPastEnd:
            break;
    }
    return Failure(TextNotice(kMsgImageTooSmall, Tone::kError));
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
