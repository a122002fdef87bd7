// The file back end over a plain file: the device owns the back end's
// state, and no descriptor outlives the device or a refused open.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "engine/drive/sector_device.h"
#include "posix/file_drive.h"
#include "tests/support/test_files.h"
#include "tests/support/win_codes.h"

namespace vk::test {
namespace {

size_t OpenDescriptors() {
    size_t count = 0;
    DIR* fds = opendir("/proc/self/fd");
    if (fds == nullptr) {
        return 0;
    }
    while (readdir(fds) != nullptr) {
        ++count;
    }
    closedir(fds);
    return count;
}

class FileDrive : public ::testing::Test {
protected:
    void SetUp() override {
        if (OpenDescriptors() == 0) {
            GTEST_SKIP() << "no /proc/self/fd to count descriptors in";
        }
        WriteFile(path, Bytes(4 * kDriveSectorSize, 0x11));
    }
    ScratchDir dir;
    std::string path = dir.Path("drive.img");
};

TEST_F(FileDrive, ALockedImageIsRefusedWithoutLeavingADescriptorOpen) {
    const int holder = open(path.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    const size_t before = OpenDescriptors();
    {
        SectorDevice device;
        UseFileDrive(device, path);
        EXPECT_FALSE(OpenDrive(device));
        EXPECT_EQ(device.lastError, test::win_code::kSharingViolation);
        EXPECT_EQ(device.handle, kNoDriveHandle);
        EXPECT_EQ(OpenDescriptors(), before);
    }
    close(holder);
}

TEST_F(FileDrive, ADriveLeftOpenIsClosedWithItsDevice) {
    const size_t before = OpenDescriptors();
    {
        SectorDevice device;
        UseFileDrive(device, path);
        ASSERT_TRUE(OpenDrive(device));
        EXPECT_EQ(OpenDescriptors(), before + 1);
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST_F(FileDrive, FormattingFollowsTheContextTheDeviceOwns) {
    SectorDevice device;
    FileDriveContext& context = UseFileDrive(device, path);
    context.heads = 2;
    context.formatFill = 0xE5;
    ASSERT_TRUE(OpenDrive(device));
    ASSERT_TRUE(FormatTrack(device, MediaKind::kUnknown, 1, 1, 0));  // cylinder 1, head 0: the third sector
    ASSERT_TRUE(CloseDrive(device));
    const Bytes disk = ReadFile(path);
    const auto third = disk.begin() + 2 * kDriveSectorSize;
    EXPECT_EQ(Bytes(third, third + kDriveSectorSize), Bytes(kDriveSectorSize, 0xE5));
    EXPECT_EQ(Bytes(disk.begin(), third), Bytes(2 * kDriveSectorSize, 0x11)) << "the sectors before stay";
}

TEST_F(FileDrive, ADeviceGivenOnlyTheBackEndMakesItsOwnContext) {
    SectorDevice device;
    device.backend = &FileDriveBackend();
    device.path = path;
    device.readOnly = true;
    ASSERT_TRUE(OpenDrive(device));
    EXPECT_NE(device.context, nullptr);
    EXPECT_EQ(FormatTrack(device, MediaKind::kUnknown, 1, 0, 0), false) << "no heads: no track to place";
    EXPECT_EQ(device.lastError, test::win_code::kNotSupported);
}

}  // namespace
}  // namespace vk::test
