// Choosing slots in the root directory and keeping the volume label.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/new_image.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/directory.h"
#include "engine/fat/dir/long_names.h"
#include "engine/fat/dir/root_directory.h"
#include "engine/strings/string_ids.h"
#include "tests/support/box_flags.h"
#include "tests/support/win_codes.h"
#include "tests/support/test_files.h"

namespace vk {
namespace {

class DirectoryTest : public test::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ASSERT_TRUE(test::Shown(CreateEmptyImage(doc, 0xF9, kBootMsDos6), test::TestOwner()));
        layout = doc.GetLayout();
    }
    uint32_t Slot(uint32_t i) const { return static_cast<uint32_t>(layout.rootStart) + i * kDirEntrySize; }
    uint8_t* At(uint32_t i) { return doc.Area() + Slot(i); }
    void Put(uint32_t i, const char* name11, uint8_t attr = kAttrArchive) {
        std::memcpy(At(i), name11, 11);
        At(i)[kDirAttr] = attr;
    }
    void Delete(uint32_t i) { At(i)[kDirName] = kEntryDeleted; }
    SlotResult Find(const std::string& display, bool quiet = false) {
        return Told(FindEntrySlot(ConstVolume(layout, doc.Area(), doc.AreaLength()), display, PackShortName(display), quiet, options.forceSwitch));
    }
    // A caller shows why there is no slot.
    static SlotResult Told(SlotResult r) {
        if (r.failure) Tell(*r.failure);
        return r;
    }
    std::vector<uint8_t> Snapshot() const { return {doc.Area(), doc.Area() + doc.AreaLength()}; }
    Layout layout;
};

// The offsets a root walk hands out, and where it ends.
struct Walked {
    std::vector<uint32_t> offsets;
    RootWalkEnd end;
};

class RootWalkTest : public DirectoryTest {
protected:
    Walked Walk(uint32_t length, uint32_t stopAt = UINT32_MAX) {
        Walked w;
        w.end = WalkRootEntries(ConstVolume(layout, doc.Area(), length), [&](uint32_t offset) {
            w.offsets.push_back(offset);
            return offset != stopAt;
        });
        return w;
    }
    void Fill(uint32_t count) {
        for (uint32_t i = 0; i < count; ++i) Put(i, ("F" + std::to_string(1000 + i) + "   TXT").c_str());
    }
};

TEST_F(RootWalkTest, HandsOutLiveAndDeletedEntriesUpToTheFirstNeverUsedOne) {
    Fill(3);
    Delete(1);
    Put(5, "BEYOND  TXT");
    const Walked w = Walk(doc.AreaLength());
    EXPECT_EQ(w.offsets, (std::vector<uint32_t>{Slot(0), Slot(1), Slot(2)}));
    EXPECT_TRUE(w.end.neverUsed);
    EXPECT_EQ(w.end.offset, Slot(3));
    EXPECT_EQ(w.end.index, 3u);
}

TEST_F(RootWalkTest, StopsWhereTheVisitorSays) {
    Fill(4);
    const Walked w = Walk(doc.AreaLength(), Slot(1));
    EXPECT_EQ(w.offsets.size(), 2u);
    EXPECT_FALSE(w.end.neverUsed);
    EXPECT_EQ(w.end.offset, Slot(1));
    EXPECT_EQ(w.end.index, 1u);
}

TEST_F(RootWalkTest, EndsWithTheDirectory) {
    Fill(layout.rootEntries);
    const Walked w = Walk(doc.AreaLength());
    EXPECT_EQ(w.offsets.size(), layout.rootEntries);
    EXPECT_EQ(w.end.offset, 0u);
    EXPECT_EQ(w.end.index, layout.rootEntries);
}

TEST_F(RootWalkTest, EndsWhereTheImageCutsAnEntry) {
    Fill(10);
    const Walked w = Walk(Slot(5) + kDirEntrySize - 1);
    EXPECT_EQ(w.offsets.size(), 5u);
    EXPECT_EQ(w.end.offset, 0u);
    EXPECT_EQ(w.end.index, 5u);
}

TEST_F(DirectoryTest, NeverUsedSlotBeatsAnEarlierDeletedOne) {
    Put(0, "OLD     TXT");
    Delete(0);
    Put(1, "A       TXT");
    Put(2, "B       TXT");
    const SlotResult r = Find("NEW.TXT");
    EXPECT_TRUE(r.hasSlot);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.slotOffset, Slot(3));
    EXPECT_EQ(r.scanned, 3u);
    EXPECT_TRUE(r.goOn);
}

TEST_F(DirectoryTest, FullDirectoryTakesTheFirstDeletedSlot) {
    for (uint32_t i = 0; i < layout.rootEntries; ++i) Put(i, ("F" + std::to_string(1000 + i) + "   TXT").c_str());
    Delete(40);
    Delete(70);
    const SlotResult r = Find("NEW.TXT");
    EXPECT_TRUE(r.hasSlot);
    EXPECT_EQ(r.slotOffset, Slot(40));
    EXPECT_EQ(r.scanned, layout.rootEntries);
}

TEST_F(DirectoryTest, FullDirectoryWithoutDeletedSlotShowsMessage75AndStops) {
    for (uint32_t i = 0; i < layout.rootEntries; ++i) Put(i, ("F" + std::to_string(1000 + i) + "   TXT").c_str());
    script.Message(kMsgDirectoryFull, test::kIconError);
    const SlotResult r = Find("NEW.TXT");
    EXPECT_FALSE(r.hasSlot);
    EXPECT_FALSE(r.goOn);
    EXPECT_EQ(script.Shown().back().inserts, std::vector<std::string>{"NEW.TXT"});
}

TEST_F(DirectoryTest, ExistingNameAsksMessage74) {
    Put(0, "A       TXT");
    Put(1, "NOTES   TXT");
    const auto before = Snapshot();

    script.Message(kMsgReplaceEntry, test::kBoxYesNo | test::kIconQuestion, test::kIdNo);
    SlotResult r = Find("NOTES.TXT");
    EXPECT_FALSE(r.hasSlot);
    EXPECT_TRUE(r.found);
    EXPECT_TRUE(r.goOn) << "declining one file lets the others go on";
    EXPECT_EQ(Snapshot(), before);

    script.Message(kMsgReplaceEntry, test::kBoxYesNo | test::kIconQuestion, test::kIdYes);
    r = Find("NOTES.TXT");
    EXPECT_TRUE(r.hasSlot);
    EXPECT_EQ(r.slotOffset, Slot(1));
    EXPECT_EQ(r.scanned, 1u);

    // Quiet lookups and the /F switch take the entry without asking.
    EXPECT_EQ(Find("NOTES.TXT", true).slotOffset, Slot(1));
    options.forceSwitch = true;
    EXPECT_EQ(Find("NOTES.TXT").slotOffset, Slot(1));
}

TEST_F(DirectoryTest, VolumeLabelTakesPartInTheNameComparison) {
    Put(0, "MYDISK     ", kAttrVolume);
    script.Message(kMsgReplaceEntry, test::kBoxYesNo | test::kIconQuestion, test::kIdYes);
    const SlotResult r = Find("MYDISK");
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.slotOffset, Slot(0));
}

TEST_F(DirectoryTest, ImageEndingInsideTheRootDirectoryReportsImageTooSmall) {
    Put(0, "A       TXT");
    Put(1, "B       TXT");
    Put(2, "C       TXT");
    const uint32_t shortLength = Slot(3);  // three entries fit, all in use
    script.Message(kMsgImageTooSmall, test::kIconError);
    SlotResult r =
        Told(FindEntrySlot(ConstVolume(layout, doc.Area(), shortLength), "NEW.TXT", PackShortName("NEW.TXT"), false, options.forceSwitch));
    EXPECT_FALSE(r.hasSlot);
    EXPECT_FALSE(r.goOn);
    // A quiet lookup says nothing and finds what there is.
    r = Told(FindEntrySlot(ConstVolume(layout, doc.Area(), shortLength), "A.TXT", PackShortName("A.TXT"), true, options.forceSwitch));
    EXPECT_FALSE(r.failure.has_value());
    EXPECT_EQ(r.slotOffset, Slot(0));
}

TEST_F(DirectoryTest, FindVolumeLabelSkipsDeletedAndLongNameEntries) {
    EXPECT_EQ(FindVolumeLabel(ConstVolume(layout, doc.Area(), doc.AreaLength())), 0u);
    Put(0, "OLDLABEL   ", kAttrVolume);
    Delete(0);
    Put(1, "LONGNAME   ", kAttrLongName);
    Put(2, "FILE    TXT");
    Put(3, "MYDISK     ", kAttrVolume | kAttrArchive);
    EXPECT_EQ(FindVolumeLabel(ConstVolume(layout, doc.Area(), doc.AreaLength())), Slot(3));
    // The scan ends at the first never-used entry.
    Put(5, "LATER      ", kAttrVolume);
    At(3)[0] = kEntryNeverUsed;
    EXPECT_EQ(FindVolumeLabel(ConstVolume(layout, doc.Area(), doc.AreaLength())), 0u);
}

TEST_F(DirectoryTest, StoreVolumeLabelSlotChoice) {
    uint8_t label[32] = {};
    std::memcpy(label, "NEWLABEL   ", 11);
    label[kDirAttr] = kAttrVolume;
    auto store = [&](const uint8_t* e) { return StoreVolumeLabel(Volume(layout, doc.Area(), doc.AreaLength()), e); };

    // Removing from a directory without a label changes nothing.
    Put(0, "FILE    TXT");
    auto before = Snapshot();
    EXPECT_TRUE(store(nullptr));
    EXPECT_EQ(Snapshot(), before);

    // A new label prefers an earlier deleted slot to the first never-used one.
    Put(1, "GONE    TXT");
    Delete(1);
    EXPECT_TRUE(store(label));
    EXPECT_EQ(std::memcmp(At(1), label, 32), 0);

    // A deleted label slot is reused, even behind another deleted slot.
    Delete(1);
    Put(2, "X       TXT");
    Delete(0);
    EXPECT_TRUE(store(label));
    EXPECT_EQ(std::memcmp(At(1), label, 32), 0);
    EXPECT_EQ(At(0)[0], kEntryDeleted);

    // Removal marks it deleted, once.
    EXPECT_TRUE(store(nullptr));
    EXPECT_EQ(At(1)[0], kEntryDeleted);
    before = Snapshot();
    EXPECT_TRUE(store(nullptr));
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(DirectoryTest, ChangingTheLabelDeletesALongNameInFrontOfIt) {
    // Written by a tool that gave the label a long name; it would not fit the new one.
    uint8_t* run = At(0);
    std::memset(run, 0xFF, 32);
    run[0] = 1 | kLongNameLastFlag;
    run[kDirAttr] = kAttrLongName;
    run[kLongNameChecksum] = ShortNameChecksum(reinterpret_cast<const uint8_t*>("OLDLABEL   "));
    Put(1, "OLDLABEL   ", kAttrVolume);
    uint8_t label[32] = {};
    std::memcpy(label, "NEWLABEL   ", 11);
    label[kDirAttr] = kAttrVolume;
    ASSERT_TRUE(StoreVolumeLabel(Volume(layout, doc.Area(), doc.AreaLength()), label));
    EXPECT_EQ(At(0)[0], kEntryDeleted);
    EXPECT_EQ(std::memcmp(At(1), label, 32), 0);
}

TEST_F(DirectoryTest, StoreVolumeLabelFailsInAFullDirectory) {
    for (uint32_t i = 0; i < layout.rootEntries; ++i) Put(i, ("F" + std::to_string(1000 + i) + "   TXT").c_str());
    uint8_t label[32] = {};
    std::memcpy(label, "NEWLABEL   ", 11);
    label[kDirAttr] = kAttrVolume;
    const auto before = Snapshot();
    EXPECT_FALSE(StoreVolumeLabel(Volume(layout, doc.Area(), doc.AreaLength()), label));
    EXPECT_EQ(Snapshot(), before);
}

}  // namespace
}  // namespace vk
