// Paths into the folder tree: parts, "." and "..", case, the E5 escape,
// wildcards in the last part, and the failures of each.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/fat/dir/list_texts.h"
#include "engine/strings/string_ids.h"
#include "tests/engine/folder_fixture.h"

namespace vk {
namespace {

// root: A\ README E5SC.TXT (stored with 05), a label and a deleted entry;
// A: B\ NOTES.TXT; A\B: DEEP.BIN.
class DirPathTest : public test::FolderTest {
protected:
    void SetUp() override {
        FolderTest::SetUp();
        a = Mkdir(kRootDir, "", "A");
        PutFile(kRootDir, "README     ");
        PutFile(kRootDir, "\x05SC     TXT");
        Area()[PutFile(kRootDir, "VOLUME     ") + kDirAttr] = kAttrLabel;
        Area()[PutFile(kRootDir, "GONE    TXT")] = kEntryDeleted;
        b = Mkdir(a, "A", "B");
        PutFile(a, "NOTES   TXT");
        PutFile(b, "DEEP    BIN");
    }
    std::string Name(uint32_t offset) { return offset == 0 ? "" : EntryDisplayName(Area() + offset); }
    // The failure's text id and first insert; 0 and "" when it worked.
    static std::pair<unsigned, std::string> Failed(const Result& r) {
        if (!r.failure) return {0, ""};
        return {r.failure->id, r.failure->inserts.empty() ? "" : r.failure->inserts.front()};
    }
    DirRef a, b;
};

TEST_F(DirPathTest, ResolvesEntriesAndTheirDirectories) {
    struct Case {
        const char* path;
        int dir;            // 0 root, 1 A, 2 B
        const char* entry;  // "" for the root itself
    } cases[] = {
        {"A", 0, "A"},          {"a\\b", 1, "B"},        {"/A/B/DEEP.BIN", 2, "DEEP.BIN"},
        {"A/./B//deep.bin", 2, "DEEP.BIN"},              {"A\\B\\..", 0, "A"},
        {"A/B/../NOTES.TXT", 1, "NOTES.TXT"},            {"A/..", 0, ""},
        {"\\", 0, ""},          {"\xE5sc.txt", 0, "\xE5SC.TXT"},
    };
    const DirRef dirs[] = {kRootDir, a, b};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        PathTarget target{DirRef{999}, 999};
        ASSERT_TRUE(ResolvePath(ConstVolume(layout, Area(), Length()), c.path, target).Done());
        EXPECT_EQ(target.dir, dirs[c.dir]);
        EXPECT_EQ(Name(target.entryOffset), c.entry);
    }
    DirRef dir;
    ASSERT_TRUE(ResolveDirectory(ConstVolume(layout, Area(), Length()), "a/B/../b", dir).Done());
    EXPECT_EQ(dir, b);
}

TEST_F(DirPathTest, RefusesPathsThatLeadNowhere) {
    constexpr FailureKind kNotFound = FailureKind::kNotFound;
    constexpr FailureKind kBadName = FailureKind::kBadName;
    struct Case {
        const char* path;
        unsigned id;
        FailureKind kind;
    } cases[] = {
        {"NOPE", kMsgPathNotFound, kNotFound},      {"\x05SC.TXT", kMsgPathNotFound, kNotFound},  // as stored, not as shown
        {"GONE.TXT", kMsgPathNotFound, kNotFound},  {"VOLUME", kMsgPathNotFound, kNotFound},
        {"README/X", kMsgPathNotFound, kNotFound},  {"A/NOPE/NOTES.TXT", kMsgPathNotFound, kNotFound},
        {"..", kMsgPathAboveRoot, kBadName},        {"A/B/../../../README", kMsgPathAboveRoot, kBadName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        PathTarget target;
        EXPECT_EQ(Failed(ResolvePath(ConstVolume(layout, Area(), Length()), c.path, target)), std::make_pair(c.id, std::string(c.path)));
    }
    DirRef dir;
    EXPECT_EQ(Failed(ResolveDirectory(ConstVolume(layout, Area(), Length()), "A/NOTES.TXT", dir)).first, kMsgPathNotFound);
}

TEST_F(DirPathTest, MatchesTheLastPartInDirectoryOrder) {
    struct Case {
        const char* path;
        std::vector<std::string> names;  // empty: fails with kMsgPathNotFound
    } cases[] = {
        {"A/*", {"B", "NOTES.TXT"}},  // never the dot entries
        {"*.*", {"A", "README", "\xE5SC.TXT"}},  // "*.*" takes names without an extension too
        {"A/B/../?OTES.*", {"NOTES.TXT"}},
        {"a/*.txt", {"NOTES.TXT"}},
        {"A/*.X", {}},
        {"A/..", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        DirRef dir;
        std::vector<uint32_t> offsets;
        const Result r = ResolvePattern(ConstVolume(layout, Area(), Length()), c.path, dir, offsets);
        std::vector<std::string> names;
        for (uint32_t offset : offsets) names.push_back(Name(offset));
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(Failed(r).first, c.names.empty() ? kMsgPathNotFound : 0u);
    }
}

TEST_F(DirPathTest, BrokenFolderGivesWhatLiesBeforeTheBreakAndSaysSo) {
    Fill(a);
    SetFat(a.cluster, 1);
    std::vector<uint32_t> offsets;
    const Result r = MatchEntries(ConstVolume(layout, Area(), Length()), a, "A", "NOTES.*", offsets);
    EXPECT_TRUE(r.Done());
    ASSERT_EQ(offsets.size(), 1u);
    EXPECT_EQ(Name(offsets[0]), "NOTES.TXT");
    ASSERT_EQ(r.notices.size(), 1u);
    EXPECT_EQ(r.notices[0].id, unsigned{kMsgStoredFileCorrupt});
    EXPECT_EQ(r.notices[0].inserts, std::vector<std::string>{"A"});
}

}  // namespace
}  // namespace vk
