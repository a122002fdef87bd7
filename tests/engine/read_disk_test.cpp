#include <gtest/gtest.h>

#include <cstring>

#include "engine/common/bytes.h"
#include "engine/core/boot_sector.h"
#include "engine/core/media_errors.h"
#include "engine/drive/disk_job.h"
#include "engine/drive/read_disk.h"
#include "tests/engine/fake_drive.h"
#include "engine/strings/string_ids.h"
#include "tests/support/image_builder.h"
#include "tests/support/test_files.h"
#include "tests/support/win_codes.h"

namespace vk::test {
namespace {

constexpr unsigned kAskSectorFlags = kBoxAbortRetryIgnore | kIconWarning | kDefaultButton2;

int32_t ChooseF9(void*) { return 0xF9; }
int32_t ChooseNothing(void*) { return kNoFormatSelected; }

// A 720 KB disk whose every data sector carries its own number, so that a
// sector read into the wrong place shows.
FakeDisk Disk720() {
    FakeDisk disk;
    disk.bytes = MakeImage(0xF9);
    for (uint32_t s = 14; s < 1440; ++s) {
        Store16(disk.Sector(s), s);
    }
    return disk;
}

class ReadDisk : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        Progress().Reset();
        SetCancelRequested(false);
        request.copyFromDisk = true;
        request.driveText = "A: [WORK]";
    }
    // The OK of the new-image dialog: the job, its result shown, the backup FAT checked.
    bool Run(FakeDisk& disk) {
        SectorDevice device = FakeDevice(disk);
        return NewDocument(doc, TestOwner(), ReadDiskToImage(doc, request, device));
    }
    NewImageRequest request;
};

TEST_F(ReadDisk, CopiesA720KDiskSectorBySectorIntoAnUntitledModifiedDocument) {
    FakeDisk disk = Disk720();
    ASSERT_TRUE(Run(disk));
    EXPECT_EQ(ImageBytes(doc), disk.bytes);
    EXPECT_EQ(doc.imageSize, 737280u);
    EXPECT_EQ(doc.fileName, "Untitled");
    EXPECT_TRUE(doc.modified);
    EXPECT_FALSE(doc.readOnly);
    EXPECT_FALSE(doc.imageFile.IsOpen());
    EXPECT_EQ(doc.geometry.totalSectors, 1440u);
    EXPECT_EQ(doc.ErrorListSize(), 20u + 180u);
    EXPECT_FALSE(HasMediaErrors(doc));

    const auto reads = disk.Calls("read");
    ASSERT_EQ(reads.size(), 1440u);
    EXPECT_EQ(reads[0], "read 0+1");
    EXPECT_EQ(reads[1], "read 1+1");
    EXPECT_EQ(reads[1439], "read 1439+1");
    EXPECT_EQ(disk.calls.front(), "open ro");
    EXPECT_EQ(disk.calls.back(), "close");

    // The boot sector counts as read: the bar moves from sector 1, never to 100.
    const ProgressLog& log = Progress();
    ASSERT_EQ(log.updates.size(), 1439u);
    EXPECT_EQ(log.updates.front(), std::make_pair(1u, 1440u));
    EXPECT_EQ(log.updates.back(), std::make_pair(1439u, 1440u));
    EXPECT_EQ(log.Percents().back(), 99u);
    ASSERT_EQ(log.headers.size(), 2u);
    EXPECT_EQ(log.headers[0].capacityBytes, 0u) << "the capacity is not known before the boot sector";
    EXPECT_EQ(log.headers[1].capacityBytes, 737280u);
    EXPECT_EQ(log.job, DiskJob::kReading);
    EXPECT_EQ(log.closed, 1);
    EXPECT_TRUE(doc.IsOpen());
}

TEST_F(ReadDisk, RetryRepeatsTheSameSectorUntilItReads) {
    FakeDisk disk = Disk720();
    disk.badReads[700] = 2;
    script.SystemError(disk.failCode, "Disk sector 700 cannot be read!", kAskSectorFlags, kIdRetry)
        .SystemError(disk.failCode, "Disk sector 700 cannot be read!", kAskSectorFlags, kIdRetry);
    ASSERT_TRUE(Run(disk));
    const auto reads = disk.Calls("read");
    EXPECT_EQ(std::count(reads.begin(), reads.end(), "read 700+1"), 3);
    EXPECT_EQ(ImageBytes(doc), disk.bytes);
    EXPECT_FALSE(IsSectorMarked(doc.errorList, 700));
    for (const PromptRecord& r : script.Shown()) {
        EXPECT_EQ(r.owner, ProgressWindow()) << "sector questions belong to the progress window";
    }
}

TEST_F(ReadDisk, IgnoreLeavesZerosAndMarksTheSector) {
    FakeDisk disk = Disk720();
    std::memset(disk.Sector(5), 0x5A, 512);
    disk.badReads[5] = -1;
    script.SystemError(disk.failCode, "Disk sector 5 cannot be read!", kAskSectorFlags, kIdIgnore);
    ASSERT_TRUE(Run(disk));
    const Bytes image = ImageBytes(doc);
    EXPECT_EQ(Bytes(image.begin() + 2560, image.begin() + 3072), Bytes(512, 0));
    EXPECT_EQ(Bytes(image.begin() + 3072, image.end()), Bytes(disk.bytes.begin() + 3072, disk.bytes.end()));
    EXPECT_TRUE(IsSectorMarked(doc.errorList, 5));
    EXPECT_FALSE(IsSectorMarked(doc.errorList, 4));
    EXPECT_FALSE(IsSectorMarked(doc.errorList, 6));
    EXPECT_TRUE(doc.modified);
}

TEST_F(ReadDisk, AbortAndCancelDiscardTheCopy) {
    for (const bool abort : {true, false}) {
        SCOPED_TRACE(abort ? "Abort" : "Cancel");
        FakeDisk disk = Disk720();
        Progress().Reset();
        if (abort) {
            disk.badReads[300] = -1;
            script.SystemError(disk.failCode, "Disk sector 300 cannot be read!", kAskSectorFlags, kIdAbort);
        } else {
            Progress().cancelAtUpdate = 299;  // pressed while sector 300's progress shows
        }
        EXPECT_FALSE(Run(disk));
        EXPECT_FALSE(doc.IsOpen());
        EXPECT_TRUE(CancelRequested());
        const auto reads = disk.Calls("read");
        EXPECT_EQ(reads.back(), "read 300+1") << "nothing is read after the stop";
        EXPECT_EQ(disk.calls.back(), "close");
        EXPECT_EQ(Progress().closed, 1);
        EXPECT_TRUE(doc.fileName.empty());
    }
}

TEST_F(ReadDisk, ChosenFormatReadsItsSectorsWhateverTheBootSectorSays) {
    FakeDisk disk = Disk720();
    Store16(disk.Sector(0) + kBpbTotalSectors, 720);  // the disk claims 360 KB
    request.chooseFormat = true;
    request.selectFormat = ChooseF9;
    ASSERT_TRUE(Run(disk));
    EXPECT_EQ(disk.Calls("read").size(), 1440u);
    EXPECT_EQ(disk.Calls("read").front(), "read 0+1");
    EXPECT_EQ(doc.geometry, FormatRow(0xF9));
    EXPECT_EQ(Progress().headers.at(0).capacityBytes, 737280u);
    EXPECT_EQ(Progress().updates.front(), std::make_pair(0u, 1440u));
}

TEST_F(ReadDisk, ZeroTotalSectorsIsRefusedAsNotFat12) {
    FakeDisk disk = Disk720();
    Store16(disk.Sector(0) + kBpbTotalSectors, 0);
    std::memcpy(disk.Sector(0) + kBsFileSystemType, "FAT16   ", 8);
    script.Message(kMsgUnsupportedFileSystem, kIconError);
    EXPECT_FALSE(Run(disk));
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].inserts, std::vector<std::string>{"FAT16   "});
    EXPECT_EQ(script.Shown()[0].owner, TestOwner());
    EXPECT_EQ(disk.Calls("read").size(), 1u);
    EXPECT_FALSE(doc.IsOpen());
}

TEST_F(ReadDisk, UnreadableBootSectorShowsTheSystemErrorAlone) {
    FakeDisk disk = Disk720();
    disk.badReads[0] = -1;
    script.SystemError(disk.failCode, "", kIconError);
    EXPECT_FALSE(Run(disk));
    EXPECT_EQ(disk.Calls("read").size(), 1u) << "the boot sector gets no Abort/Retry/Ignore";
    EXPECT_FALSE(doc.IsOpen());
}

TEST_F(ReadDisk, DriveThatCannotBeOpenedNamesTheDriveListText) {
    FakeDisk disk = Disk720();
    disk.openError = test::win_code::kNotReady;
    script.SystemError(test::win_code::kNotReady, "A: [WORK]", kIconError);
    EXPECT_FALSE(Run(disk));
    EXPECT_TRUE(CancelRequested());
    EXPECT_EQ(Progress().opened, 0);
    EXPECT_EQ(disk.calls, std::vector<std::string>{"open ro"});
}

TEST_F(ReadDisk, WithoutProgressWindowTheQuestionsBelongToTheDialog) {
    FakeDisk disk = Disk720();
    disk.badReads[9] = 1;
    Progress().refuseWindow = true;
    script.SystemError(disk.failCode, "Disk sector 9 cannot be read!", kAskSectorFlags, kIdRetry);
    ASSERT_TRUE(Run(disk));
    EXPECT_EQ(script.Shown().at(0).owner, TestOwner());
}

TEST_F(ReadDisk, WarningOnThe9xFamilyAnsweredNoReadsNothing) {
    FakeDisk disk = Disk720();
    request.warnBeforeReading = true;
    script.Message(kMsgReadDiskWarning, kBoxYesNo | kIconQuestion | kDefaultButton2, kIdNo);
    EXPECT_FALSE(Run(disk));
    EXPECT_TRUE(disk.calls.empty());
}

TEST_F(ReadDisk, NoFormatChosenEndsQuietly) {
    FakeDisk disk = Disk720();
    request.chooseFormat = true;
    request.selectFormat = ChooseNothing;
    EXPECT_FALSE(Run(disk));
    EXPECT_TRUE(disk.calls.empty());
}

TEST_F(ReadDisk, EmptyImageOfTheChosenFormatIsNotModified) {
    FakeDisk disk(0);
    request.copyFromDisk = false;
    EXPECT_FALSE(Run(disk)) << "neither box checked: nothing to do";
    request.chooseFormat = true;
    request.selectFormat = ChooseF9;
    request.bootTemplate = kBootMsDos6;
    ASSERT_TRUE(Run(disk));
    EXPECT_TRUE(disk.calls.empty());
    EXPECT_EQ(ImageBytes(doc).size(), 737280u);
    EXPECT_EQ(std::memcmp(doc.Area() + kBsOemName, "MSDOS5.0", 8), 0);
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(doc.ErrorListSize(), 200u);
    EXPECT_TRUE(doc.IsOpen());
}

}  // namespace
}  // namespace vk::test
