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
    uint32_t index = 0;
    for (;; ++index) {
        const uint32_t offset = RootEntryOffset(layout, length, index);
        if (offset == 0) {
            break;
        }
        const uint8_t* e = area + offset;
        if (e[kDirName] == kEntryNeverUsed) {
            result.hasSlot = true;
            result.slotOffset = offset;
            result.scanned = index;
            return result;
        }
        if (e[kDirName] == kEntryDeleted) {
            if (deletedSlot == 0) {
                deletedSlot = offset;
            }
            continue;
        }
        if (std::memcmp(e + kDirName, packed.data(), kDirFullNameLength) != 0) {
            continue;
        }
        result.found = true;
        result.scanned = index;
        const std::string name(displayName);
        if (quiet || FsOptions().forceSwitch ||
            ShowMessage(MainWindow(), kMsgReplaceEntry, kBoxYesNo | kIconQuestion, {name}) == kIdYes) {
            result.hasSlot = true;
            result.slotOffset = offset;
        }
        // Declining ends this file only; a multi-file caller goes on.
        return result;
    }
    result.scanned = index;
    if (deletedSlot != 0) {
        result.hasSlot = true;
        result.slotOffset = deletedSlot;
        return result;
    }
    if (!quiet) {
        const std::string name(displayName);
        if (index >= layout.rootEntries) {
            ShowMessage(MainWindow(), kMsgDirectoryFull, kIconError, {name});
        } else {
            // The image ends inside its root directory: no slot can ever be had there.
            ShowMessage(MainWindow(), kMsgImageTooSmall, kIconError);
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
    for (uint32_t index = 0;; ++index) {
        const uint32_t offset = RootEntryOffset(layout, length, index);
        if (offset == 0) {
            return 0;
        }
        const uint8_t* e = area + offset;
        if (e[kDirName] == kEntryNeverUsed) {
            return 0;
        }
        if (e[kDirName] != kEntryDeleted && IsLabelSlot(e)) {
            return offset;
        }
    }
}

bool StoreVolumeLabel(const Layout& layout, uint8_t* area, uint32_t length, const uint8_t* newEntry) {
    uint32_t deletedSlot = 0;
    for (uint32_t index = 0;; ++index) {
        const uint32_t offset = RootEntryOffset(layout, length, index);
        if (offset == 0) {
            // A directory without a never-used slot still has room in a deleted one.
            if (newEntry != nullptr && deletedSlot != 0) {
                std::memcpy(area + deletedSlot, newEntry, kDirEntrySize);
                return true;
            }
            return false;
        }
        uint8_t* e = area + offset;
        if (e[kDirName] != kEntryNeverUsed && IsLabelSlot(e)) {
            if (e[kDirName] != kEntryDeleted) {
                DeleteRootLongName(layout, area, length, offset);
            }
            if (newEntry != nullptr) {
                std::memcpy(e, newEntry, kDirEntrySize);
            } else {
                e[kDirName] = kEntryDeleted;
            }
            return true;
        }
        if (e[kDirName] == kEntryDeleted) {
            if (deletedSlot == 0) {
                deletedSlot = offset;
            }
            continue;
        }
        if (e[kDirName] == kEntryNeverUsed) {
            if (newEntry != nullptr) {
                std::memcpy(area + (deletedSlot != 0 ? deletedSlot : offset), newEntry, kDirEntrySize);
            }
            return true;
        }
    }
}

}  // namespace vk
