// Registering the shell associations, against Wine's real registry: the
// functions in this process, and VOLKARN.EXE /R as a child process on the
// platform versions Wine can pretend to be.
#include <windows.h>

#include <string>
#include <vector>

#include "win32/app/register_switch.h"
#include "tests/win32/associations/box_answerer.h"
#include "tests/win32/associations/child_process.h"
#include "tests/win32/associations/class_registry.h"
#include <gtest/gtest.h>
#include "win32/settings/associations.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"

namespace vk::test {
namespace {

constexpr char kCaption[] = "Volkarn";
const std::string kProgram = "C:\\Program Files\\Volkarn Disk Tools\\VOLKARN.EXE";

std::string Text(unsigned id) { return std::string(LoadText(id)); }

// The nine rows: the open verb is the shell key's default.
void ExpectFullRegistration(const std::string& program) {
    const struct {
        const char* key;
        std::string value;
    } kRows[] = {
        {".dsk", "DiskImage"},
        {"DiskImage", "Disk image"},
        {"DiskImage\\DefaultIcon", program + ",2"},
        {"DiskImage\\shell\\OpenWithVolkarn", "Open with &Volkarn"},
        {"DiskImage\\shell\\OpenWithVolkarn\\command", "\"" + program + "\" \"%1\""},
        {"DiskImage\\shell", "OpenWithVolkarn"},
        {"DiskImage\\shell\\WriteToDisk", "&Write image to disk"},
        {"DiskImage\\shell\\WriteToDisk\\command", "\"" + program + "\" -W \"%1\""},
        {".flp", "DiskImage"},
    };
    for (const auto& row : kRows) {
        const ClassKey key = ReadClassKey(row.key);
        EXPECT_TRUE(key.exists && key.hasDefault) << row.key;
        EXPECT_EQ(row.value, key.value) << row.key;
    }
    const std::vector<std::string> tree = {
        "DiskImage",
        "DiskImage\\DefaultIcon",
        "DiskImage\\shell",
        "DiskImage\\shell\\OpenWithVolkarn",
        "DiskImage\\shell\\OpenWithVolkarn\\command",
        "DiskImage\\shell\\WriteToDisk",
        "DiskImage\\shell\\WriteToDisk\\command",
    };
    EXPECT_EQ(tree, ClassKeyTree("DiskImage"));
    EXPECT_EQ(std::vector<std::string>{".dsk"}, ClassKeyTree(".dsk"));
    EXPECT_EQ(std::vector<std::string>{".flp"}, ClassKeyTree(".flp"));
}

class RegisterTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveAssociationKeys(); }
    void TearDown() override { RemoveAssociationKeys(); }
};

TEST(RegisterSwitchTest, FindsSlashOrDashRInAnyCaseAndPlace) {
    const struct {
        const char* name;
        std::vector<const char*> arguments;  // after the program name
        bool expected;
    } kCases[] = {
        {"slash R", {"/R"}, true},
        {"dash lower r", {"-r"}, true},
        {"letters after the switch ignored", {"-register"}, true},
        {"among file names and switches", {"a.dsk", "/f", "/r", "b.txt"}, true},
        {"no arguments", {}, false},
        {"other switch", {"/x"}, false},
        {"lone slash", {"/"}, false},
        {"file name R", {"R"}, false},
        {"R as third character", {"-wr"}, false},
    };
    for (const auto& c : kCases) {
        std::vector<const char*> argv = {"-R.EXE"};  // the program name is never a switch
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        EXPECT_EQ(c.expected, HasRegisterSwitch(static_cast<int>(argv.size()), argv.data())) << c.name;
    }
}

TEST(RegistrationAllowedTest, RefusedFromWindowsXpOn) {
    const struct {
        PlatformVersion version;
        bool allowed;
    } kCases[] = {{{4, 10}, true}, {{5, 0}, true}, {{5, 1}, false}, {{5, 2}, false}, {{6, 0}, false},
                  {{6, 2}, false}, {{10, 0}, false}};
    for (const auto& c : kCases) {
        EXPECT_EQ(c.allowed, RegistrationAllowed(c.version)) << c.version.major << "." << c.version.minor;
    }
}

TEST_F(RegisterTest, Windows2000WritesTheNineRowsThenSucceeds) {
    BoxAnswerer boxes(kCaption);
    EXPECT_TRUE(RegisterAssociations(nullptr, {5, 0}, kProgram));
    ExpectFullRegistration(kProgram);
    const std::vector<AnsweredBox> shown = boxes.Boxes();
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(Text(kMsgRegisterOk), shown[0].text);
    EXPECT_EQ(unsigned(MB_OK), shown[0].buttons);
    EXPECT_EQ(unsigned(MB_ICONINFORMATION), shown[0].icon);
}

// Unquoted, "C:\Program Files\Vol karn\VOLKARN.EXE" would start
// "C:\Program Files\Vol.exe" where one exists: the shell must split each
// command into exactly our program and its arguments.
TEST_F(RegisterTest, CommandsNameTheProgramAsOneArgument) {
    const std::string program = "C:\\Program Files\\Vol karn\\VOLKARN.EXE";
    BoxAnswerer boxes(kCaption);
    ASSERT_TRUE(RegisterAssociations(nullptr, {5, 0}, program));
    const struct {
        const char* key;
        std::vector<std::string> arguments;
    } kCommands[] = {
        {"DiskImage\\shell\\OpenWithVolkarn\\command", {program, "%1"}},
        {"DiskImage\\shell\\WriteToDisk\\command", {program, "-W", "%1"}},
    };
    for (const auto& c : kCommands) {
        EXPECT_EQ(c.arguments, SplitCommandLine(ReadClassKey(c.key).value)) << c.key;
    }
    EXPECT_EQ(program + ",2", ReadClassKey("DiskImage\\DefaultIcon").value);
}

TEST_F(RegisterTest, RegisteringAgainOverwritesAForeignExtension) {
    PutClassKey(".dsk", "OtherImage");
    BoxAnswerer boxes(kCaption);
    EXPECT_TRUE(RegisterAssociations(nullptr, {5, 0}, kProgram));
    ExpectFullRegistration(kProgram);
    EXPECT_EQ("OtherImage", ReadClassValue(".dsk", "VolkarnPrevious").value);
}

// The default value /R replaces is kept under the extension key when it
// names another program's ProgID, and only the first one so replaced.
TEST_F(RegisterTest, KeepsTheAssociationItReplaces) {
    const struct {
        const char* name;
        const char* extension;
        const char* before;  // the extension's default value; null: no key
        DWORD type;
        const char* keptBefore;  // null: none
        int runs;
        const char* kept;        // null: nothing kept
    } kCases[] = {
        {"another ProgID on .flp", ".flp", "StandInImage", REG_SZ, nullptr, 1, "StandInImage"},
        {"another ProgID on .dsk", ".dsk", "StandInImage", REG_SZ, nullptr, 1, "StandInImage"},
        {"an expandable string keeps its type", ".flp", "StandInImage", REG_EXPAND_SZ, nullptr, 1, "StandInImage"},
        {"registered twice keeps the first", ".flp", "StandInImage", REG_SZ, nullptr, 2, "StandInImage"},
        {"a value kept earlier stays", ".flp", "NewerImage", REG_SZ, "StandInImage", 1, "StandInImage"},
        {"our ProgID in another case", ".flp", "diskimage", REG_SZ, nullptr, 1, nullptr},
        {"an empty value", ".flp", "", REG_SZ, nullptr, 1, nullptr},
        {"no extension key", ".flp", nullptr, REG_SZ, nullptr, 1, nullptr},
    };
    for (const auto& c : kCases) {
        RemoveAssociationKeys();
        if (c.before != nullptr) {
            PutClassValue(c.extension, "", c.before, c.type);
        }
        if (c.keptBefore != nullptr) {
            PutClassValue(c.extension, "VolkarnPrevious", c.keptBefore);
        }
        for (int run = 0; run < c.runs; ++run) {
            BoxAnswerer boxes(kCaption);
            EXPECT_TRUE(RegisterAssociations(nullptr, {5, 0}, kProgram)) << c.name;
        }
        EXPECT_EQ("DiskImage", ReadClassKey(c.extension).value) << c.name;
        const ClassValue kept = ReadClassValue(c.extension, "VolkarnPrevious");
        EXPECT_EQ(c.kept != nullptr, kept.exists) << c.name;
        if (c.kept != nullptr) {
            EXPECT_EQ(c.kept, kept.value) << c.name;
            EXPECT_EQ(c.keptBefore != nullptr ? DWORD(REG_SZ) : c.type, kept.type) << c.name;
        }
    }
}

TEST_F(RegisterTest, WindowsXpAndLaterOnlyExplainAndWriteNothing) {
    PutClassKey(".dsk", "OtherImage");
    const std::string before = AssociationSnapshot();
    for (PlatformVersion version : {PlatformVersion{5, 1}, PlatformVersion{5, 2}, PlatformVersion{6, 0},
                                    PlatformVersion{6, 1}, PlatformVersion{10, 0}}) {
        BoxAnswerer boxes(kCaption);
        EXPECT_FALSE(RegisterAssociations(nullptr, version, kProgram));
        const std::vector<AnsweredBox> shown = boxes.Boxes();
        ASSERT_EQ(1u, shown.size()) << version.major << "." << version.minor;
        EXPECT_EQ(Text(kMsgRegisterUnsupported), shown[0].text);
        EXPECT_EQ(unsigned(MB_ICONERROR), shown[0].icon);
        EXPECT_EQ(before, AssociationSnapshot());
    }
}

TEST_F(RegisterTest, DeniedExtensionStopsBeforeAnythingElse) {
    PutClassKey(".dsk", "OtherImage");
    DenyClassKey(".dsk", KEY_SET_VALUE);
    BoxAnswerer boxes(kCaption);
    EXPECT_FALSE(RegisterAssociations(nullptr, {5, 0}, kProgram));
    EXPECT_EQ(std::vector<std::string>{Text(kMsgRegisterFailed)}, boxes.Texts());
    EXPECT_EQ("OtherImage", ReadClassKey(".dsk").value);
    EXPECT_FALSE(ReadClassValue(".dsk", "VolkarnPrevious").exists);
    EXPECT_FALSE(ReadClassKey("DiskImage").exists);
    EXPECT_FALSE(ReadClassKey(".flp").exists);
}

TEST_F(RegisterTest, FailureHalfWayKeepsTheEarlierRowsAndSkipsTheRest) {
    PutClassKey("DiskImage\\shell\\WriteToDisk\\command");
    DenyClassKey("DiskImage\\shell\\WriteToDisk\\command", KEY_SET_VALUE);
    BoxAnswerer boxes(kCaption);
    EXPECT_FALSE(RegisterAssociations(nullptr, {5, 0}, kProgram));
    EXPECT_EQ(std::vector<std::string>{Text(kMsgRegisterFailed)}, boxes.Texts());
    EXPECT_EQ("DiskImage", ReadClassKey(".dsk").value);
    EXPECT_EQ("&Write image to disk", ReadClassKey("DiskImage\\shell\\WriteToDisk").value);
    EXPECT_FALSE(ReadClassKey("DiskImage\\shell\\WriteToDisk\\command").hasDefault);
    EXPECT_FALSE(ReadClassKey(".flp").exists);
}

TEST_F(RegisterTest, NoProgramPathIsAFailureNotASuccess) {
    BoxAnswerer boxes(kCaption);
    EXPECT_FALSE(RegisterAssociations(nullptr, {5, 0}, ""));
    EXPECT_EQ(std::vector<std::string>{Text(kMsgRegisterFailed)}, boxes.Texts());
    EXPECT_EQ("", AssociationSnapshot());
}

TEST_F(RegisterTest, ExtensionAloneWritesOneKey) {
    EXPECT_EQ(ERROR_SUCCESS, WriteAssociationKeys(kProgram, "\"%1\"", ".flp", "DiskImage", false, 2,
                                                  kStrProgIdDescription, "-W \"%1\""));
    EXPECT_EQ("DiskImage", ReadClassKey(".flp").value);
    EXPECT_FALSE(ReadClassKey("DiskImage").exists);
    EXPECT_FALSE(ReadClassKey(".dsk").exists);
}

TEST_F(RegisterTest, ReturnsTheFirstRegistryError) {
    PutClassKey("DiskImage\\DefaultIcon");
    DenyClassKey("DiskImage\\DefaultIcon", KEY_SET_VALUE);
    EXPECT_EQ(ERROR_ACCESS_DENIED, WriteAssociationKeys(kProgram, "\"%1\"", ".dsk", "DiskImage", true, 2,
                                                        kStrProgIdDescription, "-W \"%1\""));
    EXPECT_EQ("Disk image", ReadClassKey("DiskImage").value);
    EXPECT_FALSE(ReadClassKey("DiskImage\\shell").exists);
}

// VOLKARN.EXE /R as the shell or a batch file would start it, from a folder
// with a blank in its name, with Wine set to report the given version for
// that program alone.
class RegisterProcessTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        if (!RunningUnderWine()) {
            GTEST_SKIP() << "the platform version can only be chosen under Wine";
        }
        program_ = folder_.Path() + "\\VOLKARN.EXE";
        ASSERT_TRUE(CopyFileA(WindowsPath(VK_VOLKARN_EXE).c_str(), program_.c_str(), FALSE));
        // Other tests close the real main window, which saves its settings:
        // the whole tree must go, a key with subkeys would stay.
        RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    }
    bool SettingsTouched() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }

    static constexpr char kSettingsKey[] = "Software\\Quanbel\\Volkarn";
    BlankFolder folder_;
    std::string program_;
};

TEST_F(RegisterProcessTest, SlashROnWindows2000RegistersWithoutAWindow) {
    const PretendedVersion version("VOLKARN.EXE", "win2k");
    BoxAnswerer boxes(kCaption);
    const ChildRun run = RunChild(program_, "/R");
    ASSERT_TRUE(run.started);
    ASSERT_TRUE(run.finished) << "VOLKARN /R did not end";
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_FALSE(run.hadMainWindow);
    EXPECT_FALSE(SettingsTouched());
    EXPECT_EQ(std::vector<std::string>{Text(kMsgRegisterOk)}, boxes.Texts());
    ExpectFullRegistration(program_);
}

TEST_F(RegisterProcessTest, SlashROnWindowsXpAndLaterChangesNothing) {
    PutClassKey(".dsk", "OtherImage");
    const std::string before = AssociationSnapshot();
    for (const char* version : {"winxp", "win7", "win10"}) {
        const PretendedVersion pretended("VOLKARN.EXE", version);
        BoxAnswerer boxes(kCaption);
        const ChildRun run = RunChild(program_, "-r");
        ASSERT_TRUE(run.finished) << version;
        EXPECT_EQ(1u, run.exitCode) << version;
        EXPECT_FALSE(run.hadMainWindow) << version;
        EXPECT_EQ(std::vector<std::string>{Text(kMsgRegisterUnsupported)}, boxes.Texts()) << version;
        EXPECT_EQ(before, AssociationSnapshot()) << version;
    }
    EXPECT_FALSE(SettingsTouched());
}

}  // namespace
}  // namespace vk::test
