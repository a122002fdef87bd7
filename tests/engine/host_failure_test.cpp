// The host port's terms: what its error codes mean to the engine, and where
// its file times start.
#include <gtest/gtest.h>

#include "engine/fat/dir/dir_entry.h"
#include "engine/ports/host_files.h"
#include "tests/support/win_codes.h"

namespace vk::test {
namespace {

struct CodeCase {
    HostFailure failure;
    uint32_t code;  // the code the engine reports it with
};

// Every failure the engine detects itself comes back as the same failure,
// with the text of the platform's own code.
TEST(HostFailureTest, EngineFailuresHaveThePlatformsCodes) {
    const CodeCase cases[] = {
        {HostFailure::kNone, win_code::kSuccess},
        {HostFailure::kNotFound, win_code::kFileNotFound},
        {HostFailure::kAccessDenied, win_code::kAccessDenied},
        {HostFailure::kExists, win_code::kFileExists},
        {HostFailure::kNameTaken, win_code::kAlreadyExists},
        {HostFailure::kDiskFull, win_code::kDiskFull},
        {HostFailure::kEndOfFile, win_code::kHandleEof},
        {HostFailure::kOutOfMemory, win_code::kNotEnoughMemory},
        {HostFailure::kBadHandle, win_code::kInvalidHandle},
        {HostFailure::kNoDriver, win_code::kInvalidFunction},
    };
    for (const CodeCase& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(HostCodeFor(c.failure), c.code);
        EXPECT_EQ(ClassifyHostCode(c.code), c.failure);
    }
    EXPECT_EQ(ClassifyHostCode(win_code::kPathNotFound), HostFailure::kNotFound);
    EXPECT_EQ(ClassifyHostCode(win_code::kSharingViolation), HostFailure::kOther);
    EXPECT_EQ(ClassifyHostCode(win_code::kCrc), HostFailure::kOther);
}

// HostTime counts 100-ns ticks from 1970-01-01 UTC: noon on 2000-07-01 UTC
// is in July 2000 in every time zone, and 1970 itself is before any DOS date.
TEST(HostFailureTest, HostTimeStartsIn1970) {
    constexpr HostTime kTicksPerSecond = 10000000;
    DosDateTime dos;
    ASSERT_TRUE(HostTimeToLocalDos(HostTime{962452800} * kTicksPerSecond, dos));
    EXPECT_EQ(DosDateYear(dos.date), 2000);
    EXPECT_EQ(DosDateMonth(dos.date), 7);
    EXPECT_FALSE(HostTimeToLocalDos(0, dos));

    HostTime back = 0;
    ASSERT_TRUE(LocalDosToHostTime(dos, back));
    EXPECT_LT(back, HostTime{962452800 + 86400} * kTicksPerSecond);
    EXPECT_GT(back, HostTime{962452800 - 86400} * kTicksPerSecond);
}

}  // namespace
}  // namespace vk::test
