// VOLKARN.EXE /R and then PELWICK.EXE, both as the user runs them, on
// registries with and without another program's association: whatever was
// there before /R is there again after PELWICK.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/win32/associations/box_answerer.h"
#include "tests/win32/associations/child_process.h"
#include "tests/win32/associations/class_registry.h"
#include <gtest/gtest.h>
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"

namespace vk::test {
namespace {

const std::string kPelwickDone = "Volkarn file-type associations are successfully unregistered!";

struct Value {
    const char* key;
    const char* name;  // "": the unnamed one
    const char* value;
};

class RoundTripTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!RunningUnderWine()) {
            GTEST_SKIP() << "the platform version can only be chosen under Wine";
        }
        RemoveAssociationKeys();
        program_ = folder_.Path() + "\\VOLKARN.EXE";
        ASSERT_TRUE(CopyFileA(WindowsPath(VK_VOLKARN_EXE).c_str(), program_.c_str(), FALSE));
    }
    void TearDown() override { RemoveAssociationKeys(); }

    void RegisterWithVolkarn() {
        const PretendedVersion version("VOLKARN.EXE", "win2k");
        BoxAnswerer boxes("Volkarn");
        const ChildRun run = RunChild(program_, "/R");
        ASSERT_TRUE(run.finished) << "VOLKARN /R did not end";
        EXPECT_EQ(std::vector<std::string>{std::string(LoadText(kMsgRegisterOk))}, boxes.Texts());
    }
    void UnregisterWithPelwick() {
        BoxAnswerer boxes("Unregister Volkarn");
        boxes.Answer(IDYES);
        const ChildRun run = RunChild(WindowsPath(VK_PELWICK_EXE), "");
        ASSERT_TRUE(run.finished) << "PELWICK did not end";
        const std::vector<std::string> texts = boxes.Texts();
        ASSERT_EQ(2u, texts.size());
        EXPECT_EQ(kPelwickDone, texts[1]);
    }

    BlankFolder folder_;
    std::string program_;
};

TEST_F(RoundTripTest, PelwickGivesBackWhatRegisteringReplaced) {
    const std::vector<Value> standIn = {
        {"StandInImage", "", "Stand-in image"},
        {"StandInImage\\shell\\open\\command", "", "\"C:\\Stand In\\STANDIN.EXE\" \"%1\""},
    };
    const struct {
        const char* name;
        std::vector<Value> before;
        int runs;
        const char* keptOnDsk;  // null: nothing kept
        const char* keptOnFlp;
    } kCases[] = {
        {"another program's .flp", {{".flp", "", kStandInProgId}}, 1, nullptr, kStandInProgId},
        {"another program's .flp, registered twice", {{".flp", "", kStandInProgId}}, 2, nullptr, kStandInProgId},
        {"another program's .dsk with a content type and an open-with list",
         {{".dsk", "", kStandInProgId},
          {".dsk", "Content Type", "application/x-disk-image"},
          {".dsk\\OpenWithProgids", kStandInProgId, ""}},
         1, kStandInProgId, nullptr},
        {"only ours", {}, 1, nullptr, nullptr},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        RemoveAssociationKeys();
        for (const Value& v : c.before) {
            PutClassValue(v.key, v.name, v.value);
        }
        if (!c.before.empty()) {
            for (const Value& v : standIn) {
                PutClassValue(v.key, v.name, v.value);
            }
        }
        const std::string before = AssociationSnapshot();
        for (int run = 0; run < c.runs; ++run) {
            RegisterWithVolkarn();
        }
        for (const auto& e : {std::make_pair(".dsk", c.keptOnDsk), std::make_pair(".flp", c.keptOnFlp)}) {
            EXPECT_EQ("DiskImage", ReadClassKey(e.first).value) << e.first;
            const ClassValue kept = ReadClassValue(e.first, "VolkarnPrevious");
            EXPECT_EQ(e.second != nullptr, kept.exists) << e.first;
            EXPECT_EQ(e.second != nullptr ? e.second : "", kept.value) << e.first;
            EXPECT_EQ("\"" + program_ + "\" \"%1\"", AssociatedCommand(e.first)) << e.first;
        }
        UnregisterWithPelwick();
        EXPECT_EQ(before, AssociationSnapshot());
    }
}

}  // namespace
}  // namespace vk::test
