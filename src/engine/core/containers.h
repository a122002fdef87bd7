// Disk images kept inside a container file: a gzip file (RFC 1952), or one
// member of a zip archive (stored or deflated). The container is unpacked
// into memory whole when the image opens, and built again whole when it is
// saved: the image's bytes replaced, everything else as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/common/bytes.h"
#include "engine/common/notice.h"
#include "engine/ports/host_files.h"

namespace vk {

// Gzip member header: ID1 ID2 CM FLG MTIME(4) XFL OS, then the optional fields FLG names.
constexpr uint8_t kGzipId1 = 0x1F;
constexpr uint8_t kGzipId2 = 0x8B;
constexpr uint8_t kGzipDeflate = 8;  // CM
constexpr uint32_t kGzipFlags = 3;
constexpr uint32_t kGzipHeaderSize = 10;
constexpr uint8_t kGzipFlagHeaderCrc = 0x02;  // FHCRC
constexpr uint8_t kGzipFlagExtra = 0x04;      // FEXTRA
constexpr uint8_t kGzipFlagName = 0x08;       // FNAME
constexpr uint8_t kGzipFlagComment = 0x10;    // FCOMMENT
constexpr uint8_t kGzipFlagReserved = 0xE0;
constexpr uint32_t kGzipTrailerSize = 8;      // CRC32, ISIZE

// Zip: local file header, central directory record, end of central directory record.
constexpr uint32_t kZipLocalSignature = 0x04034B50;    // "PK\3\4"
constexpr uint32_t kZipCentralSignature = 0x02014B50;  // "PK\1\2"
constexpr uint32_t kZipEndSignature = 0x06054B50;      // "PK\5\6"
constexpr uint32_t kZipLocalFlags = 6;
constexpr uint32_t kZipLocalMethod = 8;
constexpr uint32_t kZipLocalTime = 10;
constexpr uint32_t kZipLocalDate = 12;
constexpr uint32_t kZipLocalCrc = 14;
constexpr uint32_t kZipLocalCompressedSize = 18;
constexpr uint32_t kZipLocalSize = 22;
constexpr uint32_t kZipLocalNameLength = 26;
constexpr uint32_t kZipLocalExtraLength = 28;
constexpr uint32_t kZipLocalHeaderSize = 30;
constexpr uint32_t kZipCentralFlags = 8;
constexpr uint32_t kZipCentralMethod = 10;
constexpr uint32_t kZipCentralTime = 12;
constexpr uint32_t kZipCentralDate = 14;
constexpr uint32_t kZipCentralCrc = 16;
constexpr uint32_t kZipCentralCompressedSize = 20;
constexpr uint32_t kZipCentralSize = 24;
constexpr uint32_t kZipCentralNameLength = 28;
constexpr uint32_t kZipCentralExtraLength = 30;
constexpr uint32_t kZipCentralCommentLength = 32;
constexpr uint32_t kZipCentralDiskStart = 34;
constexpr uint32_t kZipCentralLocalOffset = 42;
constexpr uint32_t kZipCentralHeaderSize = 46;
constexpr uint32_t kZipEndDisk = 4;
constexpr uint32_t kZipEndCentralDisk = 6;
constexpr uint32_t kZipEndDiskEntries = 8;
constexpr uint32_t kZipEndEntries = 10;
constexpr uint32_t kZipEndCentralSize = 12;
constexpr uint32_t kZipEndCentralOffset = 16;
constexpr uint32_t kZipEndCommentLength = 20;
constexpr uint32_t kZipEndSize = 22;
constexpr uint16_t kZipFlagEncrypted = 0x0001;
constexpr uint16_t kZipFlagDescriptor = 0x0008;  // sizes and CRC follow the data
constexpr uint16_t kZipStored = 0;
constexpr uint16_t kZipDeflated = 8;

enum class ContainerKind : uint8_t {
    kNone,  // a plain image file
    kGzip,
    kZip,
};

// Why a container could not be unpacked or built again.
enum class ContainerFault : uint8_t {
    kNone,
    kTruncated,     // the file ends before its structures or its data do
    kCorrupt,       // a field, a checksum or the compressed data is wrong
    kTooLarge,      // it unpacks to more than any disk image may hold (a bomb)
    kUnsupported,   // encrypted, split over several files, zip64, a method other than stored or deflate
    kNoImage,       // the zip holds no file, or not the member named
    kChooseMember,  // the zip holds several files that may be images and none was named
    kOutOfMemory,
};

// What holds the open image.
struct ContainerInfo {
    ContainerKind kind = ContainerKind::kNone;
    std::string member;                // the zip member opened
    std::vector<std::string> members;  // the zip's files in directory order, as offered to choose from
};

// What the first bytes of a file say it is. Only the signature counts, so a
// container is known under any name.
ContainerKind DetectContainer(const uint8_t* bytes, size_t count);

// Unpacks the whole container file `bytes` into `image`: for a zip, member
// `member` (empty: the one file, or the one file whose name ends as an
// image's does). Never holds more than `limit` unpacked bytes, whatever the
// container claims, nor more than its data can give. `info` says what held
// the image, also on kChooseMember and kNoImage, for the members to list.
ContainerFault UnpackContainer(const uint8_t* bytes, size_t count, const std::string& member, uint64_t limit,
                               ContainerInfo& info, ByteBlock& image);

// The container `old` built again with `image` as its content: a gzip file
// keeps its first header (name, time, comment); a zip keeps every other
// member's local header and data byte for byte and every directory record,
// comments included, with the opened member's data, sizes, CRC and `stamp`
// replaced.
ContainerFault RepackContainer(const uint8_t* old, size_t count, const ContainerInfo& info, const uint8_t* image,
                               size_t size, DosDateTime stamp, std::vector<uint8_t>& out);

// What a fault says to the user about container `path`.
Notice ContainerFaultNotice(ContainerFault fault, const std::string& path, const ContainerInfo& info);

// The path the image would have unpacked beside its container, which names
// its bad-sector list: "disk.dsk.gz" stands for "disk.dsk", member
// "GAMES/DISK1.DSK" of "games.zip" for "DISK1.DSK" in the zip's folder. A
// plain image is its own path.
std::string UnpackedImagePath(const std::string& path, const ContainerInfo& info);

}  // namespace vk
