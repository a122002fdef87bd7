#include "engine/drive/read_disk.h"

#include <cstring>

#include "engine/common/bytes.h"
#include "engine/core/boot_sector.h"
#include "engine/core/document.h"
#include "engine/core/media_errors.h"
#include "engine/core/new_image.h"
#include "engine/drive/disk_job.h"
#include "engine/drive/sector_device.h"
#include "engine/fat/list_texts.h"
#include "engine/ports/progress.h"
#include "engine/ports/window_sync.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"

namespace vk {
namespace {

bool MakeEmptyImage(ImageDocument& doc, WindowRef owner, uint32_t formatCode, unsigned bootTemplate) {
    if (!CreateEmptyImage(doc, owner, formatCode, bootTemplate)) {
        return false;
    }
    UpdateTitle(doc);
    EnableExplorerList(true);
    FillList(doc);
    CreateErrorList(doc.geometry.totalSectors, doc.errorList);
    return true;
}

// What the copy loop leaves behind for the document.
struct Copy {
    ByteBlock image;
    ByteBlock errorList;
    uint32_t sectors = 0;
    uint32_t error = 0;
    std::string fileSystemType;
};

// Reads sectors `first` .. n-1 one by one; the user decides about each that fails.
void CopySectors(SectorDevice& device, WindowRef progress, WindowRef messageOwner, uint32_t first, Copy& copy) {
    for (uint32_t sector = first; sector < copy.sectors && !CancelRequested();) {
        UpdateProgress(progress, sector, copy.sectors);
        uint8_t* place = copy.image.data() + size_t{sector} * kDriveSectorSize;
        if (ReadSectors(device, place, sector, 1)) {
            ++sector;
            continue;
        }
        const int answer = ShowSystemError(messageOwner, SectorText(kMsgSectorReadFailed, sector), device.lastError,
                                           {}, kBoxAbortRetryIgnore | kIconWarning | kDefaultButton2);
        if (answer == kIdRetry) {
            continue;
        }
        if (answer == kIdIgnore) {
            MarkBadSector(copy.errorList, sector);  // ReadSectors left the sector zero
            ++sector;
            continue;
        }
        SetCancelRequested(true);
    }
}

void AdoptCopy(ImageDocument& doc, WindowRef owner, uint32_t formatCode, Copy& copy) {
    doc.imageBuffer = std::move(copy.image);
    doc.imageSize = copy.sectors * kDriveSectorSize;
    doc.dataOffset = 0;
    doc.imageFile.Close();
    doc.errorFile.Close();
    doc.fileName = std::string(LoadText(kStrUntitled));
    doc.readOnly = false;
    doc.modified = true;
    doc.errorList = std::move(copy.errorList);
    bool valid = true;
    if (formatCode != 0) {
        doc.geometry = FormatRow(formatCode);
    } else {
        valid = ParseBootSector(doc, owner, true);
    }
    UpdateTitle(doc);
    EnableExplorerList(true);
    FillList(doc);
    if (valid) {
        CheckBackupFat(doc, owner);
    }
}

}  // namespace

bool ReadDiskToImage(ImageDocument& doc, WindowRef owner, const NewImageRequest& request, SectorDevice& device) {
    if (request.copyFromDisk && request.warnBeforeReading &&
        ShowMessage(owner, kMsgReadDiskWarning, kBoxYesNo | kIconQuestion | kDefaultButton2) != kIdYes) {
        return false;
    }
    uint32_t formatCode = 0;
    if (request.chooseFormat) {
        const int32_t chosen = request.selectFormat ? request.selectFormat(owner, request.selectContext)
                                                    : kNoFormatSelected;
        if (chosen < 0 || !IsFormatCode(static_cast<uint32_t>(chosen))) {
            return false;
        }
        formatCode = static_cast<uint32_t>(chosen);
    }
    if (!request.copyFromDisk) {
        return formatCode != 0 && MakeEmptyImage(doc, owner, formatCode, request.bootTemplate);
    }

    device.readOnly = true;
    device.lastError = 0;
    device.written = false;
    if (!OpenDrive(device)) {
        ShowSystemError(owner, request.driveText.empty() ? DriveName(device) : request.driveText, device.lastError,
                        {}, kIconError);
        SetCancelRequested(true);
        return false;
    }

    Copy copy;
    if (formatCode != 0) {
        copy.sectors = FormatRow(formatCode).totalSectors;
    }
    SetCancelRequested(false);
    ProgressHeader header{device.drive, copy.sectors * kDriveSectorSize};
    const WindowRef progress = OpenProgress(owner, DiskJob::kReading, header);
    const WindowRef messageOwner = progress ? progress : owner;

    uint8_t bootSector[kDriveSectorSize] = {};
    const bool readBootSector = formatCode == 0;
    if (readBootSector) {
        ReadSectors(device, bootSector, 0, 1);
        copy.error = device.lastError;
        copy.fileSystemType = FileSystemTypeText(bootSector);
        copy.sectors = Load16(bootSector + kBpbTotalSectors);
        if (progress) {
            header.capacityBytes = copy.sectors * kDriveSectorSize;
            ShowDriveCapacity(progress, header);
        }
    }
    if (copy.error == 0) {
        if (copy.sectors == 0) {
            copy.error = kUnsupportedFileSystemCode;
        } else if (uint64_t{copy.sectors} * kDriveSectorSize > 0xFFFFFFFFull ||
                   !copy.image.Allocate(size_t{copy.sectors} * kDriveSectorSize)) {
            copy.error = win_error::kNotEnoughMemory;
        } else {
            CreateErrorList(copy.sectors, copy.errorList);
            uint32_t first = 0;
            if (readBootSector) {
                std::memcpy(copy.image.data(), bootSector, kDriveSectorSize);
                first = 1;
            }
            CopySectors(device, progress, messageOwner, first, copy);
        }
    }

    CloseDrive(device);
    CloseProgress(owner, progress);
    if (copy.error == kUnsupportedFileSystemCode) {
        ShowMessage(owner, kMsgUnsupportedFileSystem, kIconError, {copy.fileSystemType});
    } else if (copy.error != 0) {
        ShowSystemError(owner, {}, copy.error, {}, kIconError);
    }
    if (CancelRequested() || copy.error != 0) {
        return false;
    }
    AdoptCopy(doc, owner, formatCode, copy);
    return true;
}

}  // namespace vk
