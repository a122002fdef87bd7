// Opening an image as a double click does: the shell takes the default verb
// of the extension's ProgID, with no verb named. The registration points at
// a stand-in program under VOLKARN's name, which records how it was started.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/win32/associations/box_answerer.h"
#include "tests/win32/associations/child_process.h"
#include "tests/win32/associations/class_registry.h"
#include <gtest/gtest.h>
#include "win32/settings/associations.h"

namespace vk::test {
namespace {

constexpr DWORD kChildMilliseconds = 30000;

std::string ReadWholeFile(const std::string& path) {
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return text;
    }
    char buffer[1024];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read != 0) {
        text.append(buffer, read);
    }
    CloseHandle(file);
    return text;
}

class OpenByAssociationTest : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveAssociationKeys();
        program_ = folder_.Path() + "\\VOLKARN.EXE";
        ASSERT_TRUE(CopyFileA(WindowsPath(VK_STAND_IN_EXE).c_str(), program_.c_str(), FALSE));
        image_ = folder_.Path() + "\\GAMES 1.DSK";
        HANDLE file = CreateFileA(image_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        CloseHandle(file);
        record_ = folder_.Path() + "\\command line.txt";
        SetEnvironmentVariableA("VK_STAND_IN_RECORD", record_.c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableA("VK_STAND_IN_RECORD", nullptr);
        RemoveAssociationKeys();
    }

    // The arguments the program was started with when the shell opened the
    // image with its default verb; none when nothing ran.
    std::vector<std::string> OpenWithDefaultVerb() {
        DeleteFileA(record_.c_str());
        SHELLEXECUTEINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
        info.lpFile = image_.c_str();
        info.nShow = SW_SHOWNORMAL;
        if (!ShellExecuteExA(&info)) {
            return {};
        }
        if (info.hProcess != nullptr) {
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(info.hProcess, kChildMilliseconds));
            CloseHandle(info.hProcess);
        }
        return SplitCommandLine(ReadWholeFile(record_));
    }

    BlankFolder folder_;
    std::string program_;
    std::string image_;
    std::string record_;
};

// A shell with no default verb falls back to one of the ProgID's verbs: in
// Wine the first in the key's order, which another program's "Inspect"
// comes before.
TEST_F(OpenByAssociationTest, TheDefaultVerbOpensTheImageWithVolkarn) {
    const std::string inspect = "\"" + program_ + "\" -I \"%1\"";
    const std::string standIn = "\"" + program_ + "\" -S \"%1\"";
    const struct {
        const char* name;
        std::vector<std::pair<const char*, std::string>> before;
    } kCases[] = {
        {"our verbs alone", {}},
        {"another program's verb first in order", {{"DiskImage\\shell\\Inspect\\command", inspect}}},
        {"another program's ProgID on the extension",
         {{".dsk", kStandInProgId}, {"StandInImage\\shell\\open\\command", standIn}}},
    };
    for (const auto& c : kCases) {
        RemoveAssociationKeys();
        for (const auto& key : c.before) {
            PutClassKey(key.first, key.second);
        }
        {
            BoxAnswerer boxes("Volkarn");
            ASSERT_TRUE(RegisterAssociations(nullptr, {5, 0}, program_)) << c.name;
        }
        EXPECT_EQ("\"" + program_ + "\" \"%1\"", AssociatedCommand(".dsk")) << c.name;
        EXPECT_EQ((std::vector<std::string>{program_, image_}), OpenWithDefaultVerb()) << c.name;
    }
}

}  // namespace
}  // namespace vk::test
