// The long name in front of a short entry: its checksum, which entries belong
// to it, and marking exactly those deleted.
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/fat/dir/long_names.h"
#include "tests/engine/fat_image_fixture.h"

namespace vk {
namespace {

using test::WriteLongNameEntry;

uint8_t Checksum(const char* name11) { return ShortNameChecksum(reinterpret_cast<const uint8_t*>(name11)); }

TEST(ShortNameChecksum, MatchesWhatMtoolsWrites) {
    // Taken from the entries mcopy and mmd wrote for "Long File Name.txt" and "My Folder".
    EXPECT_EQ(Checksum("LONGFI~1TXT"), 0xD4);
    EXPECT_EQ(Checksum("MYFOLD~1   "), 0x59);
    EXPECT_NE(Checksum("LONGFI~2TXT"), Checksum("LONGFI~1TXT"));
}

// A directory of entries described by letters, the short entry last:
// 'S' the short entry, '1'..'9' a long-name entry of that place ('L' flags
// the run's start), 'x2' one of place 2 with a wrong checksum, 'd' a deleted one,
// 'F' another file, '0' never used.
struct RunCase {
    const char* name;
    std::vector<std::string> entries;
    uint32_t belonging;
};
void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class LongNameRun : public ::testing::TestWithParam<RunCase> {
protected:
    static constexpr char kShort[] = "LONGFI~1TXT";
    std::vector<uint8_t> Build(const std::vector<std::string>& shapes) {
        std::vector<uint8_t> dir(shapes.size() * kDirEntrySize, 0);
        const uint8_t sum = Checksum(kShort);
        for (size_t i = 0; i < shapes.size(); ++i) {
            uint8_t* e = dir.data() + i * kDirEntrySize;
            const std::string& s = shapes[i];
            if (s == "S") {
                std::memcpy(e, kShort, 11);
                e[kDirAttr] = kAttrArchive;
            } else if (s == "F") {
                std::memcpy(e, "OTHER   TXT", 11);
                e[kDirAttr] = kAttrArchive;
            } else if (s[0] == 'x') {
                WriteLongNameEntry(e, static_cast<uint8_t>(s[1] - '0'), static_cast<uint8_t>(sum + 1));
            } else if (s == "d") {
                WriteLongNameEntry(e, 2, sum);
                e[0] = kEntryDeleted;
            } else if (s != "0") {
                const bool last = s.size() == 2 && s[1] == 'L';
                WriteLongNameEntry(e, static_cast<uint8_t>((s[0] - '0') | (last ? kLongNameLastFlag : 0)), sum);
            }
        }
        return dir;
    }
};

TEST_P(LongNameRun, CountsOnlyTheEntriesThatBelong) {
    const RunCase& c = GetParam();
    std::vector<uint8_t> dir = Build(c.entries);
    const uint32_t count = static_cast<uint32_t>(c.entries.size());
    EXPECT_EQ(LongNameRunLength(dir.data(), count, count - 1), c.belonging);

    const std::vector<uint8_t> before = dir;
    DeleteLongNameRun(dir.data(), count, count - 1);
    for (uint32_t i = 0; i < count; ++i) {
        const bool belongs = i + 1 < count && i + 1 + c.belonging >= count;
        SCOPED_TRACE(i);
        EXPECT_EQ(dir[i * kDirEntrySize], belongs ? kEntryDeleted : before[i * kDirEntrySize]);
        EXPECT_TRUE(std::equal(dir.begin() + i * kDirEntrySize + 1, dir.begin() + (i + 1) * kDirEntrySize,
                               before.begin() + i * kDirEntrySize + 1))
            << "only byte 0 changes";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, LongNameRun,
    ::testing::Values(RunCase{"NoLongName", {"F", "S"}, 0},
                      RunCase{"OneEntry", {"1L", "S"}, 1},
                      RunCase{"ThreeEntries", {"F", "3L", "2", "1", "S"}, 3},
                      RunCase{"AtTheStartOfTheDirectory", {"2L", "1", "S"}, 2},
                      RunCase{"StopsAtTheRunsStart", {"1L", "2L", "1", "S"}, 2},
                      RunCase{"WrongChecksum", {"x1", "S"}, 0},
                      RunCase{"WrongChecksumInTheMiddle", {"3L", "x2", "1", "S"}, 1},
                      RunCase{"BrokenOrder", {"4L", "2", "1", "S"}, 2},
                      RunCase{"DoesNotStartWithOne", {"2L", "S"}, 0},
                      RunCase{"DeletedEntryEndsTheRun", {"3L", "d", "1", "S"}, 1},
                      RunCase{"AnotherFileInBetween", {"1L", "F", "S"}, 0},
                      RunCase{"NeverUsedInBetween", {"1L", "0", "S"}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LongNameRunLength, ShortEntryOutsideTheSpanHasNone) {
    std::vector<uint8_t> dir(2 * kDirEntrySize, 0);
    WriteLongNameEntry(dir.data(), 1 | kLongNameLastFlag, 0);
    EXPECT_EQ(LongNameRunLength(dir.data(), 2, 2), 0u);
    EXPECT_EQ(LongNameRunLength(dir.data(), 2, 0), 0u);
}

}  // namespace
}  // namespace vk
