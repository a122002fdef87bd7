// Adding host files: cluster allocation, stamping, replacing, and every way
// an add can fail with the image left exactly as it was.
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#ifdef _WIN32
#else
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include "engine/fat/ops/add_file.h"
#include "engine/fat/ops/directory.h"
#include "engine/fat/dir/folder.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/dir/long_names.h"
#include "tests/engine/fat_image_fixture.h"
#include "engine/strings/string_ids.h"
#include "tests/engine/transfer_fixture.h"
#include "tests/support/box_flags.h"
#include "tests/support/win_codes.h"

namespace vk {
namespace {

using test::Bytes;

class AddFileTest : public test::TransferTest {
protected:
    Bytes DataOf(uint32_t entryOffset) {
        Bytes out;
        uint32_t remaining = Load32(Entry(entryOffset) + kDirSize);
        for (uint32_t c : ChainOf(entryOffset)) {
            const uint32_t piece = std::min<uint32_t>(remaining, static_cast<uint32_t>(layout.clusterBytes));
            const uint8_t* p = doc.Area() + layout.ClusterOffset(c);
            out.insert(out.end(), p, p + piece);
            remaining -= piece;
        }
        return out;
    }
    void FillDisk(uint32_t from = 2) {
        for (uint32_t n = from; n <= layout.lastCluster; ++n) SetFat(n, kFatEnd);
    }
    std::string MakeHostFolder(const std::string& name) {
        const std::string folder = dir.Path(name);
        EXPECT_TRUE(std::filesystem::create_directory(folder));
        return folder;
    }
    // The Add file command over several paths, each file's result shown at once.
    Result AddAll(const std::vector<std::string>& paths) {
        return AddFiles(doc, paths, [](const Result& one) { Report(one); }, options);
    }
    vk::HostFile holder;  // keeps a host file locked
    int socketFd = -1;
};

TEST_F(AddFileTest, FilesTakeTheClustersTheirSizeNeeds) {
    struct Case {
        const char* name;
        const char* packed;
        size_t size;
        size_t clusters;
    } cases[] = {
        {"empty.bin", "EMPTY   BIN", 0, 0},
        {"one.bin", "ONE     BIN", 1, 1},
        {"exact.bin", "EXACT   BIN", 1024, 1},
        {"over.bin", "OVER    BIN", 1025, 2},
        {"three.bin", "THREE   BIN", 3000, 3},
    };
    uint32_t nextCluster = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes data = Pattern(c.size, static_cast<uint8_t>(c.size));
        const Result added = Add(HostFile(c.name, data));
        ASSERT_TRUE(added.Done());
        EXPECT_TRUE(added.goOn);
        const uint32_t e = EntryNamed(c.packed);
        ASSERT_NE(e, 0u);
        EXPECT_EQ(Load32(Entry(e) + kDirSize), c.size);
        const std::vector<uint32_t> chain = ChainOf(e);
        ASSERT_EQ(chain.size(), c.clusters);
        for (size_t i = 0; i < chain.size(); ++i) EXPECT_EQ(chain[i], nextCluster + i) << "first fit";
        if (c.clusters == 0) {
            EXPECT_EQ(Load16(Entry(e) + kDirFirstCluster), 0u);
        } else {
            EXPECT_EQ(Fat(chain.back()), kFatEnd);
        }
        nextCluster += static_cast<uint32_t>(c.clusters);
        EXPECT_EQ(DataOf(e), data);
        EXPECT_EQ(added.changes.added, std::vector<uint32_t>{e});
        EXPECT_TRUE(added.changes.changed.empty());
    }
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(ListedEntries(doc).size(), 5u);
}

TEST_F(AddFileTest, EntryIsStampedFromTheHostFile) {
    const std::string path = HostFile("stamp.txt", Pattern(10));
    HostFindData found;
    ASSERT_EQ(FindHostFile(path, found), 0u);
    DosDateTime want;
    ASSERT_TRUE(HostTimeToLocalDos(found.lastWriteTime, want));
    // A reused slot keeps its reserved bytes.
    uint8_t* reused = Entry(Slot(0));
    std::memcpy(reused, "\xE5OLD    TXT", 11);
    std::memset(reused + kDirReserved, 0xAB, 10);
    ASSERT_TRUE(Add(path).Done());
    const uint32_t e = EntryNamed("STAMP   TXT");
    ASSERT_EQ(e, Slot(1)) << "a never-used slot beats the deleted one";
    EXPECT_EQ(Load16(Entry(e) + kDirDate), want.date);
    EXPECT_EQ(Load16(Entry(e) + kDirTime), want.time);
    EXPECT_EQ(Entry(e)[kDirAttr], found.attributes & kAttrKeptFromHost);
}

TEST_F(AddFileTest, ReusedDeletedSlotKeepsItsReservedBytes) {
    for (uint32_t i = 0; i < layout.rootEntries; ++i) {
        std::memcpy(Entry(Slot(i)), ("F" + std::to_string(1000 + i) + "   TXT").c_str(), 11);
    }
    Entry(Slot(5))[0] = kEntryDeleted;
    std::memset(Entry(Slot(5)) + kDirReserved, 0xAB, 10);
    ASSERT_TRUE(Add(HostFile("new.txt", Pattern(3))).Done());
    EXPECT_EQ(std::memcmp(Entry(Slot(5)), "NEW     TXT", 11), 0);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(Entry(Slot(5))[kDirReserved + i], 0xAB);
}

TEST_F(AddFileTest, ReadOnlyHostFileKeepsItsBit) {
    const std::string path = HostFile("locked.txt", Pattern(5));
    ASSERT_EQ(SetHostFileAttributes(path, kHostReadOnly), 0u);
    uint32_t hostAttributes = 0;
    ASSERT_EQ(GetHostFileAttributes(path, hostAttributes), 0u);
    ASSERT_TRUE(Add(path).Done());
    const uint8_t attr = Entry(EntryNamed("LOCKED  TXT"))[kDirAttr];
    EXPECT_TRUE(attr & kAttrReadOnly);
    EXPECT_EQ(attr & kAttrArchive, hostAttributes & kHostArchive) << "archive as the host has it";
}

TEST_F(AddFileTest, NamesAreNeverRefusedForTheirCharacters) {
    options.nameStrength = NameStrength::kStrict;
    const std::string path = HostFile("a+b.c", Pattern(5));
    HostFindData found;
    ASSERT_EQ(FindHostFile(path, found), 0u);
    ASSERT_TRUE(Add(path).Done());
    // A host that keeps 8.3 names of its own gives one for this name; it is taken as it is.
    const std::string want = found.shortName.empty() ? "A_B     C  " : std::string(
        reinterpret_cast<const char*>(PackShortName(found.shortName).data()), 11);
    EXPECT_NE(EntryNamed(want.c_str()), 0u) << want;
}

TEST_F(AddFileTest, HostFolderBecomesAnEmptySubdirectory) {
    const std::string folder = MakeHostFolder("sub");
    HostFindData found;
    ASSERT_EQ(FindHostFile(folder, found), 0u);
    DosDateTime stamp;
    ASSERT_TRUE(HostTimeToLocalDos(found.lastWriteTime, stamp));
    // The deleted slot it reuses still names a cluster of another file; the
    // cluster it gets held old bytes.
    PlaceFile(0, "OTHER   BIN", Pattern(100), {2});
    PlaceFile(1, "GONE    BIN", Pattern(100), {3});
    for (uint32_t i = 2; i < layout.rootEntries; ++i) std::memcpy(Entry(Slot(i)), "FILLER  BIN", 11);
    Entry(Slot(1))[0] = kEntryDeleted;
    Store16(Entry(Slot(1)) + kDirFirstCluster, 2);
    std::memset(doc.Area() + layout.ClusterOffset(4), 0xAB, layout.clusterBytes);
    const Result added = Add(folder);
    ASSERT_TRUE(added.Done());
    const uint32_t e = EntryNamed("SUB        ");
    ASSERT_EQ(e, Slot(1));
    EXPECT_EQ(Entry(e)[kDirAttr], found.attributes & kAttrKeptFromHost);
    EXPECT_EQ(Entry(e)[kDirAttr] & kAttrDirectory, kAttrDirectory);
    EXPECT_EQ(Load32(Entry(e) + kDirSize), 0u);
    EXPECT_EQ(Load16(Entry(e) + kDirDate), stamp.date);
    EXPECT_EQ(Load16(Entry(e) + kDirTime), stamp.time);
    EXPECT_EQ(ChainOf(e), std::vector<uint32_t>{4}) << "the first free cluster, and only one";
    EXPECT_EQ(Fat(2), kFatEnd) << "the other file keeps its cluster";
    const uint8_t* cluster = doc.Area() + layout.ClusterOffset(4);
    EXPECT_TRUE(HasDotEntries(cluster, layout.clusterBytes, 4, 0));
    for (uint32_t k = 0; k < 2; ++k) {
        const uint8_t* dot = cluster + k * kDirEntrySize;
        EXPECT_EQ(dot[kDirAttr], kAttrDirectory);
        EXPECT_EQ(Load16(dot + kDirDate), stamp.date);
        EXPECT_EQ(Load16(dot + kDirTime), stamp.time);
        EXPECT_EQ(Load32(dot + kDirSize), 0u);
    }
    EXPECT_TRUE(std::all_of(cluster + 2 * kDirEntrySize, cluster + layout.clusterBytes,
                            [](uint8_t b) { return b == 0; }))
        << "the rest of the folder is never used";
    EXPECT_EQ(added.changes.added, std::vector<uint32_t>{e});
}

TEST_F(AddFileTest, FileOverAFolderIsRefusedAlsoUnderForce) {
    for (bool force : {false, true}) {
        SCOPED_TRACE(force ? "under /F" : "asking");
        options.forceSwitch = force;
        PlaceFile(0, "GAMES      ", Pattern(1024), {2}, kAttrDirectory);
        const std::string path = HostFile("games", Pattern(10));
        const Bytes before = test::ImageBytes(doc);
        script.Message(kMsgFileOverFolder, test::kIconError);
        const Result added = Add(path);
        EXPECT_TRUE(added.Failed());
        EXPECT_FALSE(added.goOn);
        EXPECT_EQ(script.Shown().back().inserts, std::vector<std::string>{"GAMES"});
        EXPECT_TRUE(test::ImageBytes(doc) == before);
        EXPECT_FALSE(doc.modified);
        EXPECT_TRUE(added.changes.Empty());
    }
}

TEST_F(AddFileTest, FolderOverAFolderKeepsTheOneThere) {
    PlaceFile(0, "GAMES      ", Pattern(1024), {2}, kAttrDirectory);
    const Bytes before = test::ImageBytes(doc);
    const Result added = Add(MakeHostFolder("games"));
    EXPECT_TRUE(added.Done());
    EXPECT_TRUE(added.goOn);
    EXPECT_TRUE(added.changes.Empty());
    EXPECT_TRUE(test::ImageBytes(doc) == before);
    EXPECT_FALSE(doc.modified);
}

TEST_F(AddFileTest, FolderOverAFileIsTheUsualReplaceQuestion) {
    PlaceFile(0, "GAMES      ", Pattern(3000), {2, 3, 4});
    const std::string folder = MakeHostFolder("games");
    const Bytes before = test::ImageBytes(doc);
    script.Message(kMsgReplaceEntry, test::kBoxYesNo | test::kIconQuestion, test::kIdNo);
    EXPECT_FALSE(Add(folder).Done());
    EXPECT_TRUE(test::ImageBytes(doc) == before);

    script.Message(kMsgReplaceEntry, test::kBoxYesNo | test::kIconQuestion, test::kIdYes);
    ASSERT_TRUE(Add(folder).Done());
    EXPECT_EQ(EntryNamed("GAMES      "), Slot(0));
    EXPECT_EQ(ChainOf(Slot(0)), std::vector<uint32_t>{2}) << "the file's clusters were freed first";
    EXPECT_EQ(Fat(3), kFatFree);
    EXPECT_EQ(Fat(4), kFatFree);
    EXPECT_TRUE(HasDotEntries(doc.Area() + layout.ClusterOffset(2), layout.clusterBytes, 2, 0));
}

TEST_F(AddFileTest, ReplacingAFileDeletesItsLongName) {
    const uint8_t sum = ShortNameChecksum(reinterpret_cast<const uint8_t*>("LONGFI~1TXT"));
    test::WriteLongNameEntry(Entry(Slot(0)), 2 | kLongNameLastFlag, sum);
    test::WriteLongNameEntry(Entry(Slot(1)), 1, sum);
    PlaceFile(2, "LONGFI~1TXT", Pattern(10), {2});
    options.forceSwitch = true;
    ASSERT_TRUE(Add(HostFile("longfi~1.txt", Pattern(20))).Done());
    EXPECT_EQ(EntryNamed("LONGFI~1TXT"), Slot(2));
    EXPECT_EQ(Entry(Slot(0))[0], kEntryDeleted);
    EXPECT_EQ(Entry(Slot(1))[0], kEntryDeleted);
}

TEST_F(AddFileTest, ReplacingFreesTheOldChainFirst) {
    ASSERT_TRUE(Add(HostFile("keep.bin", Pattern(10))).Done());          // cluster 2
    ASSERT_TRUE(Add(HostFile("big.bin", Pattern(3000))).Done());         // clusters 3..5
    ASSERT_TRUE(Add(HostFile("after.bin", Pattern(10))).Done());         // cluster 6
    const uint32_t e = EntryNamed("BIG     BIN");
    const std::vector<uint32_t> items = ListedEntries(doc);
    script.Message(kMsgReplaceEntry, test::kBoxYesNo | test::kIconQuestion, test::kIdYes);
    const Bytes small = Pattern(700, 9);
    const Result replaced = Add(HostFile("big.bin", small));
    ASSERT_TRUE(replaced.Done());
    EXPECT_EQ(EntryNamed("BIG     BIN"), e) << "same slot";
    EXPECT_EQ(ChainOf(e), std::vector<uint32_t>{3});
    EXPECT_EQ(Fat(4), 0u);
    EXPECT_EQ(Fat(5), 0u);
    EXPECT_EQ(DataOf(e), small);
    EXPECT_EQ(ListedEntries(doc), items);
    EXPECT_EQ(replaced.changes.changed, std::vector<uint32_t>{e}) << "the listed entry is redrawn, not added";
    EXPECT_TRUE(replaced.changes.added.empty());
}

TEST_F(AddFileTest, ReplacingTheVolumeLabelListsTheNewFile) {
    std::memcpy(Entry(Slot(0)), "MYDISK     ", 11);
    Entry(Slot(0))[kDirAttr] = kAttrVolume;
    script.Message(kMsgReplaceEntry, test::kBoxYesNo | test::kIconQuestion, test::kIdYes);
    const Result added = Add(HostFile("mydisk", Pattern(10)));
    ASSERT_TRUE(added.Done());
    EXPECT_EQ(added.changes.added, std::vector<uint32_t>{Slot(0)});
    EXPECT_EQ(ListedEntries(doc), std::vector<uint32_t>{Slot(0)});
    EXPECT_EQ(Entry(Slot(0))[kDirAttr] & kAttrVolume, 0);
}

TEST_F(AddFileTest, ForceSwitchReplacesWithoutAsking) {
    ASSERT_TRUE(Add(HostFile("a.txt", Pattern(10))).Done());
    options.forceSwitch = true;
    ASSERT_TRUE(Add(HostFile("a.txt", Pattern(20))).Done());
    EXPECT_EQ(Load32(Entry(EntryNamed("A       TXT")) + kDirSize), 20u);
}

// Each failing add: its report, its continue flag, and the whole image unchanged.
struct FailureRow {
    const char* situation;
    std::function<std::string()> arrange;  // returns the host path
    bool goOn;
    FailureKind kind;  // kNone: declined
};

#ifndef _WIN32
// A socket stands in a folder like a file but holds no data to copy.
std::string MakeSocket(const std::string& path, int& fd) {
    fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof(addr.sun_path) - 1);
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0) << path;
    return path;
}
#endif

TEST_F(AddFileTest, EveryFailureLeavesTheImageUnchanged) {
    const FailureRow rows[] = {
        {"host path not found",
         [this] {
             const std::string path = dir.Path("missing.txt");
             script.SystemError(test::win_code::kFileNotFound, path);
             return path;
         },
         false, FailureKind::kNotFound},
        {"user declines kMsgReplaceEntry",
         [this] {
             PlaceFile(0, "TWICE   TXT", Pattern(10), {2});
             script.Message(kMsgReplaceEntry, test::kBoxYesNo | test::kIconQuestion, test::kIdNo);
             return HostFile("twice.txt", Pattern(10));
         },
         true, FailureKind::kNone},
        {"root directory full",
         [this] {
             for (uint32_t i = 0; i < layout.rootEntries; ++i) std::memcpy(Entry(Slot(i)), "FILLER  BIN", 11);
             script.Message(kMsgDirectoryFull, test::kIconError);
             return HostFile("new.txt", Pattern(10));
         },
         false, FailureKind::kDiskFull},
        {"no free cluster",
         [this] {
             FillDisk();
             script.Message(kMsgDiskFull, test::kIconError);
             return HostFile("new.txt", Pattern(10));
         },
         false, FailureKind::kDiskFull},
        {"disk fills up in the middle of a file that replaces another",
         [this] {
             PlaceFile(0, "OLD     BIN", Pattern(2048), {2, 3});
             FillDisk(4);
             SetFat(700, 0);
             script.Message(kMsgReplaceEntry, test::kBoxYesNo | test::kIconQuestion, test::kIdYes).Message(kMsgDiskFull, test::kIconError);
             return HostFile("old.bin", Pattern(5000));  // five clusters; three are to be had
         },
         false, FailureKind::kDiskFull},
        {"disk fills up replacing a file with a long name",
         [this] {
             const uint8_t sum = ShortNameChecksum(reinterpret_cast<const uint8_t*>("LONGFI~1TXT"));
             test::WriteLongNameEntry(Entry(Slot(0)), 2 | kLongNameLastFlag, sum);
             test::WriteLongNameEntry(Entry(Slot(1)), 1, sum);
             PlaceFile(2, "LONGFI~1TXT", Pattern(1500), {2, 3, 5});
             FillDisk(6);
             SetFat(4, kFatEnd);
             options.forceSwitch = true;
             script.Message(kMsgDiskFull, test::kIconError);
             return HostFile("longfi~1.txt", Pattern(5000));  // five clusters; three are to be had
         },
         false, FailureKind::kDiskFull},
        {"the open image added to itself",
         [this] {
             const std::string path = dir.Path("self.dsk");
             EXPECT_TRUE(SaveImageAsPath(doc, path).Done());
             EXPECT_TRUE(SaveImage(doc).Done());
             script.Message(kMsgAddOpenImage, test::kIconError);
             return path;
         },
         false, FailureKind::kRefused},
        {"no free cluster for a folder",
         [this] {
             FillDisk();
             script.Message(kMsgDiskFull, test::kIconError);
             return MakeHostFolder("newdir");
         },
         false, FailureKind::kDiskFull},
        {"folder cluster past the end of the image",
         [this] {
             // The one free cluster lies beyond the area; cluster 2 onwards are taken.
             FillDisk();
             SetFat(layout.lastCluster, 0);
             doc.imageSize = static_cast<uint32_t>(layout.ClusterOffset(layout.lastCluster) + 10);
             script.Message(kMsgImageTooSmall, test::kIconError);
             return MakeHostFolder("late");
         },
         false, FailureKind::kDamaged},
#ifdef _WIN32
        {"host file cannot be opened",
         [this] {
             const std::string path = HostFile("locked.bin", Pattern(10));
             EXPECT_EQ(OpenHostFile(path, kAccessRead | kAccessWrite, kShareNone, Disposition::kOpenExisting, 0,
                                    holder),
                       0u);
             script.SystemError(test::win_code::kSharingViolation, path);
             return path;
         },
         false, FailureKind::kHostError},
#else
        {"a socket is no file to add",
         [this] {
             const std::string path = MakeSocket(dir.Path("sock"), socketFd);
             script.Message(kMsgAddNotAFile, test::kIconError);
             return path;
         },
         false, FailureKind::kBadName},
        {"a FIFO is refused before anything waits for a writer",
         [this] {
             const std::string path = dir.Path("fifo");
             EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
             script.Message(kMsgAddNotAFile, test::kIconError);
             return path;
         },
         false, FailureKind::kBadName},
        {"a device is no file to add",
         [this] {
             script.Message(kMsgAddNotAFile, test::kIconError);
             return std::string("/dev/null");
         },
         false, FailureKind::kBadName},
#endif
#ifdef __linux__
        {"a file whose listed size is 0 yields bytes",
         [this] {
             script.Message(kMsgAddFileLongerThanListed, test::kIconError);
             return std::string("/proc/self/status");
         },
         false, FailureKind::kHostError},
#endif
    };
    for (const FailureRow& row : rows) {
        SCOPED_TRACE(row.situation);
        doc.modified = false;
        test::Close(doc);
        ASSERT_TRUE(test::Shown(CreateEmptyImage(doc, 0xF9, kBootMsDos6), test::TestOwner()));
        window.Reset();
        const std::string path = row.arrange();
        const Bytes before = test::ImageBytes(doc);
        const Result added = Add(path);
        options.forceSwitch = false;
        EXPECT_FALSE(added.Done());
        EXPECT_EQ(added.goOn, row.goOn);
        EXPECT_EQ(added.kind, row.kind);
        EXPECT_TRUE(test::ImageBytes(doc) == before);
        EXPECT_FALSE(doc.modified);
        EXPECT_TRUE(added.changes.Empty());
        EXPECT_EQ(script.Pending(), 0u);
    }
    holder.Close();
#ifndef _WIN32
    ::close(socketFd);
#endif
}

// An image file shorter than its geometry: the root directory or the free
// clusters lie past its end.
class ShortImageTest : public AddFileTest {
protected:
    void Truncate(uint32_t areaLength) {
        Bytes bytes = test::ImageBytes(doc);
        bytes.resize(areaLength);
        doc.imageBuffer.Reset();
        test::InstallImage(doc, bytes);
    }
};

TEST_F(ShortImageTest, FreeClusterPastTheEndShowsMessage72) {
    Truncate(static_cast<uint32_t>(layout.ClusterOffset(4)) + 100);
    ASSERT_TRUE(Add(HostFile("fits.bin", Pattern(2048))).Done());  // clusters 2 and 3
    const Bytes before = test::ImageBytes(doc);
    script.Message(kMsgImageTooSmall, test::kIconError);
    const Result added = Add(HostFile("more.bin", Pattern(200)));
    EXPECT_TRUE(added.Failed());
    EXPECT_FALSE(added.goOn);
    EXPECT_TRUE(test::ImageBytes(doc) == before);
}

TEST_F(ShortImageTest, RootDirectoryPastTheEndShowsMessage72) {
    for (uint32_t i = 0; i < 3; ++i) std::memcpy(Entry(Slot(i)), "FILLER  BIN", 11);
    Truncate(Slot(3));
    const Bytes before = test::ImageBytes(doc);
    script.Message(kMsgImageTooSmall, test::kIconError);
    const Result added = Add(HostFile("new.bin", Pattern(10)));
    EXPECT_TRUE(added.Failed());
    EXPECT_FALSE(added.goOn);
    EXPECT_TRUE(test::ImageBytes(doc) == before);
}

TEST_F(AddFileTest, SecondFileFindingTheDiskFullStopsTheRest) {
    for (uint32_t n = 2; n <= layout.lastCluster - 1; ++n) SetFat(n, kFatEnd);  // one cluster left
    const std::vector<std::string> paths = {HostFile("one.bin", Pattern(1000)), HostFile("two.bin", Pattern(1000)),
                                            HostFile("three.bin", {})};
    script.Message(kMsgDiskFull, test::kIconError);
    EXPECT_TRUE(AddAll(paths).Done());
    EXPECT_NE(EntryNamed("ONE     BIN"), 0u);
    EXPECT_EQ(EntryNamed("TWO     BIN"), 0u);
    EXPECT_EQ(EntryNamed("THREE   BIN"), 0u) << "the empty third file would have fitted";
}

TEST_F(AddFileTest, DecliningOneFileGoesOnWithTheNext) {
    PlaceFile(0, "ONE     BIN", Pattern(10), {2});
    const std::vector<std::string> paths = {HostFile("one.bin", Pattern(10)), HostFile("two.bin", Pattern(10))};
    script.Message(kMsgReplaceEntry, test::kBoxYesAllNoCancel | test::kIconQuestion, test::kIdNo);
    EXPECT_TRUE(AddAll(paths).Done());
    EXPECT_NE(EntryNamed("TWO     BIN"), 0u);
    script.SystemError(test::win_code::kFileNotFound, dir.Path("none"));
    EXPECT_FALSE(AddAll({dir.Path("none")}).Done());
}

#ifndef _WIN32
// Host files of one 8.3 name added together all get tails; none replaces
// another, and an entry that was there before is passed over by the tails.
// (Windows gives each host file a short name of its own, which is kept.)
TEST_F(AddFileTest, FilesOfOneShortNameAddedTogetherGetTails) {
    PlaceFile(0, "AB~1    C  ", Pattern(5, 9), {2});
    const std::vector<std::string> paths = {HostFile("a.b.c", Pattern(10, 1)), HostFile("ab.c", Pattern(20, 2)),
                                            HostFile("longname1.txt", Pattern(30, 3)),
                                            HostFile("longname2.txt", Pattern(40, 4))};
    for (int i = 0; i < 4; ++i) script.Message(kMsgAddedUnderTail, test::kIconInformation);
    EXPECT_TRUE(AddAll(paths).Done());
    struct Case {
        const char* packed;
        Bytes data;
    } cases[] = {
        {"AB~1    C  ", Pattern(5, 9)},  // there before: left alone
        {"AB~2    C  ", Pattern(10, 1)},
        {"AB~3    C  ", Pattern(20, 2)},
        {"LONGNA~1TXT", Pattern(30, 3)},
        {"LONGNA~2TXT", Pattern(40, 4)},
    };
    for (const Case& c : cases) {
        const uint32_t e = EntryNamed(c.packed);
        ASSERT_NE(e, 0u) << c.packed;
        EXPECT_EQ(DataOf(e), c.data) << c.packed;
    }
    EXPECT_EQ(EntryNamed("AB      C  "), 0u) << "no file keeps the name they share";
}
#endif

// One command carries its search for free clusters from file to file; the
// clusters a replacement frees behind it are still taken first fit.
TEST_F(AddFileTest, ClustersAReplacementFreesGoToTheFilesAfterIt) {
    const uint32_t twoClusters = static_cast<uint32_t>(layout.clusterBytes) + 1;
    PlaceFile(0, "OLD     BIN", Pattern(2 * twoClusters), {2, 3, 4});
    options.forceSwitch = true;
    const std::vector<std::string> paths = {HostFile("first.bin", Pattern(10, 1)), HostFile("old.bin", Pattern(10, 2)),
                                            HostFile("second.bin", Pattern(twoClusters, 3))};
    EXPECT_TRUE(AddAll(paths).Done());
    EXPECT_EQ(ChainOf(EntryNamed("FIRST   BIN")), std::vector<uint32_t>{5});
    EXPECT_EQ(ChainOf(EntryNamed("OLD     BIN")), std::vector<uint32_t>{2});
    EXPECT_EQ(ChainOf(EntryNamed("SECOND  BIN")), (std::vector<uint32_t>{3, 4}));
    EXPECT_EQ(DataOf(EntryNamed("SECOND  BIN")), Pattern(twoClusters, 3));
}

}  // namespace
}  // namespace vk
