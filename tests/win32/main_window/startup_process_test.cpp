// VOLKARN.EXE started with command lines as the shell and batch callers give
// them: which boxes appear, whether the program stays, its exit code, and
// what reached the image.
#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/win32/associations/box_answerer.h"
#include "tests/win32/associations/child_process.h"
#include "engine/core/document.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/extract.h"
#include <gtest/gtest.h>
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "tests/win32/main_window/window_fixture.h"

namespace vk::test {
namespace {

constexpr char kCaption[] = "Volkarn";
// Long enough for Wine to start the program and show its boxes; a run that
// outlives it is taken as a program left open.
constexpr DWORD kStaysOpenMilliseconds = 12000;
constexpr DWORD kEndsMilliseconds = 60000;

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string Volkarn() { return WindowsPath(VK_VOLKARN_EXE); }

void WriteBytes(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<char> Pattern(size_t size) {
    std::vector<char> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    }
    return bytes;
}

// The root entry named `name11` of the image at `path`, extracted to `out`;
// false when the image holds no such entry.
bool ExtractFromImage(const std::string& path, const char* name11, const std::string& out) {
    ImageDocument doc;
    if (!OpenImage(doc, path, true).Done()) {
        return false;
    }
    const Layout layout = doc.GetLayout();
    bool found = false;
    for (uint32_t i = 0; i < layout.rootEntries && !found; ++i) {
        const uint32_t offset = static_cast<uint32_t>(layout.rootStart) + i * kDirEntrySize;
        if (std::memcmp(doc.Area() + offset, name11, kDirFullNameLength) == 0) {
            found = ExtractEntry(doc, offset, kReplaceSilently, out).Done();
        }
    }
    CloseImage(doc);
    return found;
}

// The settings VOLKARN writes when it closes; other tests check that /R
// leaves them alone, so a run that created them removes them again.
constexpr char kSettingsKey[] = "Software\\Quanbel\\Volkarn";

bool SettingsExist() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

class StartupProcess : public ::testing::Test {
protected:
    void TearDown() override {
        if (!settingsBefore) {
            RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        }
    }

    void SetUp() override {
        settingsBefore = SettingsExist();
        image = folder.File("CMDLINE.DSK");
        WriteImageFile(image, {{"OLD     TXT"}});
        host = folder.File("HOST.TXT");
        WriteBytes(host, Pattern(3000));
    }

    ScratchFolder folder;
    std::string image;
    std::string host;
    bool settingsBefore = false;
};

TEST_F(StartupProcess, AddAndCloseSavesTheImageAndEndsWithZero) {
    BoxAnswerer boxes(kCaption);
    const ChildRun run = RunChild(Volkarn(), Quoted(image) + " /a " + Quoted(host) + " /c", kEndsMilliseconds);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_TRUE(boxes.Texts().empty()) << boxes.Texts().front();
    const std::string out = folder.File("OUT.BIN");
    ASSERT_TRUE(ExtractFromImage(image, "HOST    TXT", out));
    EXPECT_EQ(Pattern(3000), ReadBytes(out));
}

TEST_F(StartupProcess, ThirdNameAndUnknownSwitchesAreIgnored) {
    BoxAnswerer boxes(kCaption);
    const ChildRun run = RunChild(Volkarn(), "/x / " + Quoted(image) + " -ADD " + Quoted(host) + " " +
                                                 Quoted(folder.File("THIRD.TXT")) + " -Close",
                                  kEndsMilliseconds);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_TRUE(boxes.Texts().empty()) << boxes.Texts().front();
    EXPECT_TRUE(ExtractFromImage(image, "HOST    TXT", folder.File("OUT.BIN")));
}

TEST_F(StartupProcess, AddWithoutHostNameComplainsAndStaysOpen) {
    BoxAnswerer boxes(kCaption);
    const ChildRun run = RunChild(Volkarn(), Quoted(image) + " /a /c", kStaysOpenMilliseconds);
    EXPECT_FALSE(run.finished);
    EXPECT_TRUE(run.hadMainWindow);
    ASSERT_EQ(1u, boxes.Texts().size());
    EXPECT_EQ(std::string(LoadText(kMsgMissingFilename)), boxes.Texts()[0]);
}

TEST_F(StartupProcess, FailedAddKeepsTheProgramOpenAndTheImageUnchanged) {
    const std::vector<char> before = ReadBytes(image);
    BoxAnswerer boxes(kCaption);
    const ChildRun run =
        RunChild(Volkarn(), Quoted(image) + " /a " + Quoted(folder.File("MISSING.TXT")) + " /c",
                 kStaysOpenMilliseconds);
    EXPECT_FALSE(run.finished);
    ASSERT_EQ(1u, boxes.Texts().size());
    EXPECT_NE(std::string::npos, boxes.Texts()[0].find("MISSING.TXT")) << boxes.Texts()[0];
    EXPECT_EQ(before, ReadBytes(image));
}

TEST_F(StartupProcess, ImageThatCannotOpenWithCloseShowsTheErrorAndQuits) {
    BoxAnswerer boxes(kCaption);
    const std::string missing = folder.File("NOWHERE.DSK");
    const ChildRun run = RunChild(Volkarn(), Quoted(missing) + " /c", kEndsMilliseconds);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(0u, run.exitCode);
    ASSERT_EQ(1u, boxes.Texts().size());
    EXPECT_EQ(0u, boxes.Texts()[0].find(missing)) << boxes.Texts()[0];
}

// With an image that opens, the Write to disk dialog comes up: that case is
// tested with the dialog (write_switch_process_tests).
TEST_F(StartupProcess, WriteSwitchEndsWithOneWhenTheImageDoesNotOpen) {
    BoxAnswerer boxes(kCaption);
    const std::string missing = folder.File("NOWHERE.DSK");
    const ChildRun run = RunChild(Volkarn(), "-write " + Quoted(missing), kEndsMilliseconds);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(1u, run.exitCode);
    ASSERT_EQ(1u, boxes.Texts().size());
    EXPECT_EQ(0u, boxes.Texts()[0].find(missing)) << boxes.Texts()[0];
}

TEST_F(StartupProcess, WriteSwitchWithoutImageStartsNormally) {
    BoxAnswerer boxes(kCaption);
    const ChildRun run = RunChild(Volkarn(), "/W", kStaysOpenMilliseconds);
    EXPECT_FALSE(run.finished);
    EXPECT_TRUE(run.hadMainWindow);
    EXPECT_TRUE(boxes.Texts().empty()) << boxes.Texts().front();
}

}  // namespace
}  // namespace vk::test
