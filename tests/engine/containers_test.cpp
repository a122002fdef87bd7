// Gzip and zip containers judged by their limits: a bomb is refused at the
// limit with nothing handed out, a container cut at any length is refused,
// and the bad-sector list is named after the image as it would unpack.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "engine/core/containers.h"

namespace vk {
namespace {

std::vector<uint8_t> Gzipped(const std::vector<uint8_t>& data) {
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, MAX_WBITS + 16, 8, Z_DEFAULT_STRATEGY);  // +16: a gzip wrapper
    std::vector<uint8_t> out(deflateBound(&stream, static_cast<uLong>(data.size())) + 32);
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

TEST(Containers, AGzipBombIsRefusedAtTheLimitWithNothingHandedOut) {
    const std::vector<uint8_t> packed = Gzipped(std::vector<uint8_t>(8 << 20, 0));
    ContainerInfo info;
    ByteBlock image;
    EXPECT_EQ(UnpackContainer(packed.data(), packed.size(), "", 1 << 20, info, image), ContainerFault::kTooLarge);
    EXPECT_EQ(image.size(), 0u);
    // The same data within the limit comes back whole.
    ASSERT_EQ(UnpackContainer(packed.data(), packed.size(), "", 8 << 20, info, image), ContainerFault::kNone);
    EXPECT_EQ(image.size(), 8u << 20);
}

TEST(Containers, EveryCutOfAGzipFileIsRefused) {
    std::vector<uint8_t> data(20000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 / 3);
    const std::vector<uint8_t> packed = Gzipped(data);
    for (size_t length = 0; length < packed.size(); ++length) {
        ContainerInfo info;
        ByteBlock image;
        const ContainerFault fault = UnpackContainer(packed.data(), length, "", 1 << 20, info, image);
        EXPECT_TRUE(fault == ContainerFault::kTruncated || fault == ContainerFault::kCorrupt) << "cut at " << length;
    }
}

TEST(Containers, TheBadSectorListIsNamedAfterTheImageAsItWouldUnpack) {
    struct Case {
        const char* what;
        ContainerKind kind;
        const char* path;
        const char* member;
        const char* unpacked;
    } const cases[] = {
        {"a plain image is its own path", ContainerKind::kNone, "/d/disk.dsk", "", "/d/disk.dsk"},
        {"gzip drops .gz", ContainerKind::kGzip, "/d/disk.dsk.gz", "", "/d/disk.dsk"},
        {"gzip drops .GZ too", ContainerKind::kGzip, "C:\\D\\DISK.DSK.GZ", "", "C:\\D\\DISK.DSK"},
        {"gzip under another name keeps it", ContainerKind::kGzip, "/d/disk.img", "", "/d/disk.img"},
        {"a zip member beside the zip", ContainerKind::kZip, "/d/games.zip", "B.DSK", "/d/B.DSK"},
        {"a zip member's folders dropped", ContainerKind::kZip, "games.zip", "GAMES/DISK1.DSK", "DISK1.DSK"},
    };
    for (const Case& c : cases) {
        ContainerInfo info;
        info.kind = c.kind;
        info.member = c.member;
        EXPECT_EQ(UnpackedImagePath(c.path, info), c.unpacked) << c.what;
    }
}

}  // namespace
}  // namespace vk
