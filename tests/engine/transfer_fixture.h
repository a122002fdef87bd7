// Shared ground of the add and extract tests: a fresh 720K MS-DOS image in
// `doc`, host files made from patterned bytes, and lookups of entries.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "engine/common/bytes.h"
#include "engine/core/new_image.h"
#include "engine/fat/ops/add_file.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/table/fat12.h"
#include "engine/fat/dir/root_directory.h"
#include "tests/support/test_files.h"

namespace vk::test {

class TransferTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ASSERT_TRUE(test::Shown(CreateEmptyImage(doc, 0xF9, kBootMsDos6), test::TestOwner()));
        layout = doc.GetLayout();
    }

    // Bytes that differ from cluster to cluster, so a misplaced cluster shows.
    static Bytes Pattern(size_t size, uint8_t seed = 1) {
        Bytes b(size);
        for (size_t i = 0; i < size; ++i) b[i] = static_cast<uint8_t>(seed + i * 7 + i / 1024);
        return b;
    }
    // Adds `path` as the Add file command does, showing what it says.
    Result Add(const std::string& path) { return Shown(AddHostFile(doc, path, options)); }
    std::string HostFile(const std::string& name, const Bytes& bytes) {
        const std::string path = dir.Path(name);
        WriteFile(path, bytes);
        return path;
    }
    // Offset of the live entry with the 11 packed bytes `name11`, 0 when none.
    uint32_t EntryNamed(const char* name11) const {
        const RootWalkEnd end = WalkRootEntries(ConstVolume(layout, doc.Area(), doc.AreaLength()), [&](uint32_t offset) {
            return std::memcmp(doc.Area() + offset, name11, kDirFullNameLength) != 0;
        });
        return end.neverUsed ? 0 : end.offset;
    }
    uint32_t Slot(uint32_t index) const { return static_cast<uint32_t>(layout.rootStart) + index * kDirEntrySize; }
    uint8_t* Entry(uint32_t offset) { return doc.Area() + offset; }
    uint32_t Fat(uint32_t n) const { return ReadFatEntry(ConstVolume(layout, doc.Area(), doc.AreaLength()), n); }
    void SetFat(uint32_t n, uint32_t v) { ASSERT_TRUE(WriteFatEntry(Volume(layout, doc.Area(), doc.AreaLength()), n, v)); }
    std::vector<uint32_t> ChainOf(uint32_t entryOffset) const {
        std::vector<uint32_t> chain;
        ChainWalker walk(ConstVolume(layout, doc.Area(), doc.AreaLength()), Load16(doc.Area() + entryOffset + kDirFirstCluster));
        for (; walk.State() == ChainState::kCluster; walk.Advance()) chain.push_back(walk.Cluster());
        return chain;
    }
    // Writes a file entry into root slot `index` by hand, with `data` in `clusters` (linked in order).
    uint32_t PlaceFile(uint32_t index, const char* name11, const Bytes& data, const std::vector<uint32_t>& clusters,
                       uint8_t attr = kAttrArchive) {
        const uint32_t offset = Slot(index);
        uint8_t* e = Entry(offset);
        std::memset(e, 0, kDirEntrySize);
        std::memcpy(e, name11, 11);
        e[kDirAttr] = attr;
        Store16(e + kDirFirstCluster, clusters.empty() ? 0 : clusters.front());
        Store32(e + kDirSize, static_cast<uint32_t>(data.size()));
        Store16(e + kDirDate, (2001 - 1980) << 9 | 2 << 5 | 3);
        Store16(e + kDirTime, 4 << 11 | 5 << 5 | 6 / 2);
        for (size_t i = 0; i < clusters.size(); ++i) {
            SetFat(clusters[i], i + 1 < clusters.size() ? clusters[i + 1] : kFatEnd);
            const size_t from = i * layout.clusterBytes;
            const size_t count = std::min<size_t>(layout.clusterBytes, data.size() > from ? data.size() - from : 0);
            if (count) std::memcpy(doc.Area() + layout.ClusterOffset(clusters[i]), data.data() + from, count);
        }
        return offset;
    }

    Layout layout;
};

}  // namespace vk::test
