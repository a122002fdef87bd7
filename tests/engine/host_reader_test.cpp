// Reading an added host file in blocks: every byte in its place across the
// block boundary, and a file that shrank or grew since it was listed told
// apart from one that kept its size.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/fat/ops/host_reader.h"
#include "engine/ports/host_failure.h"
#include "tests/support/test_files.h"

namespace vk {
namespace {

constexpr uint32_t kBlock = 1u << 20;  // the reader's block
constexpr uint32_t kPiece = 512;       // handed out a cluster at a time

enum class Expect { kWhole, kShrank, kGrew };

TEST(HostBlockReader, ListedSizeAgainstTheFileOnDisk) {
    struct Case {
        const char* what;
        uint32_t listed;
        uint32_t actual;
        Expect expect;
    } cases[] = {
        {"empty file", 0, 0, Expect::kWhole},
        {"one byte", 1, 1, Expect::kWhole},
        {"one byte short of a block", kBlock - 1, kBlock - 1, Expect::kWhole},
        {"exactly one block", kBlock, kBlock, Expect::kWhole},
        {"one byte past a block", kBlock + 1, kBlock + 1, Expect::kWhole},
        {"two and a half blocks", kBlock * 5 / 2, kBlock * 5 / 2, Expect::kWhole},
        {"listed empty, holds bytes", 0, 3, Expect::kGrew},
        {"grew by a byte at a block's end", kBlock, kBlock + 1, Expect::kGrew},
        {"grew by a byte mid-block", 1000, 1001, Expect::kGrew},
        {"shrank before a block's end", kBlock + 5, kBlock, Expect::kShrank},
        {"shrank mid-piece", 1000, 700, Expect::kShrank},
    };
    test::ScratchDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::Bytes bytes(c.actual);
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 4093);
        const std::string path = dir.Path("file.bin");
        test::WriteFile(path, bytes);
        HostFile file;
        ASSERT_EQ(OpenHostFile(path, kAccessRead, kShareRead, Disposition::kOpenExisting, 0, file), kHostSuccess);
        HostBlockReader reader(file, c.listed);
        ASSERT_TRUE(reader.Prepare());
        test::Bytes got(c.listed);
        uint32_t error = kHostSuccess;
        for (uint32_t at = 0; at < c.listed && error == kHostSuccess; at += kPiece) {
            error = reader.Read(got.data() + at, std::min(kPiece, c.listed - at));
        }
        if (c.expect == Expect::kShrank) {
            EXPECT_EQ(ClassifyHostCode(error), HostFailure::kEndOfFile);
            continue;
        }
        ASSERT_EQ(error, kHostSuccess);
        EXPECT_EQ(got, test::Bytes(bytes.begin(), bytes.begin() + c.listed));
        EXPECT_EQ(reader.LongerThanListed(), c.expect == Expect::kGrew);
    }
}

}  // namespace
}  // namespace vk
