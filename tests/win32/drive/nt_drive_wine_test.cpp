// The NT back end against a real raw volume: drive A: of the test prefix is
// an image file (see nt_drive_wine_test.sh), opened as "\\.\A:". A disk made
// by mkfs.fat and mcopy is read into a document whose files extract
// unchanged; images are written onto it byte for byte; formatting, which
// the system refuses, is reported with the drive's name and writes nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "engine/core/media_errors.h"
#include "engine/drive/disk_job.h"
#include "engine/drive/read_disk.h"
#include "engine/drive/write_disk.h"
#include "tests/engine/fake_drive.h"
#include "engine/fat/ops/extract.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/strings/string_ids.h"
#include "tests/support/image_builder.h"
#include "tests/support/test_files.h"
#include "win32/drive/drive_backend.h"
#include "tests/support/win_codes.h"

namespace vk::test {
namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

UINT CurrentErrorMode() {
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    return mode;
}

class NtDrive : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        backing = Env("DRIVE_TEST_BACKING");
        files = Env("DRIVE_TEST_FILES");
        if (backing.empty() || files.empty()) {
            GTEST_SKIP() << "drive A: is not mapped (run through nt_drive_wine_test.sh)";
        }
        ASSERT_TRUE(CopyFileA((files + "\\disk.img").c_str(), backing.c_str(), FALSE));
        pristine = ReadFile(backing);
        Progress().Reset();
        SetCancelRequested(false);
        device.drive = 0;
        device.backend = &NtDriveBackend();
    }
    std::string backing, files;
    Bytes pristine;
    SectorDevice device;
};

TEST_F(NtDrive, ReadsTheDiskIntoADocumentWhoseFilesExtractUnchanged) {
    NewImageRequest request;
    request.copyFromDisk = true;
    request.driveText = "A:";
    ASSERT_TRUE(NewDocument(doc, TestOwner(), ReadDiskToImage(doc, request, device)));
    EXPECT_EQ(ImageBytes(doc), pristine);
    EXPECT_EQ(doc.geometry.totalSectors, 1440u);
    EXPECT_TRUE(doc.modified);
    const std::vector<uint32_t> listed = ListedEntries(doc);
    ASSERT_EQ(listed.size(), 2u);
    for (const uint32_t entry : listed) {
        const std::string name = EntryDisplayName(doc.Area() + entry);
        const std::string out = dir.Path(name);
        ASSERT_TRUE(Shown(ExtractEntry(doc, entry, kReplaceSilently, out)).Done()) << name;
        EXPECT_EQ(ReadFile(out), ReadFile(files + "\\" + name)) << name;
    }
}

TEST_F(NtDrive, ReadingPastTheEndOfTheDiskIsASectorError) {
    // The boot sector claims 1441 sectors; the last one is not there.
    Bytes claim = pristine;
    Put16(claim, 0x13, 1441);
    WriteFile(backing, claim);
    NewImageRequest request;
    request.copyFromDisk = true;
    script.SystemError(test::win_code::kSectorNotFound, "Disk sector 1440 cannot be read!",
                       kBoxAbortRetryIgnore | kIconWarning | kDefaultButton2, kIdIgnore);
    ASSERT_TRUE(NewDocument(doc, TestOwner(), ReadDiskToImage(doc, request, device)));
    EXPECT_EQ(Bytes(doc.imageBuffer.data(), doc.imageBuffer.data() + 737280), claim);
    EXPECT_TRUE(IsSectorMarked(doc.errorList, 1440));
}

TEST_F(NtDrive, WritesAnImageByteForByteAlsoFromBehindACommentHeader) {
    for (const uint32_t header : {0u, 300u}) {
        SCOPED_TRACE(header);
        Bytes image = MakeImage(0xF9, kBootMsDos6);
        for (size_t i = 14 * 512; i < image.size(); i += 7) {
            image[i] = static_cast<uint8_t>(i / 7);
        }
        Bytes file(header, 'C');
        file.insert(file.end(), image.begin(), image.end());
        InstallImage(doc, file, header);
        doc.geometry = FormatRow(0xF9);
        WriteDiskRequest request;
        request.fastWrite = header != 0;
        ASSERT_TRUE(test::Shown(WriteImageToDisk(doc, request, device)));
        EXPECT_EQ(ReadFile(backing), image);
        doc.imageBuffer.Reset();
    }
}

TEST_F(NtDrive, FormattingThatTheSystemRefusesNamesTheDriveAndWritesNothing) {
    InstallImage(doc, MakeImage(0xF9));
    doc.geometry = FormatRow(0xF9);
    WriteDiskRequest request;
    request.formatDisk = true;
    // Wine formats no tracks: IOCTL_DISK_FORMAT_TRACKS answers "not supported".
    script.SystemError(test::win_code::kNotSupported, "A:", kIconError);
    EXPECT_FALSE(test::Shown(WriteImageToDisk(doc, request, device)));
    EXPECT_EQ(ReadFile(backing), pristine);
}

TEST_F(NtDrive, AMissingDriveCannotBeOpened) {
    device.drive = 'Q' - 'A';
    NewImageRequest request;
    request.copyFromDisk = true;
    request.driveText = "Q:";
    script.SystemError(test::win_code::kFileNotFound, "Q:", kIconError);
    EXPECT_FALSE(NewDocument(doc, TestOwner(), ReadDiskToImage(doc, request, device)));
}

}  // namespace
}  // namespace vk::test

namespace vk::test {
namespace {

TEST_F(NtDrive, CriticalErrorBoxesAreOffWhileTheDriveIsOpenAndTheModeBeforeComesBack) {
    const UINT before = SEM_NOOPENFILEERRORBOX;
    SetErrorMode(before);
    device.readOnly = true;
    ASSERT_TRUE(OpenDrive(device));
    EXPECT_EQ(CurrentErrorMode(), UINT{SEM_FAILCRITICALERRORS});
    EXPECT_TRUE(CloseDrive(device));
    EXPECT_EQ(CurrentErrorMode(), before) << "after the close";
    {
        SectorDevice dropped;
        dropped.backend = &NtDriveBackend();
        dropped.readOnly = true;
        ASSERT_TRUE(OpenDrive(dropped));
    }
    EXPECT_EQ(CurrentErrorMode(), before) << "after a device that went while open";
    device.drive = 'Q' - 'A';
    EXPECT_FALSE(OpenDrive(device));
    EXPECT_EQ(CurrentErrorMode(), before) << "after a failed open";
    SetErrorMode(0);
}

}  // namespace
}  // namespace vk::test
