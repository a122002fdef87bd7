// Room for a new entry in any directory, and what writing it changes. A
// subdirectory with no free slot grows by one zeroed cluster; the root has a
// fixed size and never grows. Finding the room writes nothing, so a caller
// can save every byte the write will change before it makes it.
#pragma once

#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "engine/common/result.h"
#include "engine/core/layout.h"
#include "engine/fat/dir/dir_walk.h"
#include "engine/fat/table/fat12.h"
#include "engine/fat/dir/short_names.h"
#include "engine/fat/table/volume.h"

namespace vk {

// Where a new entry of a directory goes.
struct NewSlot {
    uint32_t offset = 0;       // the slot, from the boot sector
    uint32_t growCluster = 0;  // not 0: the directory first gains this cluster, whose first slot `offset` is
    uint32_t tailCluster = 0;  // with growCluster: the directory's last cluster, which will link to it

    // What PrepareSlot changes, and the slot itself.
    WriteRanges Writes(const Layout& layout) const;
};

// Why a directory has no slot for a new entry.
enum class SlotRoom {
    kFree,            // there is a slot
    kRootFull,        // every root slot is in use
    kRootCut,         // the image ends inside the root, and every slot before its end is in use
    kBroken,          // the subdirectory's chain breaks off, or leaves the area, before its end mark
    kNoCluster,       // a full subdirectory cannot grow: no cluster is free
    kClusterPastEnd,  // a full subdirectory cannot grow: the free cluster lies past the end of the image
};

// An entry found by its name, with its place in directory order.
struct NamedSlot {
    uint32_t offset = 0;  // from the boot sector; 0 when there is no such entry
    uint32_t index = 0;   // slots before it in directory order
};

// The slots of one directory, root or subdirectory, as one command fills
// it. The first use walks the directory once up to its first never-used
// slot, keeping every name and every deleted slot it meets; each new entry
// the command writes then moves that end on from where it was, so that n
// adds into one directory look at each slot once rather than n times. It
// chooses what a fresh walk would choose. Only entries reported through
// Filled may change the directory while it is in use; Forget makes the next
// use walk again.
class DirSlots {
public:
    explicit DirSlots(DirRef dir = kRootDir) : dir_(dir) {}
    DirRef Dir() const { return dir_; }

    // The live entry stored under `packed`, whatever kind (long-name parts
    // are not entries), as a walk meets it first.
    NamedSlot Find(const ConstVolume& vol, const PackedName& packed);
    // The slot for a new entry: the first never-used slot, else the first
    // deleted one, else (a subdirectory only) the first slot of the lowest
    // free cluster from `freeFrom` on that is none of `keep`. `scanned` is
    // the slots walked before the walk's end: the first never-used slot, or
    // the directory's last.
    SlotRoom Plan(const ConstVolume& vol, NewSlot& slot, uint32_t& scanned, uint32_t freeFrom = kFirstDataCluster,
                  const ClusterSet* keep = nullptr);
    // After the entry `packed` was written into `slot` as Plan gave it, its
    // growth made by PrepareSlot.
    void Filled(const ConstVolume& vol, const NewSlot& slot, const PackedName& packed);
    void Forget() { walked_ = false; }

private:
    void Start(const ConstVolume& vol);
    void Extend(const ConstVolume& vol);
    uint32_t SlotAt(const Layout& layout, uint32_t length, uint32_t index);
    void Walked(const ConstVolume& vol);

    DirRef dir_;
    bool walked_ = false;
    uint32_t next_ = 0;      // the next slot to look at, by its place in directory order
    uint32_t end_ = 0;       // that slot's offset when it is never used; 0 when the directory ran out
    bool broken_ = false;    // the directory ran out where its chain broke
    std::vector<uint32_t> chain_;  // a subdirectory's clusters, as ChainWalker follows them
    bool chainBroken_ = false;     // the chain ended in a broken link, not an end mark
    std::map<PackedName, NamedSlot> names_;
    std::map<uint32_t, uint32_t> deleted_;  // place in directory order -> offset
};

// The DirSlots of every directory one command adds to.
class CommandSlots {
public:
    DirSlots& In(DirRef dir) { return dirs_.try_emplace(dir.cluster, dir).first->second; }

private:
    std::map<uint32_t, DirSlots> dirs_;
};

// Finds the slot for a new entry of `dir`, writing nothing: the first
// never-used slot, else the first deleted one, else (a subdirectory only)
// the first slot of the lowest free cluster. `entryName` and `dirPath` name
// the entry and the directory in a failure: the root is full, no cluster is
// free, the free cluster lies past the end of the image, the
// subdirectory's chain is broken, or the FAT is FAT32 (this engine writes
// FAT12 and FAT16 only). A growth cluster is never one of `keep`.
Result PlanNewSlot(const ConstVolume& vol, DirRef dir, std::string_view dirPath, std::string_view entryName,
                   NewSlot& slot, const ClusterSet* keep = nullptr);

// What PlanNewSlot says of `room`: done for a free slot, else the failure
// that names the entry or the directory (a full or cut root alike is full).
Result SlotFailure(SlotRoom room, std::string_view dirPath, std::string_view entryName);

// Makes the planned slot ready: when the directory must grow, zeroes the new
// cluster, marks it the end of the chain and links the old last cluster to
// it. Writes nothing else; it cannot fail once PlanNewSlot succeeded on the
// same bytes.
void PrepareSlot(const Volume& vol, const NewSlot& slot);

// The slots of the long name in front of the short entry at `entryOffset` of
// `dir`, in directory order; they may span two clusters of a subdirectory.
// Empty when the entry has no long name.
std::vector<uint32_t> LongNameSlots(const ConstVolume& vol, DirRef dir, uint32_t entryOffset);

}  // namespace vk
