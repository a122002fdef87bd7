// Dragging entries out: the drag-out folder and what the extraction pass
// writes into it, refusals that write nothing, the folder's removal, and a
// whole drag out through the real OLE loop into another document.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/new_image.h"
#include "engine/fat/dir/dir_entry.h"
#include "tests/win32/dragdrop/drag_fixture.h"
#include "win32/dragdrop/dragdrop.h"
#include "engine/strings/string_ids.h"

namespace vk::test {
namespace {

using win32::DragTempDirectory;

std::string TempFolder() {
    char path[MAX_PATH] = "";
    GetTempPathA(sizeof path, path);
    std::string folder(path);
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

std::string LongPath(const std::string& path) {
    char full[MAX_PATH] = "";
    return GetLongPathNameA(path.c_str(), full, sizeof full) ? std::string(full) : path;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ListText(const ByteBlock& list) { return std::string(reinterpret_cast<const char*>(list.data()), list.size()); }

class DragOutTest : public DragDropTest {
protected:
    void SetUp() override {
        DragDropTest::SetUp();
        AddToImage({HostFile("ALPHA.BIN", 1500, 1), HostFile("BRAVO.TXT", 10, 2), HostFile("CHARLIE.DAT", 5000, 3)});
    }
};

TEST_F(DragOutTest, CreateTempDirectoryMakesAUniqueFolderInTheTemporaryFolder) {
    const std::string first = win32::CreateTempDirectory(win32::kDragFolderPrefix);
    const std::string second = win32::CreateTempDirectory(win32::kDragFolderPrefix);
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first, second);
    for (const std::string& path : {first, second}) {
        EXPECT_TRUE(IsFolder(path)) << path;
        const size_t cut = path.find_last_of('\\');
        EXPECT_EQ(path.compare(cut + 1, 3, "VK$"), 0) << path;
        EXPECT_EQ(LongPath(path.substr(0, cut)), LongPath(TempFolder()));
        win32::EmptyDirectory(path, true);
        EXPECT_FALSE(IsFolder(path));
    }
}

TEST_F(DragOutTest, EmptyDirectoryDeletesEveryFileReadOnlyAndDottedOnesToo) {
    const std::string folder = dir.Path("drag");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    for (const char* name : {"A.BIN", ".PROFILE", "RO.TXT"}) {
        WriteFile(folder + "\\" + name, {1, 2, 3});
    }
    SetFileAttributesA((folder + "\\RO.TXT").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    win32::EmptyDirectory(folder, false);
    EXPECT_TRUE(IsFolder(folder)) << "kept without the flag";
    EXPECT_TRUE(FolderFiles(folder).empty());
    win32::EmptyDirectory(folder, true);
    EXPECT_FALSE(IsFolder(folder));
    win32::EmptyDirectory("", true);  // no folder: nothing happens
}

TEST_F(DragOutTest, TheExtractionPassWritesExactlyTheSelectedFiles) {
    Select({0, 2});
    ByteBlock list;
    ASSERT_TRUE(win32::ExtractDragFiles(nullptr, doc, Selected(), list));
    const std::string folder = DragTempDirectory();
    ASSERT_TRUE(IsFolder(folder));
    EXPECT_EQ(FolderFiles(folder), (std::vector<std::string>{"ALPHA.BIN", "CHARLIE.DAT"}));
    EXPECT_EQ(ReadFile(folder + "\\ALPHA.BIN"), Pattern(1500, 1));
    EXPECT_EQ(ReadFile(folder + "\\CHARLIE.DAT"), Pattern(5000, 3));
    EXPECT_EQ(ListText(list), folder + "\\ALPHA.BIN" + '\0' + folder + "\\CHARLIE.DAT" + '\0' + '\0');

    // The next drag out empties the same folder first.
    Select({1});
    ASSERT_TRUE(win32::ExtractDragFiles(nullptr, doc, Selected(), list));
    EXPECT_EQ(DragTempDirectory(), folder);
    EXPECT_EQ(FolderFiles(folder), std::vector<std::string>{"BRAVO.TXT"});
    EXPECT_EQ(ListText(list), folder + "\\BRAVO.TXT" + '\0' + '\0');
}

TEST_F(DragOutTest, TheLabelInTheSelectionWritesNothingAFolderGoesWithItsTree) {
    ASSERT_TRUE(CreateDirectoryA(dir.Path("SUBDIR").c_str(), nullptr));
    AddToImage({dir.Path("SUBDIR")});
    AddLabelItem("MYDISK     ");
    Select({0, 4, 2});
    script.Message(kMsgCannotSaveDirOrLabel, kIconWarning);
    ByteBlock list;
    EXPECT_FALSE(win32::ExtractDragFiles(nullptr, doc, Selected(), list));
    EXPECT_TRUE(FolderFiles(DragTempDirectory()).empty());

    Select({0, 3, 2});
    ASSERT_TRUE(win32::ExtractDragFiles(nullptr, doc, Selected(), list));
    const std::string folder = DragTempDirectory();
    EXPECT_EQ(FolderFiles(folder), (std::vector<std::string>{"ALPHA.BIN", "CHARLIE.DAT"}));
    const DWORD subdir = GetFileAttributesA((folder + "\\SUBDIR").c_str());
    EXPECT_TRUE(subdir != INVALID_FILE_ATTRIBUTES && (subdir & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(ListText(list), folder + "\\ALPHA.BIN" + '\0' + folder + "\\CHARLIE.DAT" + '\0' + folder + "\\SUBDIR" +
                                  '\0' + '\0');  // in list order
}

// Entries that land on one host name go out under distinct names, the drop
// list naming what was written; the dropped files show their names, so no
// box interrupts the drag.
TEST_F(DragOutTest, EntriesOfOneHostNameGoOutUnderTails) {
    AddToImage({HostFile("AXB.TXT", 10, 4), HostFile("AYB.TXT", 20, 5), HostFile("A_B.TXT", 30, 6)});
    // Bytes no host name may hold, as other systems leave them in names.
    const Layout layout = doc.GetLayout();
    for (uint32_t slot = 0; slot < layout.rootEntries; ++slot) {
        uint8_t* name = doc.Area() + layout.rootStart + slot * kDirEntrySize;
        if (std::memcmp(name, "AXB     TXT", kDirFullNameLength) == 0) name[1] = ':';
        if (std::memcmp(name, "AYB     TXT", kDirFullNameLength) == 0) name[1] = '?';
    }
    Select({3, 4, 5});
    ByteBlock list;
    ASSERT_TRUE(win32::ExtractDragFiles(nullptr, doc, Selected(), list));
    const std::string folder = DragTempDirectory();
    EXPECT_EQ(ReadFile(folder + "\\A_B.TXT"), Pattern(10, 4));
    EXPECT_EQ(ReadFile(folder + "\\A_B~1.TXT"), Pattern(20, 5));
    EXPECT_EQ(ReadFile(folder + "\\A_B~2.TXT"), Pattern(30, 6));
    EXPECT_EQ(ListText(list), folder + "\\A_B.TXT" + '\0' + folder + "\\A_B~1.TXT" + '\0' + folder + "\\A_B~2.TXT" +
                                  '\0' + '\0');
}

TEST_F(DragOutTest, AFailedExtractionStartsNoDrag) {
    Select({0, 1});
    ByteBlock list;
    ASSERT_TRUE(win32::ExtractDragFiles(nullptr, doc, Selected(), list));
    // A file of the folder held open without sharing cannot be replaced.
    const std::string held = DragTempDirectory() + "\\BRAVO.TXT";
    HANDLE lock = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    // Emptying cannot delete it either, so the second pass meets it.
    script.SystemError(ERROR_SHARING_VIOLATION, held);
    EXPECT_FALSE(win32::ExtractDragFiles(nullptr, doc, Selected(), list));
    CloseHandle(lock);
    EXPECT_EQ(FolderFiles(DragTempDirectory()), (std::vector<std::string>{"ALPHA.BIN", "BRAVO.TXT"}))
        << "files written before the failure stay";
}

TEST_F(DragOutTest, RemovingTheDragFolderTakesItsReadOnlyFilesWithIt) {
    const std::string ro = dir.Path("RO.TXT");
    WriteFile(ro, {7});
    SetFileAttributesA(ro.c_str(), FILE_ATTRIBUTE_READONLY);
    AddToImage({ro});
    Select({0, 3});
    ByteBlock list;
    ASSERT_TRUE(win32::ExtractDragFiles(nullptr, doc, Selected(), list));
    const std::string folder = DragTempDirectory();
    EXPECT_TRUE(GetFileAttributesA((folder + "\\RO.TXT").c_str()) & FILE_ATTRIBUTE_READONLY);
    win32::RemoveDragTempDirectory();
    EXPECT_FALSE(IsFolder(folder));
    EXPECT_TRUE(DragTempDirectory().empty());
    // The next drag out makes a new one.
    ASSERT_TRUE(win32::ExtractDragFiles(nullptr, doc, Selected(), list));
    EXPECT_TRUE(IsFolder(DragTempDirectory()));
}

// StartDragOut whole: the button is up, so OLE drops at once on the window
// under the cursor, whose files go to another document.
TEST_F(DragOutTest, StartDragOutCarriesTheSelectionIntoAnotherImage) {
    ImageDocument other;
    ASSERT_TRUE(test::Shown(CreateEmptyImage(other, 0xF9, kBootMsDos6), nullptr));
    DropWindow target(&other, 80, 80);
    DropWindow source(&doc, 600, 400);
    win32::RegisterDropTarget(target.Handle());
    const POINT c = target.Center();
    SetCursorPos(c.x, c.y);
    Pump();
    Select({1, 2});
    win32::StartDragOut(source.Handle(), doc, Selected());
    Pump();
    // The other image's two items come first: its directory was empty.
    EXPECT_EQ(ListTexts(), (std::vector<std::string>{"BRAVO.TXT", "CHARLIE.DAT", "ALPHA.BIN", "BRAVO.TXT",
                                                      "CHARLIE.DAT"}));
    ASSERT_EQ(ListEntries().size(), 5u);
    EXPECT_EQ(EntryBytes(other, ListEntries()[1]), Pattern(5000, 3));
    EXPECT_TRUE(other.modified);
    EXPECT_EQ(FolderFiles(DragTempDirectory()), (std::vector<std::string>{"BRAVO.TXT", "CHARLIE.DAT"}));
    other.modified = false;
    test::Close(other);
    win32::ReleaseDropTarget();  // while its window still exists
}

}  // namespace
}  // namespace vk::test
