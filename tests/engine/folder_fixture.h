// A fresh 720 KB image (2 sectors, 32 slots, per cluster) with helpers that
// make folders with the engine and put files into any directory by hand.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/common/bytes.h"
#include "engine/fat/dir/dir_make.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/dir_slot.h"
#include "engine/fat/dir/dir_tree.h"
#include "engine/fat/dir/dir_walk.h"
#include "tests/engine/fat_image_fixture.h"

namespace vk::test {

constexpr uint16_t kFolderDate = PackDosDate(2003, 4, 5);
constexpr uint16_t kFolderTime = PackDosTime(6, 7, 8);

class FolderTest : public FatImageTest {
protected:
    uint8_t* Area() { return doc.Area(); }
    uint32_t Length() const { return doc.AreaLength(); }
    uint32_t SlotsPerCluster() const { return static_cast<uint32_t>(layout.clusterBytes / kDirEntrySize); }

    // Makes folder `name` in `parent` (at `parentPath`), which must work.
    DirRef Mkdir(DirRef parent, const std::string& parentPath, const std::string& name) {
        const Result made = MakeFolder(Volume(layout, Area(), Length()), parent, parentPath, name, kFolderDate, kFolderTime);
        EXPECT_TRUE(made.Done()) << name;
        if (made.changes.added.size() != 1) return kRootDir;
        return DirRef{Load16(Area() + made.changes.added.front() + kDirFirstCluster)};
    }
    // A file entry `name11` in the next free slot of `dir`, its chain over `clusters`.
    uint32_t PutFile(DirRef dir, const char* name11, const std::vector<uint32_t>& clusters = {}) {
        NewSlot slot;
        EXPECT_TRUE(PlanNewSlot(ConstVolume(layout, Area(), Length()), dir, "", "", slot).Done()) << name11;
        PrepareSlot(Volume(layout, Area(), Length()), slot);
        uint8_t* e = Area() + slot.offset;
        std::memset(e, 0, kDirEntrySize);
        std::memcpy(e + kDirName, name11, kDirFullNameLength);
        e[kDirAttr] = kAttrArchive;
        Store16(e + kDirFirstCluster, clusters.empty() ? 0 : clusters.front());
        Store32(e + kDirSize, static_cast<uint32_t>(clusters.size() * layout.clusterBytes));
        for (size_t k = 0; k < clusters.size(); ++k) {
            const uint32_t next = k + 1 < clusters.size() ? clusters[k + 1] : kFatEnd;
            EXPECT_TRUE(WriteFatEntry(Volume(layout, Area(), Length()), clusters[k], next));
        }
        return slot.offset;
    }
    // Fills `dir` with file entries until the last slot of its last cluster is taken.
    void Fill(DirRef dir) {
        while (WalkDirectory(ConstVolume(layout, Area(), Length()), dir, [](uint32_t) { return true; }).neverUsed) {
            PutFile(dir, "FILL    TXT");
        }
    }
    std::vector<uint32_t> ChainOf(DirRef dir) const {
        std::vector<uint32_t> chain;
        for (ChainWalker walk(ConstVolume(layout, doc.Area(), doc.AreaLength()), dir.cluster); walk.State() == ChainState::kCluster;
             walk.Advance()) {
            chain.push_back(walk.Cluster());
        }
        return chain;
    }
    void SetFat(uint32_t cluster, uint32_t link) {
        ASSERT_TRUE(WriteFatEntry(Volume(layout, Area(), Length()), cluster, link));
    }
    void Restore(const Bytes& image) { std::memcpy(Area(), image.data(), image.size()); }
    uint32_t EntryIn(DirRef dir, const std::string& name) {
        return FindShownEntry(ConstVolume(layout, Area(), Length()), dir, name);
    }
    // The paths a tree walk from `top` hands out, in order, and its problems.
    std::vector<std::string> TreePaths(DirRef top, TreeWalkEnd* end = nullptr) {
        std::vector<std::string> paths;
        const TreeWalkEnd walked = WalkTree(ConstVolume(layout, Area(), Length()), top, "", [&](const TreeItem& item) {
            paths.push_back(item.path);
            return true;
        });
        if (end != nullptr) *end = walked;
        return paths;
    }
};

}  // namespace vk::test
