#include "engine/fat/dir/dir_slot.h"

#include <cstring>
#include <deque>

#include "engine/fat/dir/dir_check.h"
#include "engine/fat/table/fat12.h"
#include "engine/fat/dir/long_names.h"
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

void DirSlots::Start(const ConstVolume& vol) {
    walked_ = true;
    next_ = 0;
    end_ = 0;
    broken_ = false;
    chain_.clear();
    chainBroken_ = false;
    names_.clear();
    deleted_.clear();
    if (!dir_.IsRoot()) {
        ChainWalker walk(vol, dir_.cluster);
        for (; walk.State() == ChainState::kCluster; walk.Advance()) chain_.push_back(walk.Cluster());
        chainBroken_ = walk.State() == ChainState::kBroken;
    }
    Extend(vol);
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
void DirSlots::Extend(const ConstVolume& vol) {
    for (;; ++next_) {
        end_ = SlotAt(vol.layout, vol.length, next_);
        if (end_ == 0 || vol.area[end_ + kDirName] == kEntryNeverUsed) return;
        const uint8_t* e = vol.area + end_;
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
void DirSlots::Walked(const ConstVolume& vol) {
    const bool endTaken = end_ != 0 && vol.area[end_ + kDirName] != kEntryNeverUsed;
    const bool deletedTaken = !deleted_.empty() && vol.area[deleted_.begin()->second + kDirName] != kEntryDeleted;
    const bool stale = walked_ && (endTaken || deletedTaken);
    if (!walked_ || stale) Start(vol);
}

NamedSlot DirSlots::Find(const ConstVolume& vol, const PackedName& packed) {
    Walked(vol);
    auto it = names_.find(packed);
    if (it != names_.end() &&
        std::memcmp(vol.area + it->second.offset + kDirName, packed.data(), kDirFullNameLength) != 0) {
        Start(vol);
        it = names_.find(packed);
    }
    return it == names_.end() ? NamedSlot{} : it->second;
}

SlotRoom DirSlots::Plan(const ConstVolume& vol, NewSlot& slot, uint32_t& scanned, uint32_t freeFrom,
                        const ClusterSet* keep) {
    Walked(vol);
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
        return next_ >= vol.layout.rootEntries ? SlotRoom::kRootFull : SlotRoom::kRootCut;
    }
    const uint32_t cluster = FindFreeClusterFrom(vol, freeFrom, keep);
    if (cluster == 0) {
        return SlotRoom::kNoCluster;
    }
    if (!vol.ClusterInBounds(cluster)) {
        return SlotRoom::kClusterPastEnd;
    }
    slot.offset = static_cast<uint32_t>(vol.layout.ClusterOffset(cluster));
    slot.growCluster = cluster;
    slot.tailCluster = chain_.empty() ? 0 : chain_.back();
    return SlotRoom::kFree;
}

void DirSlots::Filled(const ConstVolume& vol, const NewSlot& slot, const PackedName& packed) {
    if (!walked_) return;
    if (slot.growCluster != 0) {
        chain_.push_back(slot.growCluster);
        end_ = slot.offset;
    }
    if (slot.offset == end_ && end_ != 0) {
        names_.emplace(packed, NamedSlot{end_, next_});
        ++next_;
        Extend(vol);
        return;
    }
    if (!deleted_.empty() && deleted_.begin()->second == slot.offset) {
        names_.emplace(packed, NamedSlot{slot.offset, deleted_.begin()->first});
        deleted_.erase(deleted_.begin());
        return;
    }
    Forget();
}

Result PlanNewSlot(const ConstVolume& vol, DirRef dir, std::string_view dirPath, std::string_view entryName,
                   NewSlot& slot, const ClusterSet* keep) {
    slot = NewSlot{};
    if (!vol.layout.IsWritableWidth()) {
        return Failure(FailureKind::kRefused, TextNotice(kMsgChangeRefused, Tone::kError));
    }
    DirSlots slots(dir);
    uint32_t scanned = 0;
    return SlotFailure(slots.Plan(vol, slot, scanned, kFirstDataCluster, keep), dirPath, entryName);
}

Result SlotFailure(SlotRoom room, std::string_view dirPath, std::string_view entryName) {
    switch (room) {
        case SlotRoom::kFree:
            return Done();
        case SlotRoom::kBroken:
            return Failure(FailureKind::kDamaged, FolderFaultNotice(dirPath));
        case SlotRoom::kRootFull:
        case SlotRoom::kRootCut:
            return Failure(FailureKind::kDiskFull, TextNotice(kMsgDirectoryFull, Tone::kError, {entryName}));
        case SlotRoom::kNoCluster:
            return Failure(FailureKind::kDiskFull, TextNotice(kMsgDiskFull, Tone::kError));
        case SlotRoom::kClusterPastEnd:
            break;
    }
    return Failure(FailureKind::kDamaged, TextNotice(kMsgImageTooSmall, Tone::kError));
}

void PrepareSlot(const Volume& vol, const NewSlot& slot) {
    if (slot.growCluster == 0) {
        return;
    }
    std::memset(vol.Cluster(slot.growCluster), 0, static_cast<size_t>(vol.layout.clusterBytes));
    vol.SetFatEntry(slot.growCluster, vol.layout.EndMark());
    vol.SetFatEntry(slot.tailCluster, slot.growCluster);
}

std::vector<uint32_t> LongNameSlots(const ConstVolume& vol, DirRef dir, uint32_t entryOffset) {
    std::deque<uint32_t> before;  // the slots in front of the entry, as many as a run can take
    const DirWalkEnd end = WalkDirectory(vol, dir, [&](uint32_t offset) {
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
        std::memcpy(span.data() + i * kDirEntrySize, vol.area + before[i], kDirEntrySize);
    }
    std::memcpy(span.data() + before.size() * kDirEntrySize, vol.area + entryOffset, kDirEntrySize);
    const uint32_t count = static_cast<uint32_t>(before.size());
    const uint32_t run = LongNameRunLength(span.data(), count + 1, count);
    return std::vector<uint32_t>(before.end() - run, before.end());
}

}  // namespace vk
