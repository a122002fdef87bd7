#include "engine/drive/read_disk.h"

#include <cstring>

#include "engine/common/bytes.h"
#include "engine/core/boot_sector.h"
#include "engine/core/document.h"
#include "engine/core/media_errors.h"
#include "engine/core/new_image.h"
#include "engine/drive/disk_job.h"
#include "engine/drive/sector_device.h"
#include "engine/ports/host_failure.h"
#include "engine/ports/progress.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"

namespace vk {
namespace {

Result MakeEmptyImage(ImageDocument& doc, uint32_t formatCode, unsigned bootTemplate) {
    Result made = CreateEmptyImage(doc, formatCode, bootTemplate);
    if (made.Done()) {
        CreateErrorList(doc.geometry.totalSectors, doc.errorList);
    }
    return made;
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
void CopySectors(SectorDevice& device, WindowRef progress, uint32_t first, Copy& copy) {
    for (uint32_t sector = first; sector < copy.sectors && !CancelRequested();) {
        UpdateProgress(progress, sector, copy.sectors);
        uint8_t* place = copy.image.data() + size_t{sector} * kDriveSectorSize;
        if (ReadSectors(device, place, sector, 1)) {
            ++sector;
            continue;
        }
        const Notice failed = HostErrorNotice(SectorText(kMsgSectorReadFailed, sector), device.lastError, {},
                                              Tone::kWarning);
        const Answer answer = Ask(failed, Choices::kAbortRetryIgnore, true);
        if (answer == Answer::kRetry) {
            continue;
        }
        if (answer == Answer::kIgnore) {
            MarkBadSector(copy.errorList, sector);  // ReadSectors left the sector zero
            ++sector;
            continue;
        }
        SetCancelRequested(true);
    }
}

Result AdoptCopy(ImageDocument& doc, uint32_t formatCode, Copy& copy) {
    doc.imageBuffer = std::move(copy.image);
    doc.imageSize = copy.sectors * kDriveSectorSize;
    doc.dataOffset = 0;
    doc.areaEnd = 0;
    doc.partitions = PartitionTable();
    doc.partition = 0;
    doc.imageFile.Close();
    doc.errorFile.Close();
    doc.fileName = std::string(LoadText(kStrUntitled));
    doc.readOnly = false;
    doc.modified = true;
    doc.errorList = std::move(copy.errorList);
    Result adopted = Done();
    if (formatCode != 0) {
        doc.geometry = FormatRow(formatCode);
        doc.geometryGuessed = false;
    } else {
        ParseBootSector(doc, adopted.notices);
    }
    return adopted;
}

}  // namespace

Result ReadDiskToImage(ImageDocument& doc, const NewImageRequest& request, SectorDevice& device) {
    if (request.copyFromDisk && request.warnBeforeReading &&
        Ask(TextNotice(kMsgReadDiskWarning, Tone::kQuestion), Choices::kYesNo, true) != Answer::kYes) {
        return Declined(false);
    }
    uint32_t formatCode = 0;
    if (request.chooseFormat) {
        const int32_t chosen = request.selectFormat ? request.selectFormat(request.selectContext)
                                                    : kNoFormatSelected;
        if (chosen < 0 || !IsFormatCode(static_cast<uint32_t>(chosen))) {
            return Declined(false);
        }
        formatCode = static_cast<uint32_t>(chosen);
    }
    if (!request.copyFromDisk) {
        return formatCode != 0 ? MakeEmptyImage(doc, formatCode, request.bootTemplate) : Declined(false);
    }

    device.readOnly = true;
    device.lastError = 0;
    device.written = false;
    if (!OpenDrive(device)) {
        SetCancelRequested(true);
        return Failure(HostFault(request.driveText.empty() ? DriveName(device) : request.driveText, device.lastError));
    }

    Copy copy;
    if (formatCode != 0) {
        copy.sectors = FormatRow(formatCode).totalSectors;
    }
    SetCancelRequested(false);
    ProgressHeader header{device.drive, copy.sectors * kDriveSectorSize};
    const WindowRef progress = OpenProgress(DiskJob::kReading, header);

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
            copy.error = HostCodeFor(HostFailure::kOutOfMemory);
        } else {
            CreateErrorList(copy.sectors, copy.errorList);
            uint32_t first = 0;
            if (readBootSector) {
                std::memcpy(copy.image.data(), bootSector, kDriveSectorSize);
                first = 1;
            }
            CopySectors(device, progress, first, copy);
        }
    }

    CloseDrive(device);
    CloseProgress(progress);
    if (copy.error == kUnsupportedFileSystemCode) {
        return Failure(FailureKind::kNotAnImage, TextNotice(kMsgUnsupportedFileSystem, Tone::kError, {copy.fileSystemType}));
    }
    if (copy.error != 0) {
        return Failure(HostFault({}, copy.error));
    }
    if (CancelRequested()) {
        return Declined(false);
    }
    return AdoptCopy(doc, formatCode, copy);
}

}  // namespace vk
