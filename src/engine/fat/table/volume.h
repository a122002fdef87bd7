// One FAT volume as every operation sees it: where its parts lie (the
// layout) and the bytes of its file-system area, from the boot sector on,
// with their length. It owns the bounds checks of the area, so that no
// caller repeats them, and reaches clusters and FAT entries by number.
// A Volume writes, a ConstVolume only reads; a Volume passes for a ConstVolume.
#pragma once

#include <cstdint>
#include <type_traits>
#include <vector>

#include "engine/common/bytes.h"
#include "engine/core/layout.h"

namespace vk {

struct ImageDocument;

// Bytes of the area a write changes (from the boot sector). Each change is
// planned first and written after: a caller that must be able to undo it
// (one step of a longer operation) saves the bytes of the plan's writes
// before the write, and puts them back to undo it.
using WriteRanges = std::vector<ByteRange>;

// The two bytes of FAT copy 1 that hold the entry of `cluster` (FAT12 or FAT16).
inline ByteRange FatEntryBytes(const Layout& layout, uint32_t cluster) {
    return ByteRange{layout.FatEntryOffset(cluster), 2};
}
inline ByteRange ClusterBytes(const Layout& layout, uint32_t cluster) {
    return ByteRange{layout.ClusterOffset(cluster), layout.clusterBytes};
}

template <class Byte>
struct BasicVolume {
    Layout layout;
    Byte* area = nullptr;
    uint32_t length = 0;

    BasicVolume() = default;
    BasicVolume(const Layout& layout_, Byte* area_, uint32_t length_) : layout(layout_), area(area_), length(length_) {}
    template <class Other, class = std::enable_if_t<std::is_same_v<Byte, const Other>>>
    BasicVolume(const BasicVolume<Other>& other) : layout(other.layout), area(other.area), length(other.length) {}

    // `count` bytes from `offset` lie whole inside the area.
    bool InBounds(uint64_t offset, uint64_t count) const { return offset <= length && count <= length - offset; }
    bool InBounds(const ByteRange& range) const { return InBounds(range.offset, range.length); }
    Byte* At(uint64_t offset) const { return area + offset; }

    ByteRange ClusterBytes(uint32_t cluster) const { return vk::ClusterBytes(layout, cluster); }
    ByteRange FatEntryBytes(uint32_t cluster) const { return vk::FatEntryBytes(layout, cluster); }
    // The first byte of `cluster`; only for one that ClusterInBounds.
    Byte* Cluster(uint32_t cluster) const { return area + layout.ClusterOffset(cluster); }
    bool ClusterInBounds(uint32_t cluster) const { return InBounds(ClusterBytes(cluster)); }

    // The FAT entry of `cluster`, and its change (ReadFatEntry, WriteFatEntry).
    uint32_t FatEntry(uint32_t cluster) const { return ReadFatEntry(*this, cluster); }
    bool SetFatEntry(uint32_t cluster, uint32_t value) const { return WriteFatEntry(*this, cluster, value); }
};

using Volume = BasicVolume<uint8_t>;
using ConstVolume = BasicVolume<const uint8_t>;

// The entry of `cluster` in the layout's FAT width; an end mark (0xFFF, or
// 0xFFFF for FAT16) when the entry lies at or past the area's end. A FAT32
// layout has no data clusters, so nothing reads its entries.
uint32_t ReadFatEntry(const ConstVolume& vol, uint32_t cluster);
// Changes exactly the entry's 12 or 16 bits. False, writing nothing, when the
// entry lies outside FAT copy 1 or past the area's end, or when the FAT is
// neither FAT12 nor FAT16.
bool WriteFatEntry(const Volume& vol, uint32_t cluster, uint32_t value);

// The open image's volume.
Volume VolumeOf(ImageDocument& doc);
ConstVolume VolumeOf(const ImageDocument& doc);

}  // namespace vk
