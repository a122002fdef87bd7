#include "engine/fat/directory.h"

#include <algorithm>
#include <cstring>

#include "engine/fat/dir_entry.h"
#include "engine/fat/fs_options.h"
#include "engine/fat/long_names.h"
#include "engine/fat/root_directory.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

bool IsLabelSlot(const uint8_t* e) { return (e[kDirAttr] & kAttrVolume) && !IsLongNameEntry(e); }

}  // namespace

SlotResult FindEntrySlot(const Layout& layout, const uint8_t* area, uint32_t length, std::string_view displayName,
                         const PackedName& packed, bool quiet) {
    SlotResult result;
    uint32_t deletedSlot = 0;
    const RootWalkEnd end = WalkRootEntries(layout, area, length, [&](uint32_t offset) {
        const uint8_t* e = area + offset;
        if (e[kDirName] == kEntryDeleted) {
            if (deletedSlot == 0) {
                deletedSlot = offset;
            }
            return true;
        }
        return std::memcmp(e + kDirName, packed.data(), kDirFullNameLength) != 0;
    });
    result.scanned = end.index;
    if (end.neverUsed) {
        result.hasSlot = true;
        result.slotOffset = end.offset;
        return result;
    }
    if (end.offset != 0) {
        result.found = true;
        const std::string name(displayName);
        if (quiet || FsOptions().forceSwitch ||
            Ask(TextNotice(kMsgReplaceEntry, Tone::kQuestion, {name}), Choices::kYesNo) == Answer::kYes) {
            result.hasSlot = true;
            result.slotOffset = end.offset;
        }
        // Declining ends this file only; a multi-file caller goes on.
        return result;
    }
    if (deletedSlot != 0) {
        result.hasSlot = true;
        result.slotOffset = deletedSlot;
        return result;
    }
    if (!quiet) {
        const std::string name(displayName);
        if (end.index >= layout.rootEntries) {
            result.failure = TextNotice(kMsgDirectoryFull, Tone::kError, {name});
            result.failureKind = FailureKind::kDiskFull;
        } else {
            // The image ends inside its root directory: no slot can ever be had there.
            result.failure = TextNotice(kMsgImageTooSmall, Tone::kError);
            result.failureKind = FailureKind::kDamaged;
        }
        result.goOn = false;
    }
    return result;
}

uint32_t RootEntryCount(const Layout& layout, uint32_t length) {
    if (layout.rootStart >= length) {
        return 0;
    }
    const uint64_t fit = (length - layout.rootStart) / kDirEntrySize;
    return static_cast<uint32_t>(std::min<uint64_t>(fit, layout.rootEntries));
}

void DeleteRootLongName(const Layout& layout, uint8_t* area, uint32_t length, uint32_t entryOffset) {
    if (entryOffset < layout.rootStart) {
        return;
    }
    const uint32_t index = static_cast<uint32_t>((entryOffset - layout.rootStart) / kDirEntrySize);
    DeleteLongNameRun(area + layout.rootStart, RootEntryCount(layout, length), index);
}

uint32_t FindVolumeLabel(const Layout& layout, const uint8_t* area, uint32_t length) {
    const RootWalkEnd end = WalkRootEntries(layout, area, length, [&](uint32_t offset) {
        const uint8_t* e = area + offset;
        return e[kDirName] == kEntryDeleted || !IsLabelSlot(e);
    });
    return end.neverUsed ? 0 : end.offset;
}

bool StoreVolumeLabel(const Layout& layout, uint8_t* area, uint32_t length, const uint8_t* newEntry) {
    uint32_t deletedSlot = 0;
    const RootWalkEnd end = WalkRootEntries(layout, area, length, [&](uint32_t offset) {
        const uint8_t* e = area + offset;
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
            std::memcpy(area + deletedSlot, newEntry, kDirEntrySize);
            return true;
        }
        return false;
    }
    if (end.neverUsed) {
        if (newEntry != nullptr) {
            std::memcpy(area + (deletedSlot != 0 ? deletedSlot : end.offset), newEntry, kDirEntrySize);
        }
        return true;
    }
    uint8_t* e = area + end.offset;
    if (e[kDirName] != kEntryDeleted) {
        DeleteRootLongName(layout, area, length, end.offset);
    }
    if (newEntry != nullptr) {
        std::memcpy(e, newEntry, kDirEntrySize);
    } else {
        e[kDirName] = kEntryDeleted;
    }
    return true;
}

}  // namespace vk
