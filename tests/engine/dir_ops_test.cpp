// The document's operations inside folders: listing, adding (a full folder
// grows, a failed add undoes the growth), making, removing, renaming and
// extracting trees.
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/fat/ops/add_file.h"
#include "engine/fat/ops/delete_rename.h"
#include "engine/fat/ops/dir_ops.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/dir_slot.h"
#include "engine/fat/ops/extract_tree.h"
#include "engine/fat/dir/list_texts.h"
#include "tests/support/box_flags.h"
#include "tests/support/win_codes.h"
#include "engine/strings/string_ids.h"
#include "tests/engine/transfer_fixture.h"

namespace vk {
namespace {

using test::Bytes;

constexpr unsigned kAskRemove = test::kBoxYesNoCancel | test::kIconQuestion | test::kDefaultButton2;

class DirOpsTest : public test::TransferTest {
protected:
    DirRef Mkdir(DirRef parent, const std::string& name) {
        const Result made = MakeFolderIn(doc, parent, name, options);
        EXPECT_TRUE(made.Done()) << name;
        return made.changes.added.size() == 1 ? DirRef{Load16(Entry(made.changes.added[0]) + kDirFirstCluster)}
                                              : kRootDir;
    }
    // Takes every free slot of `dir` with an empty file entry, without growing it.
    void Fill(DirRef dir) {
        for (int n = 0;; ++n) {
            NewSlot slot;
            ASSERT_TRUE(PlanNewSlot(ConstVolume(layout, doc.Area(), doc.AreaLength()), dir, "", "", slot).Done());
            if (slot.growCluster != 0) return;
            uint8_t* e = Entry(slot.offset);
            std::memset(e, 0, kDirEntrySize);
            const std::string name = "F" + std::to_string(1000 + n) + "    TXT";
            std::memcpy(e, name.data(), kDirFullNameLength);
            e[kDirAttr] = kAttrArchive;
        }
    }
    std::vector<uint32_t> Chain(DirRef d) const {
        std::vector<uint32_t> chain;
        for (ChainWalker w(ConstVolume(layout, doc.Area(), doc.AreaLength()), d.cluster); w.State() == ChainState::kCluster;
             w.Advance())
            chain.push_back(w.Cluster());
        return chain;
    }
    uint32_t In(DirRef d, const std::string& name) {
        return FindShownEntry(ConstVolume(layout, doc.Area(), doc.AreaLength()), d, name);
    }
    uint32_t FreeClusters() const { return CountClusters(ConstVolume(layout, doc.Area(), doc.AreaLength())).free; }
    Bytes Snapshot() const { return test::ImageBytes(doc); }
};

TEST_F(DirOpsTest, AddIntoAFullFolderGrowsItAndAFailedAddUndoesTheGrowth) {
    const DirRef a = Mkdir(kRootDir, "A");
    Fill(a);
    ASSERT_EQ(Chain(a).size(), 1u);
    const Bytes data = Pattern(3000);
    const std::string small = HostFile("small.bin", data);

    // Too big for the free clusters: the grown cluster and every FAT entry come back.
    const std::string big = HostFile("big.bin", Pattern(size_t{FreeClusters()} * layout.clusterBytes));
    const Bytes before = Snapshot();
    script.Message(kMsgDiskFull, test::kIconError);
    EXPECT_TRUE(Shown(AddHostFile(doc, big, options, a)).Failed());
    EXPECT_EQ(Snapshot(), before);

    const Result added = Shown(AddHostFile(doc, small, options, a));
    ASSERT_TRUE(added.Done());
    ASSERT_EQ(added.changes.added.size(), 1u);
    const uint32_t entry = added.changes.added[0];
    EXPECT_EQ(Chain(a).size(), 2u);
    EXPECT_EQ(DirectoryOf(doc, entry), a);
    EXPECT_EQ(In(a, "SMALL.BIN"), entry);
    EXPECT_EQ(In(kRootDir, "SMALL.BIN"), 0u);
    const std::vector<uint32_t> listed = ListedEntries(doc, a);
    EXPECT_EQ(listed.back(), entry);
    EXPECT_EQ(listed.size(), layout.clusterBytes / kDirEntrySize - 2 + 1) << "no dot entries";

    // The same name again asks kMsgReplaceEntry in the folder, as in the root.
    script.Message(kMsgReplaceEntry, test::kBoxYesNo | test::kIconQuestion, test::kIdNo);
    EXPECT_FALSE(Shown(AddHostFile(doc, small, options, a)).Done());
}

// One add command carries each directory's slots from file to file: it
// takes the slots one add at a time takes, past the first never-used slot,
// then the deleted ones, then (a folder) a grown cluster.
TEST_F(DirOpsTest, OneAddCommandTakesTheSlotsSeparateAddsTake) {
    std::vector<std::string> paths;
    for (int i = 0; i < 16; ++i) paths.push_back(HostFile("n" + std::to_string(i) + ".txt", Pattern(100 * i)));
    const DirRef a = Mkdir(kRootDir, "A");
    for (const DirRef d : {kRootDir, a}) {
        SCOPED_TRACE(d.IsRoot() ? "root" : "folder");
        for (int n = 0;; ++n) {
            NewSlot slot;
            if (!PlanNewSlot(ConstVolume(layout, doc.Area(), doc.AreaLength()), d, "", "", slot).Done() || slot.growCluster != 0)
                break;
            const std::string name = "F" + std::to_string(1000 + n) + "    TXT";
            std::memcpy(Entry(slot.offset), name.data(), kDirFullNameLength);
        }
        std::vector<uint32_t> slots;
        WalkDirectory(ConstVolume(layout, doc.Area(), doc.AreaLength()), d, [&](uint32_t offset) {
            slots.push_back(offset);
            return true;
        });
        ASSERT_GT(slots.size(), 20u);
        Entry(slots[3])[kDirName] = kEntryDeleted;
        Entry(slots[6])[kDirName] = kEntryDeleted;
        Entry(slots[10])[kDirName] = kEntryNeverUsed;  // the live entries after it are still walked
        for (size_t i = slots.size() - 10; i < slots.size(); ++i) Entry(slots[i])[kDirName] = kEntryNeverUsed;

        const std::vector<std::string> these(paths.begin(), paths.begin() + (d.IsRoot() ? 13 : 16));
        const Bytes before(doc.Area(), doc.Area() + doc.AreaLength());
        AddFiles(doc, these, [](const Result& one) { EXPECT_TRUE(one.Done()); }, options, d);
        const Bytes together(doc.Area(), doc.Area() + doc.AreaLength());
        std::memcpy(doc.Area(), before.data(), before.size());
        for (const std::string& path : these) EXPECT_TRUE(Shown(AddHostFile(doc, path, options, d)).Done());
        EXPECT_EQ(Bytes(doc.Area(), doc.Area() + doc.AreaLength()), together);
        EXPECT_NE(together, before);
    }
}

TEST_F(DirOpsTest, AHostFolderAddedInAFolderNamesItsParent) {
    const DirRef a = Mkdir(kRootDir, "A");
    std::filesystem::create_directory(dir.Path("sub"));
    const Result added = Shown(AddHostFile(doc, dir.Path("sub"), options, a));
    ASSERT_EQ(added.changes.added.size(), 1u);
    const uint32_t sub = Load16(Entry(added.changes.added[0]) + kDirFirstCluster);
    const uint8_t* dots = doc.Area() + layout.ClusterOffset(sub);
    EXPECT_EQ(Load16(dots + kDirFirstCluster), sub);
    EXPECT_EQ(Load16(dots + kDirEntrySize + kDirFirstCluster), a.cluster);
}

TEST_F(DirOpsTest, MakeFolderChecksTheNameInItsDirectory) {
    const DirRef a = Mkdir(kRootDir, "A");
    Mkdir(a, "b");
    const struct {
        const char* name;
        unsigned id;
        std::vector<std::string> inserts;
    } refused[] = {
        {"B", kMsgFolderNameTaken, {"A\\B"}},
        {"", kMsgNameBlank, {}},
        {"NINECHARS", kMsgNameInvalid, {}},
        {"A*B", kMsgNameBadChars, {}},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        const Bytes before = Snapshot();
        const Result r = MakeFolderIn(doc, a, c.name, options);
        ASSERT_TRUE(r.failure.has_value());
        EXPECT_EQ(r.failure->id, c.id);
        EXPECT_EQ(r.failure->inserts, c.inserts);
        EXPECT_EQ(Snapshot(), before);
    }
    EXPECT_NE(In(a, "B"), 0u);
    EXPECT_EQ(In(kRootDir, "B"), 0u);
}

TEST_F(DirOpsTest, RemoveFoldersAsksAndFreesTheWholeTree) {
    const uint32_t freeAtStart = FreeClusters();
    const DirRef a = Mkdir(kRootDir, "A");
    Mkdir(a, "EMPTY");
    const DirRef b = Mkdir(a, "B");
    ASSERT_TRUE(Shown(AddHostFile(doc, HostFile("one.bin", Pattern(2000)), options, b)).Done());
    ASSERT_TRUE(Shown(AddHostFile(doc, HostFile("two.bin", Pattern(10)), options, a)).Done());
    const uint32_t aEntry = In(kRootDir, "A");

    // Not recursive: a folder with contents is refused, an empty one goes after a question.
    const Bytes before = Snapshot();
    script.Message(kMsgCannotDeleteDir, test::kIconError);
    EXPECT_TRUE(Shown(RemoveFolders(doc, {aEntry}, false, options)).Failed());
    EXPECT_EQ(Snapshot(), before);
    script.Message(kMsgDeleteFolder, kAskRemove, test::kIdYes);
    EXPECT_TRUE(Shown(RemoveFolders(doc, {In(a, "EMPTY")}, false, options)).Done());
    EXPECT_EQ(script.Shown().back().inserts, (std::vector<std::string>{"A\\EMPTY"}));
    EXPECT_EQ(In(a, "EMPTY"), 0u);

    // Recursive: the question counts the files; No keeps everything.
    for (int answer : {test::kIdNo, test::kIdYes}) {
        script.Message(kMsgDeleteFolderTree, kAskRemove, answer);
        const Result r = Shown(RemoveFolders(doc, {aEntry}, true, options));
        EXPECT_EQ(script.Shown().back().inserts, (std::vector<std::string>{"A", "2"}));
        EXPECT_EQ(r.changes.removed.size(), answer == test::kIdYes ? 1u : 0u);
    }
    EXPECT_EQ(In(kRootDir, "A"), 0u);
    EXPECT_EQ(FreeClusters(), freeAtStart);
}

TEST_F(DirOpsTest, RenameLooksForTheNameInTheEntrysOwnDirectory) {
    const DirRef a = Mkdir(kRootDir, "A");
    PlaceFile(1, "ROOT    TXT", {}, {});
    const uint32_t x = Shown(AddHostFile(doc, HostFile("x.txt", Pattern(5)), options, a)).changes.added.at(0);
    Shown(AddHostFile(doc, HostFile("y.txt", Pattern(5)), options, a));
    const std::string taken = "y.txt";
    const Result refused = RenameEntry(doc, x, &taken, options);
    ASSERT_TRUE(refused.failure.has_value());
    EXPECT_EQ(refused.failure->hostCode, test::win_code::kAlreadyExists);
    const std::string rootName = "root.txt";
    EXPECT_TRUE(RenameEntry(doc, x, &rootName, options).Done()) << "a name of the root is free in a folder";
    EXPECT_EQ(In(a, "ROOT.TXT"), x);
}

TEST_F(DirOpsTest, ExtractTreeWritesFoldersAndSkipsALoop) {
    const DirRef a = Mkdir(kRootDir, "A");
    const DirRef b = Mkdir(a, "B");
    const Bytes one = Pattern(2000, 3);
    ASSERT_TRUE(Shown(AddHostFile(doc, HostFile("one.bin", one), options, b)).Done());
    // LOOP's chain is A's: a folder that holds itself.
    const DirRef loop = Mkdir(a, "LOOP");
    Store16(Entry(In(a, "LOOP")) + kDirFirstCluster, static_cast<uint16_t>(a.cluster));
    SetFat(loop.cluster, kFatFree);

    const std::string out = dir.Path("out");
    std::filesystem::create_directory(out);
    uint32_t written = 0;
    const Result r = ExtractTree(doc, {In(kRootDir, "A")}, out, kReplaceSilently, &written);
    ASSERT_TRUE(r.failure.has_value());
    EXPECT_EQ(r.failure->id, kMsgStoredFileCorrupt);
    EXPECT_EQ(r.failure->inserts, (std::vector<std::string>{"A\\LOOP"}));
    EXPECT_EQ(written, 1u);
    EXPECT_EQ(test::ReadFile(out + "/A/B/ONE.BIN"), one);
    EXPECT_FALSE(std::filesystem::exists(out + "/A/LOOP"));

    // A folder whose first cluster is 0 would name the root: it is damaged,
    // and nothing of the root comes out under its name.
    Store16(Entry(In(kRootDir, "A")) + kDirFirstCluster, 0);
    std::filesystem::create_directory(dir.Path("zero"));
    const Result zero = ExtractTree(doc, {In(kRootDir, "A")}, dir.Path("zero"), kReplaceSilently, &written);
    ASSERT_TRUE(zero.failure.has_value());
    EXPECT_EQ(zero.failure->inserts, (std::vector<std::string>{"A"}));
    EXPECT_FALSE(std::filesystem::exists(dir.Path("zero") + "/A"));
}

}  // namespace
}  // namespace vk
