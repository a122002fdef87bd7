#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/drive/sector_device.h"
#include "tests/engine/fake_drive.h"
#include "engine/ports/platform_codes.h"

namespace vk::test {
namespace {

// BIOS disk status bytes (AH after INT 13h, 25h or 26h), by what they say.
enum BiosStatus : uint8_t {
    kBiosOk = 0x00,
    kBiosBadCommand = 0x01,
    kBiosNoAddressMark = 0x02,
    kBiosWriteProtected = 0x03,
    kBiosSectorNotFound = 0x04,
    kBiosResetFailed = 0x05,
    kBiosDiskChanged = 0x06,
    kBiosParameterActivityFailed = 0x07,
    kBiosBadSectorFlag = 0x0A,
    kBiosBadTrackFlag = 0x0B,
    kBiosUnsupportedTrack = 0x0C,
    kBiosBadSectorCountOnFormat = 0x0D,
    kBiosControlDataMark = 0x0E,
    kBiosUncorrectableCrc = 0x10,
    kBiosCorrectedData = 0x11,
    kBiosSeekFailed = 0x40,
    kBiosTimeOut = 0x80,
    kBiosDriveNotReady = 0xAA,
    kBiosWriteFault = 0xCC,
};

struct BiosTrouble {
    const char* what;
    std::vector<uint8_t> statuses;
    uint32_t error;
};

// Every status that names one trouble, with the system error the user reads for it.
const BiosTrouble kBiosTroubles[] = {
    {"no trouble", {kBiosOk}, win_error::kSuccess},
    {"a request the BIOS does not know", {kBiosBadCommand}, win_error::kInvalidFunction},
    {"no disk to read the marks of", {kBiosNoAddressMark}, win_error::kNoMediaInDrive},
    {"a write-protected disk", {kBiosWriteProtected}, win_error::kWriteProtect},
    {"a sector the disk does not give",
     {kBiosSectorNotFound, kBiosBadSectorFlag, kBiosBadTrackFlag, kBiosBadSectorCountOnFormat},
     win_error::kSectorNotFound},
    {"a drive that will not reset", {kBiosResetFailed}, win_error::kDiskResetFailed},
    {"a disk changed under the job", {kBiosDiskChanged}, win_error::kMediaChanged},
    {"parameters the drive refuses", {kBiosParameterActivityFailed, kBiosControlDataMark},
     win_error::kInvalidParameter},
    {"a track or medium the drive cannot take", {kBiosUnsupportedTrack}, win_error::kInternalDbCorruption},
    {"data the checksum rejects", {kBiosUncorrectableCrc}, win_error::kCrc},
    {"data the BIOS had to correct", {kBiosCorrectedData}, win_error::kInvalidData},
    {"a head that cannot find its track", {kBiosSeekFailed}, win_error::kSeek},
    {"a drive that does not answer", {kBiosTimeOut, kBiosDriveNotReady}, win_error::kNotReady},
    {"a write the drive could not do", {kBiosWriteFault}, win_error::kWriteFault},
};

TEST(MapBiosStatus, EachTroubleReadsAsTheErrorThatNamesIt) {
    for (const BiosTrouble& trouble : kBiosTroubles) {
        for (const uint8_t status : trouble.statuses) {
            EXPECT_EQ(MapBiosStatus(status), trouble.error) << trouble.what << ", status " << std::hex << int{status};
        }
    }
}

// Whatever else a BIOS answers is a failure all the same, never a success.
TEST(MapBiosStatus, AnyOtherStatusIsAGeneralFailure) {
    std::vector<bool> named(256, false);
    for (const BiosTrouble& trouble : kBiosTroubles) {
        for (const uint8_t status : trouble.statuses) {
            named[status] = true;
        }
    }
    for (int status = 0; status < 256; ++status) {
        if (!named[static_cast<size_t>(status)]) {
            EXPECT_EQ(MapBiosStatus(static_cast<uint8_t>(status)), win_error::kGenFailure)
                << "status " << std::hex << status;
        }
        if (status != kBiosOk) {
            EXPECT_NE(MapBiosStatus(static_cast<uint8_t>(status)), win_error::kSuccess)
                << "status " << std::hex << status;
        }
    }
}

TEST(SectorDevice, OperationsWithoutHandleFailWithInvalidHandleAndLeaveWrittenClear) {
    FakeDisk disk(4);
    disk.openError = win_error::kNoMediaInDrive;
    SectorDevice device = FakeDevice(disk);
    EXPECT_FALSE(OpenDrive(device));
    EXPECT_EQ(device.lastError, win_error::kNoMediaInDrive);
    EXPECT_EQ(device.handle, kNoDriveHandle);

    uint8_t buffer[512];
    EXPECT_FALSE(ReadSectors(device, buffer, 0, 1));
    EXPECT_EQ(device.lastError, win_error::kInvalidHandle);
    EXPECT_FALSE(WriteSectors(device, buffer, 0, 1));
    EXPECT_EQ(device.lastError, win_error::kInvalidHandle);
    EXPECT_FALSE(FormatTrack(device, 5, 9, 0, 0));
    EXPECT_EQ(device.lastError, win_error::kInvalidHandle);
    EXPECT_FALSE(device.written);
    EXPECT_FALSE(CloseDrive(device));
    EXPECT_EQ(disk.calls, std::vector<std::string>{"open rw"}) << "nothing but the open reached the back end";
}

TEST(SectorDevice, FailedReadLeavesTheBufferZero) {
    FakeDisk disk(4);
    disk.badReads[2] = -1;
    SectorDevice device = FakeDevice(disk);
    device.readOnly = true;
    ASSERT_TRUE(OpenDrive(device));
    std::vector<uint8_t> buffer(2 * 512, 0xAA);
    EXPECT_FALSE(ReadSectors(device, buffer.data(), 1, 2));
    EXPECT_EQ(device.lastError, disk.failCode);
    EXPECT_EQ(buffer, std::vector<uint8_t>(2 * 512, 0));
    EXPECT_FALSE(device.written) << "reads never count as writes";
    EXPECT_TRUE(CloseDrive(device));
    EXPECT_EQ(disk.calls.back(), "close") << "a record only read closes without dismount";
    EXPECT_EQ(device.handle, kNoDriveHandle);
}

TEST(SectorDevice, FailedWriteOrFormatStillCountsAsWritten) {
    for (const bool format : {false, true}) {
        FakeDisk disk(4);
        disk.badWrites[0] = -1;
        disk.formatError = win_error::kNotSupported;
        SectorDevice device = FakeDevice(disk);
        ASSERT_TRUE(OpenDrive(device));
        uint8_t buffer[512] = {};
        const bool ok = format ? FormatTrack(device, 5, 9, 0, 0) : WriteSectors(device, buffer, 0, 1);
        EXPECT_FALSE(ok);
        EXPECT_EQ(device.lastError, format ? win_error::kNotSupported : disk.failCode);
        EXPECT_TRUE(device.written);
        EXPECT_TRUE(CloseDrive(device));
        EXPECT_EQ(disk.calls.back(), "close written") << "the system must forget the disk";
    }
}

TEST(SectorDevice, OpenClearsWrittenFromAnEarlierUse) {
    FakeDisk disk(1);
    SectorDevice device = FakeDevice(disk);
    device.written = true;
    ASSERT_TRUE(OpenDrive(device));
    EXPECT_FALSE(device.written);
    EXPECT_EQ(device.lastError, 0u);
}

TEST(SectorDevice, ADeviceStillOpenIsClosedWhenItGoes) {
    FakeDisk disk(1);
    {
        SectorDevice device = FakeDevice(disk);
        ASSERT_TRUE(OpenDrive(device));
        uint8_t buffer[512] = {};
        ASSERT_TRUE(WriteSectors(device, buffer, 0, 1));
    }
    EXPECT_EQ(disk.Calls("close"), std::vector<std::string>{"close written"});
}

TEST(SectorDevice, AMovedDeviceIsClosedOnceByItsNewOwner) {
    FakeDisk disk(1);
    {
        SectorDevice first = FakeDevice(disk);
        ASSERT_TRUE(OpenDrive(first));
        SectorDevice second(std::move(first));
        EXPECT_EQ(first.handle, kNoDriveHandle);
        EXPECT_NE(second.handle, kNoDriveHandle);
        EXPECT_FALSE(CloseDrive(first)) << "the old record holds nothing";
    }
    EXPECT_EQ(disk.Calls("close"), std::vector<std::string>{"close"});
}

TEST(SectorDevice, AFailedCloseStillGivesTheHandleUp) {
    FakeDisk disk(1);
    disk.closeError = win_error::kWriteFault;
    {
        SectorDevice device = FakeDevice(disk);
        ASSERT_TRUE(OpenDrive(device));
        EXPECT_FALSE(CloseDrive(device));
        EXPECT_EQ(device.lastError, win_error::kWriteFault);
        EXPECT_EQ(device.handle, kNoDriveHandle) << "the back end let it go";
    }
    EXPECT_EQ(disk.Calls("close").size(), 1u) << "never closed twice";
}

TEST(SectorDevice, OpeningAnOpenDeviceClosesItFirst) {
    FakeDisk disk(1);
    SectorDevice device = FakeDevice(disk);
    ASSERT_TRUE(OpenDrive(device));
    device.readOnly = true;
    ASSERT_TRUE(OpenDrive(device));
    EXPECT_EQ(disk.calls, (std::vector<std::string>{"open rw", "close", "open ro"}));
}

TEST(SectorDevice, DriveNameIsTheLetterUnlessTheBackEndHasAPath) {
    SectorDevice device;
    device.drive = 1;
    EXPECT_EQ(DriveName(device), "B:");
    device.path = "/dev/fd0";
    EXPECT_EQ(DriveName(device), "/dev/fd0");
}

}  // namespace
}  // namespace vk::test
