#include "fat/add_file.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "common/bytes.h"
#include "core/document.h"
#include "fat/dir_entry.h"
#include "fat/directory.h"
#include "fat/fat12.h"
#include "fat/list_texts.h"
#include "fat/root_directory.h"
#include "fat/short_names.h"
#include "ports/host_text.h"
#include "ports/platform_codes.h"
#include "ports/prompts.h"
#include "ports/window_sync.h"
#include "strings/string_ids.h"

namespace vk {
namespace {

// The host bits an entry keeps: read-only, hidden, system, volume, directory, archive.
constexpr uint32_t kEntryAttributeMask = 0x3F;
// Stamp of host files whose time no DOS date can hold: 1980-01-01 00:00:00.
constexpr DosDateTime kEarliestDosStamp = {(1 << 5) | 1, 0};

void SetGoOn(bool* goOn, bool value) {
    if (goOn != nullptr) {
        *goOn = value;
    }
}

// What the list shows is every live file and subdirectory in directory order,
// so the new item's index is the count of those before its slot.
int ListPosition(const Layout& layout, const uint8_t* area, uint32_t length, uint32_t slotOffset) {
    int position = 0;
    for (uint32_t i = 0;; ++i) {
        const uint32_t offset = RootEntryOffset(layout, length, i);
        if (offset == 0 || offset >= slotOffset) {
            return position;
        }
        const uint8_t* e = area + offset;
        if (e[kDirName] == kEntryNeverUsed) {
            return position;
        }
        if (e[kDirName] != kEntryDeleted && !(e[kDirAttr] & kAttrVolume)) {
            ++position;
        }
    }
}

bool IsListed(const uint8_t* entry) { return !(entry[kDirAttr] & kAttrVolume); }

void StampEntry(uint8_t* entry, const HostFindData& found, uint32_t size) {
    DosDateTime stamp;
    if (!HostTimeToLocalDos(found.lastWriteTime, stamp)) {
        stamp = kEarliestDosStamp;
    }
    Store16(entry + kDirTime, stamp.time);
    Store16(entry + kDirDate, stamp.date);
    Store32(entry + kDirSize, size);
    entry[kDirAttr] = static_cast<uint8_t>(found.attributes & kEntryAttributeMask);
}

}  // namespace

bool CopyFileToClusters(const Layout& layout, uint8_t* area, uint32_t length, const HostFile& file,
                        std::string_view hostPath, uint32_t slotOffset, uint32_t byteCount, bool* goOn) {
    uint8_t* slot = area + slotOffset;
    Store16(slot + kDirFirstCluster, 0);
    uint32_t remaining = byteCount;
    uint32_t previous = 0;
    while (remaining > 0) {
        const uint32_t cluster = FindFreeCluster(layout, area, length);
        if (cluster == 0) {
            ShowMessage(MainWindow(), kMsgDiskFull, kIconError);
            SetGoOn(goOn, false);
            return false;
        }
        const uint32_t piece = static_cast<uint32_t>(std::min<uint64_t>(remaining, layout.clusterBytes));
        const uint64_t offset = layout.ClusterOffset(cluster);
        if (offset + piece > length) {
            ShowMessage(MainWindow(), kMsgImageTooSmall, kIconError);
            SetGoOn(goOn, false);
            return false;
        }
        uint32_t done = 0;
        uint32_t error = ReadHostFile(file, area + offset, piece, done);
        if (error == win_error::kSuccess && done < piece) {
            error = win_error::kHandleEof;  // the file shrank since it was listed
        }
        if (error != win_error::kSuccess) {
            ShowSystemError(MainWindow(), hostPath, error, {}, kIconError);
            SetGoOn(goOn, false);
            return false;
        }
        if (previous != 0) {
            WriteFatEntry(layout, area, length, previous, cluster);
        } else {
            Store16(slot + kDirFirstCluster, cluster);
        }
        WriteFatEntry(layout, area, length, cluster, kFatEnd);
        previous = cluster;
        remaining -= piece;
    }
    return true;
}

bool AddHostFile(ImageDocument& doc, std::string_view hostPath, bool* goOn) {
    SetGoOn(goOn, true);
    WaitCursor wait;
    ByteBlock work;
    if (!work.Allocate(doc.imageSize)) {
        ShowMessage(MainWindow(), kMsgOutOfMemory, kIconError);
        SetGoOn(goOn, false);
        return false;
    }
    std::memcpy(work.data(), doc.imageBuffer.data(), doc.imageSize);
    uint8_t* area = work.data() + doc.dataOffset;
    const uint32_t length = doc.AreaLength();
    const Layout layout = doc.GetLayout();

    HostFindData found;
    const uint32_t findError = FindHostFile(hostPath, found);
    if (findError != win_error::kSuccess) {
        ShowSystemError(MainWindow(), hostPath, findError, {}, kIconError);
        SetGoOn(goOn, false);
        return false;
    }
    const bool isFolder = (found.attributes & kHostDirectory) != 0;
    // No floppy holds 4 GiB; cutting the size to 32 bits would store a stump.
    if (found.size > UINT32_MAX) {
        ShowMessage(MainWindow(), kMsgDiskFull, kIconError);
        SetGoOn(goOn, false);
        return false;
    }
    const uint32_t size = isFolder ? 0 : static_cast<uint32_t>(found.size);

    std::string displayName = MakeShortName(found);
    HostUpperCase(displayName);
    const PackedName packed = PackShortName(displayName);

    const SlotResult slot = FindEntrySlot(layout, area, length, displayName, packed, false);
    SetGoOn(goOn, slot.goOn);
    if (!slot.hasSlot) {
        return false;
    }
    uint8_t* entry = area + slot.slotOffset;
    const bool replacedListed = slot.found && IsListed(entry);
    if (slot.found) {
        FreeChain(layout, area, length, slot.slotOffset);
    }
    std::memcpy(entry + kDirName, packed.data(), kDirFullNameLength);

    if (isFolder) {
        // No data and no dot entries are written: the entry owns no clusters.
        Store16(entry + kDirFirstCluster, 0);
    } else {
        HostFile file;
        const uint32_t openError =
            OpenHostFile(hostPath, kAccessRead, kShareRead, Disposition::kOpenExisting, 0, file);
        if (openError != win_error::kSuccess) {
            ShowSystemError(MainWindow(), hostPath, openError, {}, kIconError);
            SetGoOn(goOn, false);
            return false;
        }
        if (!CopyFileToClusters(layout, area, length, file, hostPath, slot.slotOffset, size, goOn)) {
            return false;
        }
    }
    StampEntry(entry, found, size);

    std::memcpy(doc.imageBuffer.data(), work.data(), doc.imageSize);
    doc.modified = true;
    if (replacedListed) {
        RefreshList();
    } else {
        AddListItem(doc, slot.slotOffset, ListPosition(layout, doc.Area(), length, slot.slotOffset));
    }
    return true;
}

bool AddFiles(ImageDocument& doc, const std::vector<std::string>& paths) {
    if (paths.size() == 1) {
        return AddHostFile(doc, paths.front(), nullptr);
    }
    bool any = false;
    for (const std::string& path : paths) {
        bool goOn = true;
        any = AddHostFile(doc, path, &goOn) || any;
        if (!goOn) {
            break;
        }
    }
    return any;
}

}  // namespace vk
