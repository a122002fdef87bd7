// What the tool tests cannot reach from the command line: a document
// changed in memory and not saved, and several entries undeleted in one call.
#include <gtest/gtest.h>

#include "engine/fat/check/disk_check.h"
#include "tests/engine/fat_image_fixture.h"

namespace vk::test {
namespace {

class DiskCheckTest : public FatImageTest {};

// Until the save writes FAT copy 1 over the others, a changed document's
// copies differ; that is no damage. Opened that way from a file, it is.
TEST_F(DiskCheckTest, FatCopiesDifferOnlyInADocumentAsOpened) {
    Put(0, "NOTES   TXT", kAttrArchive, {2, 3}, 2000);
    doc.modified = true;
    EXPECT_TRUE(CheckDisk(doc).Sound());
    doc.modified = false;
    const CheckReport opened = CheckDisk(doc);
    ASSERT_EQ(opened.findings.size(), 1u);
    EXPECT_EQ(opened.findings[0].kind, FindingKind::kFatCopiesDiffer);
}

// Two deleted files over the same clusters: the first one named gets them.
TEST_F(DiskCheckTest, UndeleteGivesSharedClustersToTheFirstEntryOnly) {
    Put(0, "\xE5NE     TXT", kAttrArchive, {}, 1500);
    Put(1, "\xE5WO     TXT", kAttrArchive, {}, 600);
    Store16(At(0) + kDirFirstCluster, 5);
    Store16(At(1) + kDirFirstCluster, 5);
    ASSERT_EQ(FindDeleted(doc).size(), 2u);
    const Result result = Undelete(doc, {Slot(0), Slot(1)}, 'o');
    EXPECT_EQ(result.kind, FailureKind::kRefused);
    EXPECT_EQ(result.changes.added, std::vector<uint32_t>{Slot(0)});
    EXPECT_EQ(Name11(0), "ONE     TXT");
    EXPECT_EQ(At(1)[0], kEntryDeleted);
    EXPECT_EQ(Fat(5), 6u);
    EXPECT_EQ(Fat(6), kFatEnd);
    EXPECT_EQ(Fat(7), kFatFree);
}

TEST_F(DiskCheckTest, UndeleteRefusesAFirstCharacterNoDosAccepts) {
    Put(0, "\xE5NE     TXT", kAttrArchive, {}, 0);
    const Bytes before = Snapshot();
    EXPECT_EQ(Undelete(doc, {Slot(0)}, '?').kind, FailureKind::kBadName);
    EXPECT_EQ(Snapshot(), before);
}

}  // namespace
}  // namespace vk::test
