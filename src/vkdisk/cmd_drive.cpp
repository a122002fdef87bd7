// vkdisk read and write: a disk into a new image, an image onto a disk.
#include <csignal>
#include <cstdlib>
#include <string>

#include "vkdisk/command_support.h"
#include "vkdisk/console_ports.h"
#include "vkdisk/console_progress.h"
#include "engine/core/media_errors.h"
#include "engine/drive/disk_job.h"
#include "engine/drive/read_disk.h"
#include "engine/drive/sector_device.h"
#include "engine/drive/write_disk.h"
#include "engine/ports/host_files.h"
#ifdef _WIN32
#include "win32/drive/drive_backend.h"
#else
#include "posix/file_drive.h"
#endif

namespace vk::cli {
namespace {

const char kReadUsage[] =
    "usage: vkdisk read DEVICE IMAGE [--format CODE] [--ignore-errors] [--force]\n"
    "\n"
    "Reads a disk sector by sector into a new image file. DEVICE is a floppy\n"
    "drive (A: on Windows; a device node such as /dev/fd0 elsewhere, where an\n"
    "image file may stand for a disk too). Without --format the disk's boot\n"
    "sector gives its size; with it, exactly the sectors of format CODE (see\n"
    "'vkdisk new --help') are read. A sector that cannot be read is asked\n"
    "about (abort, retry, ignore), or ignored with --ignore-errors; ignored\n"
    "sectors stay zero and are listed in the image's .der file. An existing\n"
    "IMAGE, or an existing .der file beside it, is only replaced with --force.\n"
    "Ctrl+C stops the copy.\n";

const char kWriteUsage[] =
    "usage: vkdisk write IMAGE DEVICE [--format-disk] [--fast] [--ignore-errors]\n"
    "\n"
    "Writes the image's sectors onto a disk, from the boot sector on.\n"
    "--format-disk formats every track first; --fast writes up to a track at\n"
    "a time. A sector that cannot be written is asked about (abort, retry,\n"
    "ignore), or skipped with --ignore-errors. The exit code is 1 when the\n"
    "disk did not receive the whole image. Ctrl+C stops the copy.\n";

extern "C" void OnInterrupt(int) { SetCancelRequested(true); }

int32_t ChosenFormat(void* context) { return static_cast<int32_t>(*static_cast<uint32_t*>(context)); }

// The device a command names, with the back end of this system.
struct Drive {
    SectorDevice device;
#ifndef _WIN32
    FileDriveContext* file = nullptr;  // the device's own, set by PrepareDrive
#endif
};

bool PrepareDrive(const std::string& name, Drive& drive) {
#ifdef _WIN32
    const bool letter = (name.size() == 1 || (name.size() == 2 && name[1] == ':')) && std::isalpha(
                                                                                           static_cast<unsigned char>(name[0]));
    if (!letter) {
        Complain("'" + name + "' is no drive; name a drive letter such as A:");
        return false;
    }
    drive.device.drive = static_cast<uint32_t>(std::toupper(static_cast<unsigned char>(name[0])) - 'A');
    drive.device.backend = &Win32DriveBackend();
    SetProgressDeviceName(DriveName(drive.device));
#else
    drive.file = &UseFileDrive(drive.device, name);
    SetProgressDeviceName(name);
#endif
    return true;
}

void CommonDriveOptions(const ParsedArgs& parsed) {
    if (parsed.Has("--ignore-errors")) {
        SetSectorErrorAnswer(Answer::kIgnore);
    }
    SetCancelRequested(false);
    std::signal(SIGINT, OnInterrupt);
}

uint32_t CountMarked(const ImageDocument& doc) {
    uint32_t count = 0;
    for (uint32_t s = 0; s < doc.geometry.totalSectors; ++s) {
        count += IsSectorMarked(doc.errorList, s) ? 1 : 0;
    }
    return count;
}

}  // namespace

int CmdRead(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, {{"--force", "-f", "--ignore-errors"}, {"--format"}}, kReadUsage, 2, 2, parsed,
                        exitCode)) {
        return exitCode;
    }
    uint32_t code = 0;
    if (!parsed.Value("--format").empty() && !ParseFormatCode(parsed.Value("--format"), code)) {
        Complain("unknown format code '" + parsed.Value("--format") + "'");
        return kExitUsage;
    }
    const std::string& imagePath = parsed.positional[1];
    const bool force = parsed.Has("--force") || parsed.Has("-f");
    HostFindData existing;
    if (!force && FindHostFile(imagePath, existing) == 0) {
        Complain(imagePath + " exists; use --force to replace it");
        return kExitFailure;
    }
    bool errorFileExisted = false;
    if (!ErrorFileMayGo(imagePath, force, errorFileExisted)) {
        return kExitFailure;
    }
    Drive drive;
    if (!PrepareDrive(parsed.positional[0], drive)) {
        return kExitUsage;
    }
    CommonDriveOptions(parsed);

    NewImageRequest request;
    request.copyFromDisk = true;
    request.chooseFormat = code != 0;
    request.selectFormat = ChosenFormat;
    request.selectContext = &code;
    ImageDocument& doc = Document();
    if (!Shown(ReadDiskToImage(doc, request, drive.device))) {
        if (CancelRequested()) {
            Complain("stopped; no image was written");
        }
        return kExitFailure;
    }
    CheckBackupFat(doc);
    if (!Shown(SaveImageToPath(doc, imagePath))) {
        return kExitFailure;
    }
    TellErrorFileFate(imagePath, errorFileExisted);
    const uint32_t bad = CountMarked(doc);
    if (bad != 0) {
        Complain(std::to_string(bad) + " sector(s) could not be read; they are zero in the image and listed in " +
                 ErrorFileName(imagePath));
    }
    CloseDocument();
    return kExitOk;
}

int CmdWrite(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, ImageCommand({{"--format-disk", "--fast", "--ignore-errors"}, {}}), kWriteUsage, 2, 2, parsed,
                        exitCode)) {
        return exitCode;
    }
    Drive drive;
    if (!PrepareDrive(parsed.positional[1], drive)) {
        return kExitUsage;
    }
    ImageDocument& doc = Document();
    if (!OpenDocument(parsed, true)) {
        return kExitFailure;
    }
#ifndef _WIN32
    drive.file->heads = doc.geometry.heads;
#endif
    CommonDriveOptions(parsed);
    if (const std::optional<Notice> warning = MediaErrorsWarning(doc)) {
        Tell(*warning);
    }
    WriteDiskRequest request;
    request.formatDisk = parsed.Has("--format-disk");
    request.fastWrite = parsed.Has("--fast");
    WriteDiskOutcome outcome;
    const bool ok = Shown(WriteImageToDisk(doc, request, drive.device, &outcome));
    CloseDocument();
    if (!ok) {
        return kExitFailure;
    }
    if (outcome.stopped) {
        Complain("stopped; the disk holds only part of the image");
        return kExitFailure;
    }
    if (outcome.skippedSectors != 0) {
        Complain(std::to_string(outcome.skippedSectors) + " sector(s) were not written");
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace vk::cli
