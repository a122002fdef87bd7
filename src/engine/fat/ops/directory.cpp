#include "engine/fat/ops/directory.h"

#include <algorithm>
#include <cstring>

#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/dir_ops.h"
#include "engine/fat/dir/long_names.h"
#include "engine/fat/dir/root_directory.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

bool IsLabelSlot(const uint8_t* e) { return (e[kDirAttr] & kAttrVolume) && !IsLongNameEntry(e); }

}  // namespace

SlotResult FindEntrySlot(const ConstVolume& vol, DirSlots& slots, std::string_view displayName,
                         const PackedName& packed, bool quiet, bool force, uint32_t freeFrom,
                         const ClusterSet* keep, ItemQuestion* replace) {
    SlotResult result;
    const NamedSlot named = slots.Find(vol, packed);
    if (named.offset != 0) {
        result.found = true;
        result.scanned = named.index;
        const ItemQuestion::Reply reply =
            quiet || force ? ItemQuestion::Reply::kYes
                           : AskAboutItem(replace, TextNotice(kMsgReplaceEntry, Tone::kQuestion, {displayName}));
        if (reply == ItemQuestion::Reply::kYes) {
            result.hasSlot = true;
            result.slotOffset = named.offset;
            result.newSlot.offset = named.offset;
        }
        // Declining ends this file only; a multi-file caller goes on unless cancelled.
        result.goOn = reply != ItemQuestion::Reply::kStop;
        return result;
    }
    const DirRef dir = slots.Dir();
    SlotRoom room = SlotRoom::kFree;
    if (!dir.IsRoot() && !vol.layout.IsWritableWidth()) {
        if (!quiet) {
            result.failure = TextNotice(kMsgChangeRefused, Tone::kError);
            result.failureKind = FailureKind::kRefused;
            result.goOn = false;
        }
        return result;
    }
    room = slots.Plan(vol, result.newSlot, result.scanned, freeFrom, keep);
    if (room == SlotRoom::kFree) {
        result.hasSlot = true;
        result.slotOffset = result.newSlot.offset;
        return result;
    }
    if (quiet) {
        return result;
    }
    if (room == SlotRoom::kRootCut) {
        // The image ends inside its root directory: no slot can ever be had there.
        result.failure = TextNotice(kMsgImageTooSmall, Tone::kError);
        result.failureKind = FailureKind::kDamaged;
    } else {
        // The folder's path is only for a message, and finding it walks the tree.
        const std::string dirPath = room == SlotRoom::kBroken ? DirectoryPath(vol, dir) : "";
        Result failed = SlotFailure(room, dirPath, displayName);
        result.failure = std::move(failed.failure);
        result.failureKind = failed.kind;
    }
    result.goOn = false;
    return result;
}

SlotResult FindEntrySlot(const ConstVolume& vol, std::string_view displayName, const PackedName& packed, bool quiet,
                         bool force) {
    DirSlots slots(kRootDir);
    return FindEntrySlot(vol, slots, displayName, packed, quiet, force);
}

uint32_t RootEntryCount(const Layout& layout, uint32_t length) {
    if (layout.rootStart >= length) {
        return 0;
    }
    const uint64_t fit = (length - layout.rootStart) / kDirEntrySize;
    return static_cast<uint32_t>(std::min<uint64_t>(fit, layout.rootEntries));
}

void DeleteRootLongName(const Volume& vol, uint32_t entryOffset) {
    if (entryOffset < vol.layout.rootStart) {
        return;
    }
    const uint32_t index = static_cast<uint32_t>((entryOffset - vol.layout.rootStart) / kDirEntrySize);
    DeleteLongNameRun(vol.area + vol.layout.rootStart, RootEntryCount(vol.layout, vol.length), index);
}

uint32_t FindVolumeLabel(const ConstVolume& vol) {
    const RootWalkEnd end = WalkRootEntries(vol, [&](uint32_t offset) {
        const uint8_t* e = vol.area + offset;
        return e[kDirName] == kEntryDeleted || !IsLabelSlot(e);
    });
    return end.neverUsed ? 0 : end.offset;
}

bool StoreVolumeLabel(const Volume& vol, const uint8_t* newEntry) {
    uint32_t deletedSlot = 0;
    const RootWalkEnd end = WalkRootEntries(vol, [&](uint32_t offset) {
        const uint8_t* e = vol.area + offset;
        if (IsLabelSlot(e)) {
            return false;
        }
        if (e[kDirName] == kEntryDeleted && deletedSlot == 0) {
            deletedSlot = offset;
        }
        return true;
    });
    if (end.offset == 0) {
        // A directory without a never-used slot still has room in a deleted one.
        if (newEntry != nullptr && deletedSlot != 0) {
            std::memcpy(vol.area + deletedSlot, newEntry, kDirEntrySize);
            return true;
        }
        return false;
    }
    if (end.neverUsed) {
        if (newEntry != nullptr) {
            std::memcpy(vol.area + (deletedSlot != 0 ? deletedSlot : end.offset), newEntry, kDirEntrySize);
        }
        return true;
    }
    uint8_t* e = vol.area + end.offset;
    if (e[kDirName] != kEntryDeleted) {
        DeleteRootLongName(vol, end.offset);
    }
    if (newEntry != nullptr) {
        std::memcpy(e, newEntry, kDirEntrySize);
    } else {
        e[kDirName] = kEntryDeleted;
    }
    return true;
}

}  // namespace vk
