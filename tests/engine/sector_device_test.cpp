#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/drive/sector_device.h"
#include "tests/engine/fake_drive.h"
#include "tests/support/win_codes.h"

namespace vk::test {
namespace {

TEST(SectorDevice, OperationsWithoutHandleFailWithInvalidHandleAndLeaveWrittenClear) {
    FakeDisk disk(4);
    disk.openError = test::win_code::kNoMediaInDrive;
    SectorDevice device = FakeDevice(disk);
    EXPECT_FALSE(OpenDrive(device));
    EXPECT_EQ(device.lastError, test::win_code::kNoMediaInDrive);
    EXPECT_EQ(device.handle, kNoDriveHandle);

    uint8_t buffer[512];
    EXPECT_FALSE(ReadSectors(device, buffer, 0, 1));
    EXPECT_EQ(device.lastError, test::win_code::kInvalidHandle);
    EXPECT_FALSE(WriteSectors(device, buffer, 0, 1));
    EXPECT_EQ(device.lastError, test::win_code::kInvalidHandle);
    EXPECT_FALSE(FormatTrack(device, MediaKind::k3_5Inch720K, 9, 0, 0));
    EXPECT_EQ(device.lastError, test::win_code::kInvalidHandle);
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
        disk.formatError = test::win_code::kNotSupported;
        SectorDevice device = FakeDevice(disk);
        ASSERT_TRUE(OpenDrive(device));
        uint8_t buffer[512] = {};
        const bool ok = format ? FormatTrack(device, MediaKind::k3_5Inch720K, 9, 0, 0) : WriteSectors(device, buffer, 0, 1);
        EXPECT_FALSE(ok);
        EXPECT_EQ(device.lastError, format ? test::win_code::kNotSupported : disk.failCode);
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
    disk.closeError = test::win_code::kWriteFault;
    {
        SectorDevice device = FakeDevice(disk);
        ASSERT_TRUE(OpenDrive(device));
        EXPECT_FALSE(CloseDrive(device));
        EXPECT_EQ(device.lastError, test::win_code::kWriteFault);
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
