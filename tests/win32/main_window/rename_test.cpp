// Renaming in the list's label editor: the typed text accepted as the new
// 8.3 name, or rejected with its message and the old name kept.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "tests/win32/box_catcher.h"
#include "engine/core/document.h"
#include "engine/fat/dir/dir_entry.h"
#include <gtest/gtest.h>
#include "win32/resources/command_ids.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "win32/ui/app_state.h"
#include "tests/win32/main_window/window_fixture.h"

namespace vk::test {
namespace {

class RenameInPlace : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        const std::string path = folder.File("RENAME.DSK");
        WriteImageFile(path, {{"FILE1   TXT"}, {"FILE2   TXT"}, {"DIR        ", 0x10}});
        win32::CommandLine line;
        line.imagePath = path;
        ASSERT_TRUE(StartWindow(line));
    }

    // Types `text` into the editor of `item` and presses Enter.
    void TypeName(int item, const std::string& text) {
        Select(item, true);
        Command(ID_EDIT_RENAME);
        HWND edit = reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETEDITCONTROL, 0, 0));
        ASSERT_NE(nullptr, edit);
        EXPECT_TRUE(win32::App().labelEditActive);
        SetWindowTextA(edit, text.c_str());
        SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_FALSE(win32::App().labelEditActive);
    }

    // The editor that opened again after a refused name: its text, then closed with Escape.
    std::string ReopenedEditorText() {
        DrainMessages();
        HWND edit = reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETEDITCONTROL, 0, 0));
        if (edit == nullptr) {
            return "(no editor)";
        }
        char text[64] = "";
        GetWindowTextA(edit, text, sizeof text);
        SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
        return text;
    }

    std::string EntryName(int item) {
        const ImageDocument& doc = win32::TheDocument();
        const uint8_t* entry = doc.Area() + doc.GetLayout().rootStart + item * kDirEntrySize;
        return std::string(reinterpret_cast<const char*>(entry), kDirFullNameLength);
    }
};

TEST_F(RenameInPlace, AcceptedNamesAreStoredAndShown) {
    const struct {
        const char* typed;
        const char* shown;
        const char* stored;
    } kCases[] = {
        {"notes.txt", "NOTES.TXT", "NOTES   TXT"},
        {"ABCDEFGH.", "ABCDEFGH", "ABCDEFGH   "},
        {"ABC.", "ABC.", "ABC        "},
        {"file1.txt", "FILE1.TXT", "FILE1   TXT"},  // the own name in another case
    };
    for (const auto& c : kCases) {
        BoxCatcher boxes;
        win32::TheDocument().modified = false;
        TypeName(0, c.typed);
        EXPECT_TRUE(boxes.Boxes().empty()) << c.typed;
        EXPECT_EQ(c.shown, ItemText(0, 0)) << c.typed;
        EXPECT_EQ(c.stored, EntryName(0)) << c.typed;
        EXPECT_TRUE(win32::TheDocument().modified) << c.typed;
    }
}

TEST_F(RenameInPlace, RejectedNamesShowTheirMessageKeepTheOldNameAndOpenTheEditorAgain) {
    const struct {
        const char* typed;
        unsigned message;  // 0: the system's text for an existing file
    } kCases[] = {
        // An emptied editor reaches the window as a cancelled edit under
        // Wine, so kMsgNameBlank is the engine tests' to prove.
        {"ABCDEFGHI.TXT", kMsgNameTooLong},
        {".TXT", kMsgNameInvalid},
        {"ABCDEFGHI", kMsgNameInvalid},
        {"A.TEXT", kMsgNameInvalid},
        {"A.B.C", kMsgNameBadChars},
        {"A*B", kMsgNameBadChars},
        {"file2.txt", 0},
    };
    for (const auto& c : kCases) {
        BoxCatcher boxes;
        win32::TheDocument().modified = false;
        TypeName(0, c.typed);
        ASSERT_EQ(1u, boxes.Boxes().size()) << c.typed;
        const CaughtBox& box = boxes.Boxes()[0];
        EXPECT_EQ(unsigned(MB_ICONERROR), box.icon) << c.typed;
        if (c.message != 0) {
            std::string shown = box.text;
            for (size_t at; (at = shown.find("\r\n")) != std::string::npos;) {
                shown.erase(at, 1);
            }
            EXPECT_EQ(std::string(LoadText(c.message)), shown) << c.typed;
        } else {
            EXPECT_EQ(0u, box.text.find("FILE2.TXT")) << box.text;
            EXPECT_GT(box.text.size(), std::strlen("FILE2.TXT") + 2) << box.text;
        }
        EXPECT_EQ(c.typed, ReopenedEditorText()) << "the refused name is offered again";
        EXPECT_EQ("FILE1.TXT", ItemText(0, 0)) << c.typed;
        EXPECT_EQ("FILE1   TXT", EntryName(0)) << c.typed;
        EXPECT_FALSE(win32::TheDocument().modified) << c.typed;
    }
}

TEST_F(RenameInPlace, CancelledEditChangesNothing) {
    BoxCatcher boxes;
    Select(1, true);
    Command(ID_EDIT_RENAME);
    HWND edit = reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(nullptr, edit);
    SetWindowTextA(edit, "OTHER.TXT");
    SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ("FILE2.TXT", ItemText(1, 0));
    EXPECT_FALSE(win32::App().labelEditActive);
    EXPECT_FALSE(win32::TheDocument().modified);
}

TEST_F(RenameInPlace, AnImageTheEngineKeepsReadOnlyOpensNoEditor) {
    win32::TheDocument().changeBlock = ChangeBlock::kFat32;
    Select(0, true);
    Command(ID_EDIT_RENAME);  // grayed
    EXPECT_EQ(nullptr, reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETEDITCONTROL, 0, 0)));
    // A slow second click asks the list itself to edit.
    SendMessageA(List(), LVM_EDITLABELA, 0, 0);
    EXPECT_EQ(nullptr, reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETEDITCONTROL, 0, 0)));
    EXPECT_FALSE(win32::App().labelEditActive);
    EXPECT_EQ("FILE1.TXT", ItemText(0, 0));
    win32::TheDocument().changeBlock = ChangeBlock::kNone;
}

TEST_F(RenameInPlace, RenameStartsOnTheFocusedItemOrTheFirst) {
    Command(ID_EDIT_RENAME);  // grayed without a selection: nothing opens
    EXPECT_EQ(nullptr, reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETEDITCONTROL, 0, 0)));
    Select(2, true);
    Command(ID_EDIT_RENAME);
    HWND edit = reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(nullptr, edit);
    char text[32] = "";
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ("DIR", text);
    SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
}

}  // namespace
}  // namespace vk::test
