#include <gtest/gtest.h>

#include <cstring>

#include "engine/common/bytes.h"
#include "engine/core/media_errors.h"
#include "engine/drive/disk_job.h"
#include "engine/drive/write_disk.h"
#include "tests/engine/fake_drive.h"
#include "engine/strings/string_ids.h"
#include "tests/support/image_builder.h"
#include "tests/support/test_files.h"
#include "tests/support/win_codes.h"

namespace vk::test {
namespace {

constexpr unsigned kAskSectorFlags = kBoxAbortRetryIgnore | kIconWarning | kDefaultButton2;

// An image whose sectors each carry their number, with the geometry of 0xF9.
Bytes NumberedImage(uint32_t sectors) {
    Bytes image(size_t{sectors} * 512, 0);
    for (uint32_t s = 0; s < sectors; ++s) {
        Store16(image.data() + size_t{s} * 512, s + 1);
    }
    return image;
}

class WriteDisk : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        Progress().Reset();
        SetCancelRequested(false);
    }
    void Install(const Bytes& bytes, uint32_t dataOffset = 0) {
        InstallImage(doc, bytes, dataOffset);
        doc.geometry = FormatRow(0xF9);
        doc.geometry.mediaType = MediaKind::k3_5Inch720K;
    }
    bool Run(FakeDisk& disk) {
        SectorDevice device = FakeDevice(disk);
        return test::Shown(WriteImageToDisk(doc, request, device, &outcome));
    }
    WriteDiskRequest request;
    WriteDiskOutcome outcome;
};

TEST_F(WriteDisk, FormatsEveryTrackThenWritesEverySectorWithTheBarHalfWayAtTheSwitch) {
    Install(NumberedImage(1440));
    FakeDisk disk(1440);
    request.formatDisk = true;
    ASSERT_TRUE(Run(disk));
    EXPECT_EQ(disk.bytes, ImageBytes(doc));

    const auto formats = disk.Calls("format");
    ASSERT_EQ(formats.size(), 160u);
    EXPECT_EQ(formats[0], "format c0 h0 mt2 spt9");
    EXPECT_EQ(formats[1], "format c0 h1 mt2 spt9");
    EXPECT_EQ(formats[159], "format c79 h1 mt2 spt9");
    const auto writes = disk.Calls("write");
    ASSERT_EQ(writes.size(), 1440u);
    EXPECT_EQ(writes[0], "write 0+1");
    EXPECT_EQ(writes[1439], "write 1439+1");
    EXPECT_EQ(disk.calls.front(), "open rw");
    EXPECT_EQ(disk.calls.back(), "close written");

    const ProgressLog& log = Progress();
    ASSERT_EQ(log.updates.size(), 160u + 1440u);
    EXPECT_EQ(log.updates[0], std::make_pair(0u, 2880u));
    EXPECT_EQ(log.updates[1], std::make_pair(9u, 2880u));
    EXPECT_EQ(log.Percents()[160], 50u) << "formatting fills the first half";
    EXPECT_EQ(log.Percents().back(), 99u);
    EXPECT_EQ(log.job, DiskJob::kWriting);
    ASSERT_EQ(log.headers.size(), 2u);
    EXPECT_EQ(log.headers[1].capacityBytes, 737280u);
    EXPECT_FALSE(outcome.stopped);
    EXPECT_FALSE(doc.modified) << "the document is not changed";
}

TEST_F(WriteDisk, FastWriteGoesATrackAtATimeAndEndsWithAShortBlock) {
    Install(NumberedImage(10));
    FakeDisk disk(10);
    request.fastWrite = true;
    ASSERT_TRUE(Run(disk));
    EXPECT_EQ(disk.Calls("write"), (std::vector<std::string>{"write 0+9", "write 9+1"}));
    EXPECT_EQ(disk.bytes, ImageBytes(doc));
    EXPECT_EQ(Progress().updates, (std::vector<std::pair<uint32_t, uint32_t>>{{0, 10}, {9, 10}}));
}

TEST_F(WriteDisk, IgnoreOnAFastBlockSkipsOneSectorAndWritesTheRestAsTheNextBlock) {
    Install(NumberedImage(27));
    FakeDisk disk(27);
    disk.badWrites[12] = 1;
    request.fastWrite = true;
    script.SystemError(disk.failCode, "Disk sector 9 cannot be written!", kAskSectorFlags, kIdIgnore);
    ASSERT_TRUE(Run(disk));
    EXPECT_EQ(disk.Calls("write"),
              (std::vector<std::string>{"write 0+9", "write 9+9", "write 10+8", "write 18+9"}));
    EXPECT_EQ(outcome.skippedSectors, 1u);
    EXPECT_EQ(Load16(disk.Sector(9)), 0u) << "the ignored sector stays as it was";
    EXPECT_EQ(Load16(disk.Sector(12)), 13u);
}

TEST_F(WriteDisk, RetryWritesTheSameBlockAgain) {
    Install(NumberedImage(18));
    FakeDisk disk(18);
    disk.badWrites[3] = 1;
    request.fastWrite = true;
    script.SystemError(disk.failCode, "Disk sector 0 cannot be written!", kAskSectorFlags, kIdRetry);
    ASSERT_TRUE(Run(disk));
    EXPECT_EQ(disk.Calls("write"), (std::vector<std::string>{"write 0+9", "write 0+9", "write 9+9"}));
    EXPECT_EQ(disk.bytes, ImageBytes(doc));
}

TEST_F(WriteDisk, IgnoreOnASingleSectorSkipsThatSectorOnly) {
    Install(NumberedImage(8));
    FakeDisk disk(8);
    disk.badWrites[5] = -1;
    script.SystemError(disk.failCode, "Disk sector 5 cannot be written!", kAskSectorFlags, kIdIgnore);
    ASSERT_TRUE(Run(disk));
    EXPECT_EQ(disk.Calls("write").size(), 8u);
    for (uint32_t s = 0; s < 8; ++s) {
        EXPECT_EQ(Load16(disk.Sector(s)), s == 5 ? 0u : s + 1) << "sector " << s;
    }
    EXPECT_EQ(outcome.skippedSectors, 1u);
    EXPECT_FALSE(outcome.stopped);
}

TEST_F(WriteDisk, AbortAndCancelStopWritingAndStillAnswerTrue) {
    for (const bool abort : {true, false}) {
        SCOPED_TRACE(abort ? "Abort" : "Cancel");
        Progress().Reset();
        Install(NumberedImage(8));
        FakeDisk disk(8);
        if (abort) {
            disk.badWrites[3] = -1;
            script.SystemError(disk.failCode, "Disk sector 3 cannot be written!", kAskSectorFlags, kIdAbort);
        } else {
            Progress().cancelAtUpdate = 3;
        }
        EXPECT_TRUE(Run(disk));
        EXPECT_TRUE(outcome.stopped);
        // A Cancel pressed while sector 3's progress is shown takes effect after that write.
        EXPECT_EQ(disk.Calls("write").back(), "write 3+1");
        EXPECT_EQ(disk.calls.back(), "close written");
        EXPECT_EQ(Progress().closed, 1);
    }
}

TEST_F(WriteDisk, CommentHeaderImageWritesTheWholeSectorsAfterItFromSectorZero) {
    Bytes file(300, 'C');
    const Bytes sectors = NumberedImage(10);
    file.insert(file.end(), sectors.begin(), sectors.end());
    file.insert(file.end(), 100, 0xEE);  // a partial sector at the end is not written
    Install(file, 300);
    FakeDisk disk(11);
    ASSERT_TRUE(Run(disk));
    EXPECT_EQ(disk.Calls("write").size(), 10u);
    EXPECT_EQ(Bytes(disk.bytes.begin(), disk.bytes.begin() + 5120), sectors);
    EXPECT_EQ(Bytes(disk.bytes.begin() + 5120, disk.bytes.end()), Bytes(512, 0));
    EXPECT_EQ(Progress().headers.at(0).capacityBytes, file.size()) << "the header holds the image size";
}

TEST_F(WriteDisk, TrackThatCannotBeFormattedReportsTheDriveAndWritesNothing) {
    Install(NumberedImage(1440));
    FakeDisk disk(1440);
    disk.formatError = test::win_code::kNotSupported;
    request.formatDisk = true;
    script.SystemError(test::win_code::kNotSupported, "B:", kIconError);
    SectorDevice device = FakeDevice(disk, 1);
    EXPECT_FALSE(test::Shown(WriteImageToDisk(doc, request, device)));
    EXPECT_EQ(disk.Calls("format").size(), 1u);
    EXPECT_TRUE(disk.Calls("write").empty());
    EXPECT_EQ(disk.calls.back(), "close written");
    // The failure is the job's result: shown over the owner once the progress window is gone.
    EXPECT_EQ(script.Shown().at(0).owner, TestOwner());
    EXPECT_EQ(Progress().closed, 1);
}

TEST_F(WriteDisk, FailedLastFlushOrCloseFailsTheJob) {
    const struct {
        const char* situation;
        bool formatFails;
        uint32_t reported;  // the first failure is the one the user sees
    } cases[] = {
        {"every sector written", false, test::win_code::kIoDevice},
        {"a track could not be formatted", true, test::win_code::kNotSupported},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        Install(NumberedImage(18));
        FakeDisk disk(18);
        disk.closeError = test::win_code::kIoDevice;
        if (c.formatFails) {
            disk.formatError = test::win_code::kNotSupported;
            request.formatDisk = true;
        }
        script.SystemError(c.reported, "A:", kIconError);
        EXPECT_FALSE(Run(disk));
        EXPECT_EQ(disk.calls.back(), "close written");
        request = WriteDiskRequest();
    }
}

TEST_F(WriteDisk, DriveThatCannotBeOpenedIsReported) {
    Install(NumberedImage(4));
    FakeDisk disk(4);
    disk.openError = test::win_code::kWriteProtect;
    script.SystemError(test::win_code::kWriteProtect, "A:", kIconError);
    EXPECT_FALSE(Run(disk));
    EXPECT_EQ(disk.calls, std::vector<std::string>{"open rw"});
    EXPECT_EQ(Progress().closed, 1);
}

TEST_F(WriteDisk, GeometryWithoutTracksIsRefusedBeforeTheDriveIsTouched) {
    const struct {
        const char* name;
        uint32_t heads, sectorsPerTrack;
        bool format, fast, refused;
    } cases[] = {
        {"format, 0 sectors per track", 2, 0, true, false, true},
        {"format, 0 heads", 0, 9, true, false, true},
        {"fast, 0 sectors per track", 2, 0, false, true, true},
        {"fast, 0 heads", 0, 9, false, true, false},
        {"plain, 0 of both", 0, 0, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Install(NumberedImage(12));
        doc.geometry.heads = c.heads;
        doc.geometry.sectorsPerTrack = c.sectorsPerTrack;
        request.formatDisk = c.format;
        request.fastWrite = c.fast;
        FakeDisk disk(12);
        if (c.refused) {
            script.Message(kMsgTrackGeometryZero, kIconError);
        }
        EXPECT_EQ(Run(disk), !c.refused);
        EXPECT_EQ(disk.calls.empty(), c.refused);
        if (!c.refused) {
            EXPECT_EQ(disk.bytes, ImageBytes(doc));
        }
    }
}

TEST_F(WriteDisk, NoImageAnswersFalseSilently) {
    FakeDisk disk(4);
    EXPECT_FALSE(Run(disk));
    EXPECT_TRUE(disk.calls.empty());
    EXPECT_EQ(Progress().opened, 0);
}

TEST_F(WriteDisk, MediaErrorWarningOnlyForMarkedSectors) {
    Install(NumberedImage(16));
    ASSERT_TRUE(CreateErrorList(16, doc.errorList));
    EXPECT_FALSE(MediaErrorsWarning(doc));
    MarkBadSector(doc.errorList, 15);
    script.Message(kMsgMediaErrorsNotWritten, kIconWarning);
    Tell(MediaErrorsWarning(doc).value());
}

}  // namespace
}  // namespace vk::test
