#include "engine/core/boot_sector.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

constexpr uint32_t kFirstMediaByte = 0xF0;
constexpr uint32_t kFatIdOffset = kSectorSize;  // first byte of the first FAT

bool IsUsableFormatByte(uint32_t byte) {
    return byte >= kFirstMediaByte && IsUsableFormat(FormatRow(byte));
}

}  // namespace

bool ParseBootSector(ImageDocument& doc, std::vector<Notice>& warnings) {
    // Work on a zero-padded copy, so that a short area never reads past its end.
    std::array<uint8_t, kSectorSize> bs{};
    const uint32_t areaLength = doc.AreaLength();
    std::memcpy(bs.data(), doc.Area(), std::min<uint32_t>(areaLength, kSectorSize));

    DiskFormat& g = doc.geometry;
    g = DiskFormat{};
    g.fatCount = bs[kBpbFatCount] == 0 ? 1 : bs[kBpbFatCount];
    g.totalSectors = Load16(&bs[kBpbTotalSectors]);
    g.sectorsPerFat = Load16(&bs[kBpbSectorsPerFat]);
    g.sectorsPerCluster = bs[kBpbSectorsPerCluster];
    g.reservedSectors = Load16(&bs[kBpbReservedSectors]);
    g.heads = Load16(&bs[kBpbHeads]);
    g.sectorsPerTrack = Load16(&bs[kBpbSectorsPerTrack]);
    g.rootEntries = Load16(&bs[kBpbRootEntries]);
    // A DOS 4 boot sector keeps a disk of more than 65535 sectors in 32 bits;
    // an MSX boot sector has loader code there, so only the signature says
    // so, or, in a partition, a count that the partition can hold.
    if (g.totalSectors == 0) {
        const uint32_t count32 = Load32(&bs[kBpbTotalSectors32]);
        if (bs[kBsExtendedSignature] == kExtendedBootSignature ||
            (doc.partition != 0 && count32 != 0 && count32 <= areaLength / kSectorSize)) {
            g.totalSectors = count32;
        }
    }

    const uint32_t mediaByte = bs[kBpbMediaByte];
    if (mediaByte >= kFirstMediaByte) {
        g.mediaType = FormatRow(mediaByte).mediaType;
    }

    if (g.sectorsPerCluster == 0) {
        if (IsUsableFormatByte(mediaByte)) {
            warnings.push_back(TextNotice(kMsgFormatByteUsed, Tone::kWarning));
            g = FormatRow(mediaByte);
        } else if (areaLength > kSectorSize && IsUsableFormatByte(doc.Area()[kFatIdOffset])) {
            warnings.push_back(TextNotice(kMsgFormatByteUsed, Tone::kWarning));
            g = FormatRow(doc.Area()[kFatIdOffset]);
        }
    }

    doc.geometryGuessed = Load16(&bs[kBpbBytesPerSector]) != kSectorSize || g.sectorsPerCluster == 0;
    if (!doc.geometryGuessed) {
        return true;
    }

    const bool signature = HasBootSignature(bs.data());
    unsigned message = kMsgNotValidImage;
    if (signature && mediaByte == 0xF0) {
        message = kMsgHardDiskImage;
    } else if (signature && mediaByte == 0x00) {
        message = kMsgHardDiskNoPartition;
    }
    warnings.push_back(TextNotice(message, Tone::kWarning));
    if (g.sectorsPerCluster == 0) {
        g.sectorsPerCluster = 2;
    }
    return false;
}

std::string FileSystemTypeText(const uint8_t* bootSector) {
    const char* text = reinterpret_cast<const char*>(bootSector + kBsFileSystemType);
    return std::string(text, strnlen(text, kFileSystemTypeLength));
}

}  // namespace vk
