#include <gtest/gtest.h>

#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"

namespace vk {
namespace {

TEST(StringTable, TextsAreTheProgramsOwn) {
    EXPECT_EQ(LoadText(kStrProgramName), "Volkarn");
    EXPECT_EQ(LoadText(kMsgImageModified), "Disk-image has been modified!\n\nSave changes?");
    // The typo and the trailing blank belong to the texts.
    EXPECT_NE(LoadText(kMsgBackupFatMismatch).find("FATdoes"), std::string_view::npos);
    EXPECT_EQ(LoadText(kMsgNameBadChars).back(), ' ');
    EXPECT_EQ(LoadText(9999), "");
}

TEST(ExpandInserts, ReplacesNumberedInsertsAsText) {
    std::string out;
    ASSERT_TRUE(ExpandInserts(LoadText(kMsgNoMemoryForImage), {"1474560"}, out));
    EXPECT_EQ(out, "Not enough memory for image (1474560 Bytes required)!");
    ASSERT_TRUE(ExpandInserts("%2 then %1, %1!s! again", {"a", "b"}, out));
    EXPECT_EQ(out, "b then a, a again");
    ASSERT_TRUE(ExpandInserts("100%% sure", {}, out));
    EXPECT_EQ(out, "100% sure");
}

TEST(ExpandInserts, FailsForAnInsertWithoutArgument) {
    std::string out = "x";
    EXPECT_FALSE(ExpandInserts("file %1 and %2", {"a"}, out));
    EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace vk
