// A fresh 720 KB image as the document, with helpers that put entries and
// chains into its root directory and FAT the way another system would have.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "engine/common/bytes.h"
#include "engine/core/boot_sector.h"
#include "engine/core/new_image.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/table/fat12.h"
#include "engine/fat/dir/fs_options.h"
#include "engine/core/layout.h"
#include "tests/support/test_files.h"

namespace vk::test {

// A long-name entry as other systems write it: place `order` in its run,
// the checksum of the short entry it was written for, some name characters.
inline void WriteLongNameEntry(uint8_t* e, uint8_t order, uint8_t checksum) {
    std::memset(e, 0xFF, kDirEntrySize);
    e[0] = order;
    for (uint32_t k : {1u, 3u, 5u, 7u, 9u}) Store16(e + k, 'a' + order % 16);
    e[kDirAttr] = kAttrLongName;
    e[12] = 0;
    e[13] = checksum;
    Store16(e + kDirFirstCluster, 0);
}

class FatImageTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ASSERT_TRUE(test::Shown(CreateEmptyImage(doc, 0xF9, kBootMsDos6), test::TestOwner()));
        layout = doc.GetLayout();
    }

    uint32_t Slot(uint32_t i) const { return static_cast<uint32_t>(layout.rootStart) + i * kDirEntrySize; }
    uint8_t* At(uint32_t i) { return doc.Area() + Slot(i); }

    // `name11` is the 11 raw name bytes; the chain runs over `clusters`.
    void Put(uint32_t i, const char* name11, uint8_t attr, std::vector<uint32_t> clusters = {}, uint32_t size = 0,
             uint16_t date = 0x5865, uint16_t time = 0x6882) {
        uint8_t* e = At(i);
        std::memcpy(e + kDirName, name11, kDirFullNameLength);
        e[kDirAttr] = attr;
        Store16(e + kDirDate, date);
        Store16(e + kDirTime, time);
        Store16(e + kDirFirstCluster, clusters.empty() ? 0 : clusters.front());
        Store32(e + kDirSize, size);
        for (size_t k = 0; k < clusters.size(); ++k) {
            const uint32_t next = k + 1 < clusters.size() ? clusters[k + 1] : kFatEnd;
            ASSERT_TRUE(WriteFatEntry(Volume(layout, doc.Area(), doc.AreaLength()), clusters[k], next));
        }
    }
    uint32_t Fat(uint32_t cluster) const { return ReadFatEntry(ConstVolume(layout, doc.Area(), doc.AreaLength()), cluster); }
    std::string Name11(uint32_t i) { return std::string(reinterpret_cast<const char*>(At(i)), kDirFullNameLength); }
    Bytes Snapshot() const { return ImageBytes(doc); }

    Layout layout;
};

}  // namespace vk::test
