// Extract file and Delete over several selected entries on the real window:
// one folder picker and one summary, one question with "Yes to all".
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "tests/win32/box_catcher.h"
#include "engine/core/document.h"
#include "engine/common/bytes.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/add_file.h"
#include "win32/ports/prompt_owner.h"
#include "win32/ui/file_options.h"
#include "win32/ui/list_sync.h"
#include <gtest/gtest.h>
#include "win32/resources/command_ids.h"
#include "win32/ui/app_state.h"
#include "win32/ui/command_line.h"
#include "win32/ui/extract_many.h"
#include "tests/win32/main_window/window_fixture.h"
#include "tests/support/box_flags.h"

namespace vk::test {
namespace {

// Plays the user in the folder picker: selects `g_pick` in its tree (again
// until the tree shows it selected, as the picker may fill it late) and
// clicks OK; with an empty `g_pick`, clicks Cancel.
std::string g_pick;
HWND g_pickOwner = nullptr;
int g_pickerSeen = 0;

BOOL CALLBACK FindPicker(HWND window, LPARAM found) {
    if (GetWindow(window, GW_OWNER) == g_pickOwner && IsWindowVisible(window) &&
        FindWindowExA(window, nullptr, WC_TREEVIEWA, nullptr) != nullptr) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

std::string SelectedTreeText(HWND tree) {
    char text[MAX_PATH] = "";
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = TreeView_GetSelection(tree);
    item.pszText = text;
    item.cchTextMax = sizeof text;
    if (item.hItem == nullptr || !TreeView_GetItem(tree, &item)) {
        return {};
    }
    return text;
}

void CALLBACK PlayPicker(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND picker = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindPicker, reinterpret_cast<LPARAM>(&picker));
    if (picker == nullptr) {
        return;
    }
    if (g_pick.empty()) {
        KillTimer(nullptr, timer);
        ++g_pickerSeen;
        PostMessageA(picker, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    SendMessageA(picker, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(g_pick.c_str()));
    HWND tree = FindWindowExA(picker, nullptr, WC_TREEVIEWA, nullptr);
    const std::string leaf = g_pick.substr(g_pick.find_last_of('\\') + 1);
    if (lstrcmpiA(SelectedTreeText(tree).c_str(), leaf.c_str()) == 0) {
        KillTimer(nullptr, timer);
        ++g_pickerSeen;
        PostMessageA(picker, WM_COMMAND, IDOK, 0);
    }
}

// Answers the folder picker with `folder` (empty: Cancel) while alive.
class PickerPlayer {
public:
    PickerPlayer(HWND owner, const std::string& folder) {
        g_pick = folder;
        g_pickOwner = owner;
        g_pickerSeen = 0;
        timer_ = SetTimer(nullptr, 0, 50, PlayPicker);
    }
    ~PickerPlayer() { KillTimer(nullptr, timer_); }
    int Seen() const { return g_pickerSeen; }

private:
    UINT_PTR timer_ = 0;
};

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Contents(const std::string& path) {
    std::string text(64, '\0');
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD read = 0;
    ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    text.resize(read);
    return text;
}

class SeveralSelected : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        image = folder.File("MANY.DSK");
        WriteImageFile(image, Entries());
        win32::CommandLine line;
        line.imagePath = image;
        ASSERT_TRUE(StartWindow(line));
        target = folder.File("OUT");
        CreateDirectoryA(target.c_str(), nullptr);
    }
    void TearDown() override {
        for (const char* name : {"ONE.TXT", "TWO.TXT"}) {
            const std::string path = target + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
        RemoveDirectoryA(target.c_str());
        MainWindowTest::TearDown();
    }
    virtual std::vector<TestEntry> Entries() const {
        return {{"ONE     TXT"}, {"SUB        ", 0x10}, {"TWO     TXT"}};
    }
    void SelectAll() {
        for (int i = 0; i < ItemCount(); ++i) {
            Select(i, true);
        }
    }
    std::string image;
    std::string target;
};

TEST_F(SeveralSelected, ExtractAsksOnceForAFolderAndSumsUp) {
    const std::string kept = target + "\\TWO.TXT";
    HANDLE file = CreateFileA(kept.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "mine", 4, &written, nullptr);
    CloseHandle(file);
    win32::LastExtractFolder() = target;
    SelectAll();

    PickerPlayer picker(Window(), target);
    BoxCatcher boxes(true);
    boxes.Answer(IDOK)    // SUB is damaged: its first cluster is 0
        .Answer(IDNO)     // keep the existing TWO.TXT
        .Answer(IDOK);    // the summary
    Command(ID_EDIT_EXTRACT);

    EXPECT_EQ(1, picker.Seen());
    ASSERT_EQ(3u, boxes.Boxes().size()) << boxes.Boxes().back().text;
    EXPECT_EQ("SUB\r\n\r\nError: stored file is corrupted!", boxes.Boxes()[0].text);
    EXPECT_EQ(kept + "\r\n\r\nFile already exists! Replace?", boxes.Boxes()[1].text);
    EXPECT_EQ(unsigned(kBoxYesAllNoCancel), boxes.Boxes()[1].buttons) << "several files: Yes to all";
    EXPECT_EQ("1 of 2 file(s) extracted to\r\n" + target, boxes.Boxes()[2].text);
    EXPECT_EQ(unsigned(kIconWarning), boxes.Boxes()[2].icon) << "one file was kept";
    EXPECT_TRUE(Exists(target + "\\ONE.TXT"));
    EXPECT_EQ("mine", Contents(kept));
    EXPECT_EQ(target, win32::LastExtractFolder());
}

// Three entries that land on one host name.
class ClashingNames : public SeveralSelected {
protected:
    std::vector<TestEntry> Entries() const override { return {{"A:B     TXT"}, {"A?B     TXT"}, {"A_B     TXT"}}; }
};

// Each later one gets a tail, said in a box; none is written over another
// and nothing asks about replacing.
TEST_F(ClashingNames, EntriesOfOneHostNameAreExtractedUnderTails) {
    win32::LastExtractFolder() = target;
    SelectAll();
    PickerPlayer picker(Window(), target);
    BoxCatcher boxes(true);
    boxes.Answer(IDOK).Answer(IDOK).Answer(IDOK);
    Command(ID_EDIT_EXTRACT);
    EXPECT_EQ(1, picker.Seen());
    ASSERT_EQ(3u, boxes.Boxes().size()) << boxes.Boxes().back().text;
    EXPECT_EQ("A?B.TXT was written as " + target + "\\A_B~1.TXT: an entry written before it has the same host name.",
              boxes.Boxes()[0].text);
    EXPECT_EQ("A_B.TXT was written as " + target + "\\A_B~2.TXT: an entry written before it has the same host name.",
              boxes.Boxes()[1].text);
    EXPECT_EQ("3 of 3 file(s) extracted to\r\n" + target, boxes.Boxes()[2].text);
    for (const char* name : {"A_B.TXT", "A_B~1.TXT", "A_B~2.TXT"}) {
        const std::string path = target + "\\" + name;
        EXPECT_TRUE(Exists(path)) << name;
        DeleteFileA(path.c_str());
    }
}

TEST_F(SeveralSelected, ExtractCancelledInThePickerWritesNothing) {
    win32::LastExtractFolder() = target;
    SelectAll();
    PickerPlayer picker(Window(), "");
    BoxCatcher boxes(true);
    Command(ID_EDIT_EXTRACT);
    EXPECT_EQ(1, picker.Seen());
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_FALSE(Exists(target + "\\ONE.TXT"));
}

TEST_F(SeveralSelected, EverythingExtractedIsSummedUpWithTheInformationIcon) {
    win32::LastExtractFolder() = target;
    Select(0, true);
    Select(2, true);
    PickerPlayer picker(Window(), target);
    BoxCatcher boxes(true);
    boxes.Answer(IDOK);
    Command(ID_EDIT_EXTRACT);
    EXPECT_EQ(1, picker.Seen());
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("2 of 2 file(s) extracted to\r\n" + target, boxes.Boxes()[0].text);
    EXPECT_EQ(unsigned(kIconInformation), boxes.Boxes()[0].icon);
    EXPECT_TRUE(Exists(target + "\\ONE.TXT"));
    EXPECT_TRUE(Exists(target + "\\TWO.TXT"));
}

TEST_F(SeveralSelected, OneSelectedEntryKeepsTheSaveAsDialog) {
    Select(2, true);
    BoxCatcher boxes;  // the Save As dialog is cancelled
    Command(ID_EDIT_EXTRACT);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_TRUE(boxes.Boxes()[0].fileDialog);
}

TEST_F(SeveralSelected, DeleteOffersYesToAllAndOneAnswerDeletesTheRest) {
    Select(0, true);
    Select(2, true);
    BoxCatcher boxes;
    boxes.Answer(kIdYesToAll);
    Command(ID_EDIT_DELETE);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Delete file 'ONE.TXT'?", boxes.Boxes()[0].text);
    EXPECT_EQ(unsigned(kBoxYesAllNoCancel), boxes.Boxes()[0].buttons);
    EXPECT_EQ(unsigned(kIconQuestion), boxes.Boxes()[0].icon);
    EXPECT_EQ(Window(), boxes.Boxes()[0].owner);
    EXPECT_EQ(1, ItemCount());
    EXPECT_EQ("SUB", ItemText(0, 0));
    EXPECT_TRUE(win32::TheDocument().modified);
}

TEST_F(SeveralSelected, DeleteQuestionsAnswersNoAndCancel) {
    const struct {
        const char* name;
        std::vector<int> answers;
        size_t boxes;
        int itemsLeft;
    } kCases[] = {
        {"No then Yes", {IDNO, IDYES}, 2, 2},
        {"Cancel stops", {IDCANCEL}, 1, 3},
        {"Yes then No", {IDYES, IDNO}, 2, 2},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Select(0, true);
        Select(2, true);
        BoxCatcher boxes;
        for (int answer : c.answers) {
            boxes.Answer(answer);
        }
        Command(ID_EDIT_DELETE);
        EXPECT_EQ(c.boxes, boxes.Boxes().size());
        EXPECT_EQ(c.itemsLeft, ItemCount());
        TearDown();
        SetUp();
    }
}

// Three files of the image, each of a name the three host files have.
class AddOntoNames : public SeveralSelected {
protected:
    std::vector<TestEntry> Entries() const override { return {{"ONE     TXT"}, {"TWO     TXT"}, {"SIX     TXT"}}; }
};

// Adding several files over existing names asks Yes, Yes to all, No or
// Cancel; Cancel ends the add with what went in kept and counted.
TEST_F(AddOntoNames, ReplaceOffersYesToAllAndCancelKeepsWhatWasDone) {
    const struct {
        const char* name;
        std::vector<int> answers;
        size_t questions;
        int replaced;
    } kCases[] = {
        {"Yes to all", {kIdYesToAll}, 1, 3},
        {"Cancel after the first", {IDYES, IDCANCEL, IDOK}, 2, 1},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> paths;
        for (const char* name : {"ONE.TXT", "TWO.TXT", "SIX.TXT"}) {
            paths.push_back(target + "\\" + name);
            HANDLE file = CreateFileA(paths.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            WriteFile(file, "replaced", 8, &written, nullptr);
            CloseHandle(file);
        }
        ImageDocument& doc = win32::TheDocument();
        BoxCatcher boxes;
        for (int answer : c.answers) boxes.Answer(answer);
        {
            const ScopedPromptOwner owner(Window());
            AddFiles(
                doc, paths, [&](const Result& one) { win32::ShowResult(Window(), List(), doc, one); },
                win32::CurrentFileOptions());
        }
        ASSERT_EQ(c.answers.size(), boxes.Boxes().size());
        EXPECT_EQ("File 'ONE.TXT' already exists! Replace?", boxes.Boxes()[0].text);
        EXPECT_EQ(unsigned(kBoxYesAllNoCancel), boxes.Boxes()[0].buttons);
        if (c.questions < boxes.Boxes().size()) {
            EXPECT_EQ("Cancelled: 1 of 3 files were added, the rest were left out.", boxes.Boxes().back().text);
        }
        int replaced = 0;
        const uint8_t* root = doc.Area() + doc.GetLayout().rootStart;
        for (int i = 0; i < 3; ++i) {
            replaced += Load32(root + i * kDirEntrySize + kDirSize) == 8 ? 1 : 0;
        }
        EXPECT_EQ(c.replaced, replaced);
        EXPECT_EQ(3, ItemCount()) << "replaced entries keep their items";
        DeleteFileA(paths.back().c_str());
        TearDown();
        SetUp();
    }
}

// A single entry is asked about with the platform's own Yes/No/Cancel box.
TEST_F(SeveralSelected, OneSelectedEntryIsAskedWithoutYesToAll) {
    Select(0, true);
    BoxCatcher boxes;
    boxes.Answer(IDYES);
    Command(ID_EDIT_DELETE);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(unsigned(kBoxYesNoCancel), boxes.Boxes()[0].buttons);
    EXPECT_EQ(2, ItemCount());
}

}  // namespace
}  // namespace vk::test
