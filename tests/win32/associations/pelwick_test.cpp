// PELWICK against Wine's real registry: its registry steps, its whole run in
// this process (boxes answered from another thread), and PELWICK.EXE as a
// child process.
#include <string>
#include <utility>
#include <vector>

#include "tests/win32/associations/box_answerer.h"
#include "tests/win32/associations/child_process.h"
#include "tests/win32/associations/class_registry.h"
#include <gtest/gtest.h>
#include "pelwick/registry_tree.h"
#include "pelwick/unregister.h"

namespace vk::test {
namespace {

constexpr char kCaption[] = "Unregister Volkarn";
const std::string kProgram = "C:\\Program Files\\Volkarn\\VOLKARN.EXE";

const std::string kNotRegistered =
    "No (old) version of Volkarn is registered!\n\nDepending on the version of Volkarn and Windows you are using "
    "you may be able to remove it from the ControlPanel.";
const std::string kConfirm =
    "Are you sure you want to unregister Volkarn?\n\nThis will remove associations for *.dsk and *.flp files with "
    "Volkarn.\nNote: associations created by the Windows-Installer are not affected.";
const std::string kDone = "Volkarn file-type associations are successfully unregistered!";
const std::string kFailed =
    "Failed to unregister Volkarn file-type associations!\n\nTry to run this utility as administrator to solve the "
    "problem.";

pelwick::RegKey Open(const std::string& key) {
    HKEY handle = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle)) << key;
    return pelwick::RegKey(handle);
}

LONG QueryKey(HKEY key) {
    return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr);
}

void PutTypedDefault(const std::string& keyName, DWORD type, const void* data, DWORD size) {
    PutClassKey(keyName);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_SET_VALUE, &key));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, nullptr, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

class PelwickTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveAssociationKeys(); }
    void TearDown() override { RemoveAssociationKeys(); }

    // One whole run of the tool, with `answer` to its question.
    std::vector<AnsweredBox> Run(int answer = IDYES) {
        BoxAnswerer boxes(kCaption);
        boxes.Answer(answer);
        pelwick::UnregisterAssociations(GetModuleHandleA(nullptr));
        return boxes.Boxes();
    }
    static std::vector<std::string> Texts(const std::vector<AnsweredBox>& boxes) {
        std::vector<std::string> texts;
        for (const AnsweredBox& box : boxes) {
            texts.push_back(box.text);
        }
        return texts;
    }
};

TEST_F(PelwickTest, ValueIsDiskImageOnlyForThatStringInAnyCase) {
    const struct {
        const char* name;
        DWORD type;
        std::string data;  // with its terminating zero where the type has one
        bool expected;
    } kCases[] = {
        {"exact", REG_SZ, std::string("DiskImage", 10), true},
        {"other case", REG_SZ, std::string("diskimage", 10), true},
        {"expandable string", REG_EXPAND_SZ, std::string("DISKIMAGE", 10), true},
        {"stored without its zero", REG_SZ, "DiskImage", true},
        {"longer name", REG_SZ, std::string("DiskImage2", 11), false},
        {"other ProgID", REG_SZ, std::string("OtherImage", 11), false},
        {"binary bytes", REG_BINARY, "DiskImage", false},
        {"too long to read", REG_SZ, std::string(300, 'D') + '\0', false},
    };
    for (const auto& c : kCases) {
        RemoveAssociationKeys();
        PutTypedDefault(".dsk", c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
        EXPECT_EQ(c.expected, pelwick::ValueIsDiskImage(Open(".dsk"))) << c.name;
    }
    PutClassKey(".flp");
    EXPECT_FALSE(pelwick::ValueIsDiskImage(Open(".flp"))) << "no default value";
}

TEST_F(PelwickTest, HasSubkeysAndHasValues) {
    PutClassKey("DiskImage\\shell");
    EXPECT_TRUE(pelwick::HasSubkeys(Open("DiskImage")));
    EXPECT_FALSE(pelwick::HasSubkeys(Open("DiskImage\\shell")));
    EXPECT_FALSE(pelwick::HasValues(Open("DiskImage")));
    PutClassValue("DiskImage", "Content Type", "application/octet-stream");
    EXPECT_TRUE(pelwick::HasValues(Open("DiskImage")));
}

TEST_F(PelwickTest, AnOpenKeyIsClosedWithItsLastOwner) {
    PutClassKey("DiskImage");
    HKEY raw = nullptr;
    {
        pelwick::RegKey first = pelwick::OpenForReading("DiskImage");
        ASSERT_TRUE(first);
        raw = first.get();
        pelwick::RegKey second(std::move(first));
        EXPECT_FALSE(first) << "moved away";
        first = std::move(second);
        EXPECT_EQ(raw, first.get());
        EXPECT_EQ(ERROR_SUCCESS, QueryKey(raw)) << "open while owned";
    }
    EXPECT_EQ(ERROR_INVALID_HANDLE, QueryKey(raw)) << "closed with its owner";
}

TEST_F(PelwickTest, AKeyThatCannotBeOpenedIsEmptyWithTheRegistryError) {
    LONG result = ERROR_SUCCESS;
    const pelwick::RegKey key = pelwick::OpenKey(HKEY_CLASSES_ROOT, "VolkarnNoSuchKey", KEY_READ, result);
    EXPECT_FALSE(key);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, result);
    EXPECT_FALSE(pelwick::OpenForReading("VolkarnNoSuchKey"));
}

TEST_F(PelwickTest, DeleteKeyTreeRecursiveOrOnlyWhenEmpty) {
    PutClassKey("DiskImage\\a\\b\\c", "deep");
    PutClassKey("DiskImage\\a\\d");
    PutClassKey("DiskImage\\e");
    // Not recursive: a key with subkeys stays, and that is no error.
    EXPECT_EQ(ERROR_SUCCESS, pelwick::DeleteKeyTree(HKEY_CLASSES_ROOT, "DiskImage", false));
    EXPECT_TRUE(ReadClassKey("DiskImage\\a\\b\\c").exists);
    EXPECT_EQ(ERROR_SUCCESS, pelwick::DeleteKeyTree(HKEY_CLASSES_ROOT, "DiskImage\\e", false));
    EXPECT_FALSE(ReadClassKey("DiskImage\\e").exists);
    EXPECT_EQ(ERROR_SUCCESS, pelwick::DeleteKeyTree(HKEY_CLASSES_ROOT, "DiskImage", true));
    EXPECT_FALSE(ReadClassKey("DiskImage").exists);
    // Already gone counts as done.
    EXPECT_EQ(ERROR_SUCCESS, pelwick::DeleteKeyTree(HKEY_CLASSES_ROOT, "DiskImage", true));
    EXPECT_EQ(ERROR_SUCCESS, pelwick::DeleteDefaultValue(".dsk"));
    PutClassKey(".dsk");
    EXPECT_EQ(ERROR_SUCCESS, pelwick::DeleteDefaultValue(".dsk"));
}

// A key that cannot be opened for change stands for one the user may not
// touch (Wine does not check the delete right itself).
TEST_F(PelwickTest, DeleteKeyTreeReportsADeniedSubkey) {
    PutClassKey("DiskImage\\shell\\OpenWithVolkarn\\command", "x");
    DenyClassKey("DiskImage\\shell\\OpenWithVolkarn\\command", KEY_SET_VALUE);
    EXPECT_EQ(ERROR_ACCESS_DENIED, pelwick::DeleteKeyTree(HKEY_CLASSES_ROOT, "DiskImage", true));
    EXPECT_TRUE(ReadClassKey("DiskImage\\shell\\OpenWithVolkarn\\command").exists);
}

// A link to a missing key opens as not-found, so "deleting" it succeeds
// while it stays listed: the removal must stop instead of looping.
TEST_F(PelwickTest, DeleteKeyTreeStopsAtASubkeyThatDoesNotGo) {
    PutClassKey("DiskImage\\shell\\OpenWithVolkarn");
    HKEY link = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, "DiskImage\\shell\\OpenWithVolkarn\\dangling", 0, nullptr,
                        REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS, nullptr, &link, nullptr) != ERROR_SUCCESS) {
        GTEST_SKIP() << "registry links cannot be made here";
    }
    const wchar_t target[] = L"\\Registry\\Machine\\Software\\Classes\\VolkarnNoSuchKey";
    RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target),
                   sizeof target - sizeof(wchar_t));
    RegCloseKey(link);
    EXPECT_NE(ERROR_SUCCESS, pelwick::DeleteKeyTree(HKEY_CLASSES_ROOT, "DiskImage\\shell\\OpenWithVolkarn", true));

}

TEST_F(PelwickTest, NothingRegisteredShowsOnlyTheNotice) {
    PutClassKey(".dsk", "OtherImage");
    PutClassKey("DiskImage\\shell\\open\\command", "other.exe \"%1\"");
    const std::string before = AssociationSnapshot();
    const std::vector<AnsweredBox> boxes = Run();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kNotRegistered, boxes[0].text);
    EXPECT_EQ(unsigned(MB_OK), boxes[0].buttons);
    EXPECT_EQ(unsigned(MB_ICONINFORMATION), boxes[0].icon);
    EXPECT_EQ(before, AssociationSnapshot());
}

TEST_F(PelwickTest, RemovesAFullRegistration) {
    PutFullRegistration(kProgram);
    const std::vector<AnsweredBox> boxes = Run(IDYES);
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(kConfirm, boxes[0].text);
    EXPECT_EQ(unsigned(MB_YESNO), boxes[0].buttons);
    EXPECT_EQ(unsigned(MB_ICONQUESTION), boxes[0].icon);
    EXPECT_EQ(IDNO, boxes[0].defaultButton);
    EXPECT_EQ(kDone, boxes[1].text);
    EXPECT_EQ(unsigned(MB_ICONINFORMATION), boxes[1].icon);
    EXPECT_EQ("", AssociationSnapshot());
}

TEST_F(PelwickTest, EachTraceAloneIsDetected) {
    const struct {
        const char* name;
        const char* key;
        const char* value;
    } kCases[] = {
        {"our icon alone", "DiskImage\\DefaultIcon", "\"C:\\Vol karn\\volkarn.exe\",2"},
        {"our icon in a folder with a comma", "DiskImage\\DefaultIcon", "C:\\Disk, tools\\VOLKARN.EXE"},
        {"open verb alone", "DiskImage\\shell\\OpenWithVolkarn", ""},
        {"write verb alone", "DiskImage\\shell\\WriteToDisk\\command", "x"},
    };
    for (const auto& c : kCases) {
        RemoveAssociationKeys();
        PutClassKey(c.key, c.value);
        EXPECT_EQ((std::vector<std::string>{kConfirm, kDone}), Texts(Run(IDYES))) << c.name;
        EXPECT_EQ("", AssociationSnapshot()) << c.name;
    }
}

// Extensions naming "DiskImage" and an icon of another program are not
// ours: without one of our verbs or our icon nothing is registered.
TEST_F(PelwickTest, AnotherProgramsDiskImageIsNoRegistration) {
    const struct {
        const char* name;
        std::vector<std::pair<const char*, const char*>> keys;
    } kCases[] = {
        {"extension and foreign icon",
         {{".dsk", "DiskImage"}, {"DiskImage", "Disk image"}, {"DiskImage\\DefaultIcon", "C:\\Other\\imager.exe,0"}}},
        {".dsk alone", {{".dsk", "DiskImage"}}},
        {".flp alone", {{".flp", "diskimage"}}},
        {"icon naming a program of a similar name", {{"DiskImage\\DefaultIcon", "C:\\x\\MYVOLKARN.EXE,2"}}},
    };
    for (const auto& c : kCases) {
        RemoveAssociationKeys();
        for (const auto& key : c.keys) {
            PutClassKey(key.first, key.second);
        }
        const std::string before = AssociationSnapshot();
        EXPECT_EQ(std::vector<std::string>{kNotRegistered}, Texts(Run(IDYES))) << c.name;
        EXPECT_EQ(before, AssociationSnapshot()) << c.name;
    }
}

TEST_F(PelwickTest, AnotherProgramsIconKeepsItselfTheProgIdAndTheExtensions) {
    PutFullRegistration(kProgram);
    PutClassKey("DiskImage\\DefaultIcon", "C:\\Other\\imager.exe,0");
    EXPECT_EQ((std::vector<std::string>{kConfirm, kDone}), Texts(Run(IDYES)));
    EXPECT_EQ((std::vector<std::string>{"DiskImage", "DiskImage\\DefaultIcon"}), ClassKeyTree("DiskImage"));
    EXPECT_EQ("C:\\Other\\imager.exe,0", ReadClassKey("DiskImage\\DefaultIcon").value);
    EXPECT_EQ("DiskImage", ReadClassKey(".dsk").value);
    EXPECT_EQ("DiskImage", ReadClassKey(".flp").value);
}

TEST_F(PelwickTest, AnotherProgramsValueOnTheProgIdKeepsItAndTheExtensions) {
    PutFullRegistration(kProgram);
    PutClassValue("DiskImage", "FriendlyTypeName", "Other images");
    EXPECT_EQ((std::vector<std::string>{kConfirm, kDone}), Texts(Run(IDYES)));
    EXPECT_EQ(std::vector<std::string>{"DiskImage"}, ClassKeyTree("DiskImage"));
    EXPECT_EQ("DiskImage", ReadClassKey(".dsk").value);
}

TEST_F(PelwickTest, ExtensionOfAnotherProgIdIsLeftWhileOurVerbsGo) {
    PutFullRegistration(kProgram);
    PutClassKey(".dsk", "OtherImage");
    EXPECT_EQ((std::vector<std::string>{kConfirm, kDone}), Texts(Run(IDYES)));
    EXPECT_EQ("OtherImage", ReadClassKey(".dsk").value);
    EXPECT_FALSE(ReadClassKey(".flp").exists);
    EXPECT_FALSE(ReadClassKey("DiskImage").exists);
}

TEST_F(PelwickTest, ExtensionWithAnOpenWithListLosesOnlyItsDefaultValue) {
    PutFullRegistration(kProgram);
    PutClassKey(".dsk\\OpenWithProgids");
    EXPECT_EQ((std::vector<std::string>{kConfirm, kDone}), Texts(Run(IDYES)));
    const ClassKey dsk = ReadClassKey(".dsk");
    EXPECT_TRUE(dsk.exists);
    EXPECT_FALSE(dsk.hasDefault);
    EXPECT_TRUE(ReadClassKey(".dsk\\OpenWithProgids").exists);
    EXPECT_FALSE(ReadClassKey(".flp").exists);
}

TEST_F(PelwickTest, ExtensionWithAnotherProgramsValueKeepsIt) {
    PutFullRegistration(kProgram);
    PutClassValue(".flp", "Content Type", "application/x-floppy");
    EXPECT_EQ((std::vector<std::string>{kConfirm, kDone}), Texts(Run(IDYES)));
    EXPECT_FALSE(ReadClassKey(".flp").hasDefault);
    EXPECT_EQ(".flp\n  [Content Type] type 1 = application/x-floppy" + std::string(1, '\0') + "\n",
              AssociationSnapshot());
}

TEST_F(PelwickTest, AnotherProgramsVerbKeepsShellIconAndProgId) {
    PutFullRegistration(kProgram);
    PutClassKey("DiskImage\\shell\\Inspect\\command", "inspect.exe \"%1\"");
    EXPECT_EQ((std::vector<std::string>{kConfirm, kDone}), Texts(Run(IDYES)));
    const std::vector<std::string> left = {
        "DiskImage",
        "DiskImage\\DefaultIcon",
        "DiskImage\\shell",
        "DiskImage\\shell\\Inspect",
        "DiskImage\\shell\\Inspect\\command",
    };
    EXPECT_EQ(left, ClassKeyTree("DiskImage"));
    // Our open verb as the default one went with it.
    EXPECT_FALSE(ReadClassKey("DiskImage\\shell").hasDefault);
    // The extensions still lead to the other program's verb.
    EXPECT_EQ("DiskImage", ReadClassKey(".dsk").value);
    EXPECT_EQ("DiskImage", ReadClassKey(".flp").value);
}

TEST_F(PelwickTest, AnotherProgramsDefaultVerbKeepsShellAndExtensions) {
    PutFullRegistration(kProgram);
    PutClassKey("DiskImage\\shell", "Inspect");
    EXPECT_EQ((std::vector<std::string>{kConfirm, kDone}), Texts(Run(IDYES)));
    EXPECT_EQ((std::vector<std::string>{"DiskImage", "DiskImage\\DefaultIcon", "DiskImage\\shell"}),
              ClassKeyTree("DiskImage"));
    EXPECT_EQ("Inspect", ReadClassKey("DiskImage\\shell").value);
    EXPECT_EQ("DiskImage", ReadClassKey(".dsk").value);
}

// The association the main program replaced on an extension goes back to
// its program; the key then stays with whatever else it holds.
TEST_F(PelwickTest, AnExtensionGetsBackTheAssociationRegisteringReplaced) {
    const struct {
        const char* name;
        const char* current;  // .flp's default value before the run
        const char* kept;     // the value kept beside it
        DWORD keptType;
        bool contentType;     // another program's value on .flp
        const char* after;    // .flp's default value after the run; null: .flp gone
        DWORD afterType;
    } kCases[] = {
        {"another ProgID", "DiskImage", "StandInImage", REG_SZ, false, "StandInImage", REG_SZ},
        {"an expandable string", "DiskImage", "StandInImage", REG_EXPAND_SZ, false, "StandInImage", REG_EXPAND_SZ},
        {"beside a content type", "DiskImage", "StandInImage", REG_SZ, true, "StandInImage", REG_SZ},
        {"taken by a third program since", "NewerImage", "StandInImage", REG_SZ, false, "NewerImage", REG_SZ},
        {"an empty value gives nothing back", "DiskImage", "", REG_SZ, false, nullptr, REG_NONE},
    };
    for (const auto& c : kCases) {
        RemoveAssociationKeys();
        PutFullRegistration(kProgram);
        PutClassKey(".flp", c.current);
        PutClassValue(".flp", "VolkarnPrevious", c.kept, c.keptType);
        if (c.contentType) {
            PutClassValue(".flp", "Content Type", "application/x-floppy");
        }
        EXPECT_EQ((std::vector<std::string>{kConfirm, kDone}), Texts(Run(IDYES))) << c.name;
        EXPECT_FALSE(ReadClassValue(".flp", "VolkarnPrevious").exists) << c.name;
        EXPECT_EQ(c.contentType, ReadClassValue(".flp", "Content Type").exists) << c.name;
        const ClassValue restored = ReadClassValue(".flp", "");
        EXPECT_EQ(c.after != nullptr, ReadClassKey(".flp").exists) << c.name;
        EXPECT_EQ(c.after != nullptr, restored.exists) << c.name;
        if (c.after != nullptr) {
            EXPECT_EQ(c.after, restored.value) << c.name;
            EXPECT_EQ(c.afterType, restored.type) << c.name;
        }
    }
}

TEST_F(PelwickTest, AnsweringNoChangesNothing) {
    PutFullRegistration(kProgram);
    const std::string before = AssociationSnapshot();
    EXPECT_EQ(std::vector<std::string>{kConfirm}, Texts(Run(IDNO)));
    EXPECT_EQ(before, AssociationSnapshot());
}

TEST_F(PelwickTest, SecondRunFindsNothing) {
    PutFullRegistration(kProgram);
    EXPECT_EQ((std::vector<std::string>{kConfirm, kDone}), Texts(Run(IDYES)));
    EXPECT_EQ(std::vector<std::string>{kNotRegistered}, Texts(Run(IDYES)));
}

TEST_F(PelwickTest, DeniedVerbStopsTheRemovalAndReportsFailure) {
    PutFullRegistration(kProgram);
    DenyClassKey("DiskImage\\shell\\OpenWithVolkarn\\command", KEY_SET_VALUE);
    const std::vector<AnsweredBox> boxes = Run(IDYES);
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(kFailed, boxes[1].text);
    EXPECT_EQ(unsigned(MB_ICONERROR), boxes[1].icon);
    // The extensions went before the failing step; the write verb after it
    // was never tried.
    EXPECT_FALSE(ReadClassKey(".dsk").exists);
    EXPECT_FALSE(ReadClassKey(".flp").exists);
    EXPECT_TRUE(ReadClassKey("DiskImage\\shell\\OpenWithVolkarn\\command").exists);
    EXPECT_EQ("&Write image to disk", ReadClassKey("DiskImage\\shell\\WriteToDisk").value);
}

TEST_F(PelwickTest, DeniedExtensionStopsBeforeAnythingIsRemoved) {
    PutFullRegistration(kProgram);
    DenyClassKey(".dsk", KEY_SET_VALUE);
    EXPECT_EQ((std::vector<std::string>{kConfirm, kFailed}), Texts(Run(IDYES)));
    EXPECT_EQ("DiskImage", ReadClassKey(".dsk").value);
    EXPECT_EQ("DiskImage", ReadClassKey(".flp").value);
    EXPECT_EQ(7u, ClassKeyTree("DiskImage").size());
}

// PELWICK.EXE itself: the boxes come from its own string table, and it
// ends with 0 whatever happened.
class PelwickProcessTest : public PelwickTest {
protected:
    ChildRun RunTool(int answer, std::vector<std::string>& texts) {
        BoxAnswerer boxes(kCaption);
        boxes.Answer(answer);
        const ChildRun run = RunChild(WindowsPath(VK_PELWICK_EXE), "");
        texts = boxes.Texts();
        EXPECT_TRUE(run.started);
        EXPECT_TRUE(run.finished) << "PELWICK did not end";
        return run;
    }
};

TEST_F(PelwickProcessTest, RemovesThenFindsNothingAlwaysExitingWithZero) {
    PutFullRegistration(kProgram);
    std::vector<std::string> texts;
    EXPECT_EQ(0u, RunTool(IDYES, texts).exitCode);
    EXPECT_EQ((std::vector<std::string>{kConfirm, kDone}), texts);
    EXPECT_EQ("", AssociationSnapshot());

    EXPECT_EQ(0u, RunTool(IDYES, texts).exitCode);
    EXPECT_EQ(std::vector<std::string>{kNotRegistered}, texts);
}

// The tool itself on another program's association: it finds none of ours
// and leaves every key and value of the other program.
TEST_F(PelwickProcessTest, AnotherProgramsAssociationIsLeftWhole) {
    PutClassKey(".dsk", "DiskImage");
    PutClassKey("DiskImage", "Other disk image");
    PutClassKey("DiskImage\\DefaultIcon", "C:\\Other\\imager.exe,0");
    PutClassKey("DiskImage\\shell\\open\\command", "\"C:\\Other\\imager.exe\" \"%1\"");
    const std::string before = AssociationSnapshot();
    std::vector<std::string> texts;
    EXPECT_EQ(0u, RunTool(IDYES, texts).exitCode);
    EXPECT_EQ(std::vector<std::string>{kNotRegistered}, texts);
    EXPECT_EQ(before, AssociationSnapshot());
}

TEST_F(PelwickProcessTest, NoAndFailureAlsoExitWithZero) {
    PutFullRegistration(kProgram);
    const std::string before = AssociationSnapshot();
    std::vector<std::string> texts;
    EXPECT_EQ(0u, RunTool(IDNO, texts).exitCode);
    EXPECT_EQ(std::vector<std::string>{kConfirm}, texts);
    EXPECT_EQ(before, AssociationSnapshot());

    DenyClassKey("DiskImage\\shell\\WriteToDisk", KEY_SET_VALUE);
    EXPECT_EQ(0u, RunTool(IDYES, texts).exitCode);
    EXPECT_EQ((std::vector<std::string>{kConfirm, kFailed}), texts);
}

}  // namespace
}  // namespace vk::test
