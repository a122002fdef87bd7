// Graying and checking of the menus in every document state, on the rules
// and on the real menus; accelerators of grayed items carry out nothing,
// and none act while a name is being edited in place.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/win32/box_catcher.h"
#include "engine/core/document.h"
#include "engine/core/new_image.h"
#include "win32/settings/help.h"
#include "win32/settings/help_control.h"
#include <gtest/gtest.h>
#include "win32/resources/command_ids.h"
#include "win32/ui/app_state.h"
#include "win32/ui/command_line.h"
#include "win32/ui/commands.h"
#include "win32/ui/message_loop.h"
#include "tests/win32/main_window/window_fixture.h"
#include "win32/ui/document_view.h"

namespace vk::test {
namespace {

using win32::MenuContext;

enum State { kNoImage, kUntitled, kReadOnly, kNoSelection, kSelection, kStateCount };
const char* const kStateNames[] = {"no image", "untitled", "read-only", "no selection", "selection"};

struct Rule {
    UINT id;
    bool grayed[kStateCount];
};

// G: grayed, E: enabled, in the order of State.
constexpr bool G = true;
constexpr bool E = false;
const Rule kRules[] = {
    {ID_FILE_SAVE, {G, G, G, E, E}},
    {ID_FILE_SAVE_AS, {G, E, E, E, E}},
    {ID_FILE_WRITE_TO_DISK, {G, E, E, E, E}},
    {ID_FILE_CLOSE, {G, E, E, E, E}},
    {ID_FILE_PROPERTIES, {G, E, E, E, E}},
    {ID_EDIT_ADD_FILE, {G, E, E, E, E}},
    {ID_VIEW_REPORT, {G, E, E, E, E}},
    {ID_VIEW_LIST, {G, E, E, E, E}},
    {ID_VIEW_ICON, {G, E, E, E, E}},
    {ID_VIEW_SMALL_ICON, {G, E, E, E, E}},
    {ID_VIEW_DETAILS, {G, E, E, E, E}},
    {ID_EDIT_PROPERTIES, {G, G, G, G, E}},
    {ID_EDIT_EXTRACT, {G, G, G, G, E}},
    {ID_EDIT_DELETE, {G, G, G, G, E}},
    {ID_EDIT_RENAME, {G, G, G, G, E}},
    {ID_EDIT_NEW_FOLDER, {G, E, E, E, E}},
    {ID_EDIT_SELECT_ALL, {G, E, E, E, E}},
    {ID_EDIT_DELETE_FOLDER, {G, G, G, G, G}},  // the selection is a file
    {ID_VIEW_PARENT_FOLDER, {G, G, G, G, G}},  // the list shows the root
    {ID_FILE_OPEN_PARTITION, {G, G, G, G, G}}, // a floppy image has no partitions
    {ID_FILE_NEW, {E, E, E, E, E}},
    {ID_FILE_OPEN, {E, E, E, E, E}},
    {ID_FILE_EXIT, {E, E, E, E, E}},
    {ID_VIEW_ORIGINAL_ORDER, {E, E, E, E, E}},
    {ID_EXTRAS_VIEW, {G, G, G, G, E}},         // the selection is one file
    {ID_EXTRAS_CHECK_DISK, {G, E, E, E, E}},
    {ID_EXTRAS_UNDELETE, {G, E, E, E, E}},
    {ID_EXTRAS_OPTIONS, {E, E, E, E, E}},
    {ID_HELP_INDEX, {E, E, E, E, E}},
    {ID_HELP_ABOUT, {E, E, E, E, E}},
};

MenuContext ContextOf(State state) {
    MenuContext c;
    c.open = state != kNoImage;
    c.hasFile = state >= kReadOnly;
    c.readOnly = state == kReadOnly;
    c.selected = state == kSelection;
    c.oneFileSelected = state == kSelection;  // the window's selection is one file
    return c;
}

TEST(MenuRules, EveryItemInEveryState) {
    for (const Rule& rule : kRules) {
        for (int s = 0; s < kStateCount; ++s) {
            EXPECT_EQ(rule.grayed[s], win32::IsCommandGrayed(rule.id, ContextOf(State(s))))
                << rule.id << " " << kStateNames[s];
        }
    }
}

TEST(MenuRules, ReadOnlySelectionStillAllowsTheSelectionCommands) {
    MenuContext c = ContextOf(kReadOnly);
    c.selected = true;
    EXPECT_FALSE(win32::IsCommandGrayed(ID_EDIT_DELETE, c));
    EXPECT_TRUE(win32::IsCommandGrayed(ID_FILE_SAVE, c));
}

TEST(MenuRules, AnImageTheEngineKeepsReadOnlyGraysWhatWouldChangeIt) {
    MenuContext c = ContextOf(kSelection);
    c.changesRefused = true;
    c.foldersSelected = true;
    for (UINT id : {ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_EDIT_ADD_FILE, ID_EDIT_DELETE, ID_EDIT_RENAME, ID_EDIT_NEW_FOLDER,
                    ID_EDIT_DELETE_FOLDER, ID_EXTRAS_UNDELETE}) {
        EXPECT_TRUE(win32::IsCommandGrayed(id, c)) << id;
    }
    for (UINT id : {ID_EDIT_EXTRACT, ID_EDIT_PROPERTIES, ID_FILE_PROPERTIES, ID_FILE_WRITE_TO_DISK, ID_FILE_CLOSE,
                    ID_VIEW_DETAILS, ID_EXTRAS_CHECK_DISK}) {
        EXPECT_FALSE(win32::IsCommandGrayed(id, c)) << id;
    }
    c.extractRefused = true;
    EXPECT_TRUE(win32::IsCommandGrayed(ID_EDIT_EXTRACT, c));
}

TEST(MenuRules, ATrackImageMaySaveAsAPlainImageOnly) {
    MenuContext c = ContextOf(kSelection);
    c.changesRefused = true;
    c.trackImage = true;
    EXPECT_FALSE(win32::IsCommandGrayed(ID_FILE_SAVE_AS, c));
    for (UINT id : {ID_FILE_SAVE, ID_EDIT_ADD_FILE, ID_EDIT_DELETE, ID_EDIT_RENAME}) {
        EXPECT_TRUE(win32::IsCommandGrayed(id, c)) << id;
    }
}

TEST(MenuRules, OpenPartitionNeedsAPartitionOpen) {
    MenuContext c = ContextOf(kNoSelection);
    c.partitioned = true;
    EXPECT_FALSE(win32::IsCommandGrayed(ID_FILE_OPEN_PARTITION, c));
    c.readOnly = true;
    c.changesRefused = true;
    EXPECT_FALSE(win32::IsCommandGrayed(ID_FILE_OPEN_PARTITION, c)) << "a read-only FAT16 partition switches too";
}

TEST(MenuRules, FolderCommandsFollowTheFolderAndTheSelection) {
    MenuContext c = ContextOf(kSelection);
    c.atRoot = false;
    EXPECT_FALSE(win32::IsCommandGrayed(ID_VIEW_PARENT_FOLDER, c));
    EXPECT_TRUE(win32::IsCommandGrayed(ID_EDIT_DELETE_FOLDER, c));
    c.foldersSelected = true;
    EXPECT_FALSE(win32::IsCommandGrayed(ID_EDIT_DELETE_FOLDER, c));
    c.open = false;
    EXPECT_TRUE(win32::IsCommandGrayed(ID_VIEW_PARENT_FOLDER, c));
    EXPECT_TRUE(win32::IsCommandGrayed(ID_EDIT_DELETE_FOLDER, c));
}

class CommandsInState : public MainWindowTest {
protected:
    // Brings the real window into `state`.
    void Enter(State state) {
        const std::string path = folder.File("STATE.DSK");
        WriteImageFile(path, {{"ONE     TXT"}, {"TWO     TXT"}});
        ASSERT_TRUE(StartWindow({}));
        ImageDocument& doc = win32::TheDocument();
        switch (state) {
        case kNoImage:
            break;
        case kUntitled:
            ASSERT_TRUE(win32::Shown(Window(), CreateEmptyImage(doc, 0xF9, 0)));
            break;
        case kReadOnly:
            ASSERT_TRUE(win32::OpenDocument(doc, Window(), path, true));
            break;
        case kNoSelection:
        case kSelection:
            ASSERT_TRUE(win32::OpenDocument(doc, Window(), path));
            if (state == kSelection) {
                Select(1, true);
            }
            break;
        default:
            break;
        }
    }

    // Opens every menu of the bar as the user would and reads the item's state.
    bool MenuBarGrays(UINT id) {
        HMENU bar = GetMenu(Window());
        for (int i = 0; i < GetMenuItemCount(bar); ++i) {
            SendMessageA(Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(bar, i)), i);
        }
        const UINT state = GetMenuState(bar, id, MF_BYCOMMAND);
        EXPECT_NE(static_cast<UINT>(-1), state) << id;
        return (state & MF_GRAYED) != 0;
    }

    void SetUp() override {
        MainWindowTest::SetUp();
        UseProgramAccelerators();
    }
};

TEST_F(CommandsInState, MenuBarFollowsTheRulesInEveryState) {
    for (int s = 0; s < kStateCount; ++s) {
        SCOPED_TRACE(kStateNames[s]);
        Enter(State(s));
        for (const Rule& rule : kRules) {
            EXPECT_EQ(rule.grayed[s], MenuBarGrays(rule.id)) << rule.id;
        }
        TearDown();
        SetUp();
    }
}

TEST_F(CommandsInState, ContextMenuFollowsTheRules) {
    for (State s : {kNoImage, kNoSelection, kSelection}) {
        SCOPED_TRACE(kStateNames[s]);
        Enter(s);
        HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
        ASSERT_NE(nullptr, menu);
        HMENU popup = GetSubMenu(menu, 0);
        SendMessageA(Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
        EXPECT_EQ(11, GetMenuItemCount(popup));
        for (const Rule& rule : kRules) {
            const UINT state = GetMenuState(popup, rule.id, MF_BYCOMMAND);
            if (state != static_cast<UINT>(-1)) {
                EXPECT_EQ(rule.grayed[s], (state & MF_GRAYED) != 0) << rule.id;
            }
        }
        DestroyMenu(menu);
        TearDown();
        SetUp();
    }
}

struct Accelerator {
    UINT id;
    BYTE key;
    bool control, alt, shift;
};
const Accelerator kAccelerators[] = {
    {ID_EDIT_ADD_FILE, 'A', false, true, false},     {ID_EDIT_DELETE, VK_DELETE, false, false, false},
    {ID_EDIT_EXTRACT, 'E', false, true, false},      {ID_EDIT_PROPERTIES, VK_RETURN, false, true, false},
    {ID_FILE_NEW, 'N', true, false, false},          {ID_FILE_OPEN, 'O', true, false, false},
    {ID_FILE_SAVE, 'S', true, false, false},         {ID_FILE_WRITE_TO_DISK, 'W', true, false, false},
    {ID_HELP_INDEX, VK_F1, false, false, false},     {ID_EDIT_RENAME, VK_F2, false, false, false},
    {ID_EXTRAS_VIEW, VK_RETURN, false, false, true}, {ID_EDIT_SELECT_ALL, 'A', true, false, false},
};

TEST_F(CommandsInState, GrayedAcceleratorsSendNoCommand) {
    for (State s : {kNoImage, kUntitled, kReadOnly}) {
        SCOPED_TRACE(kStateNames[s]);
        Enter(s);
        RecordCommands();
        BoxCatcher boxes;  // whatever an enabled command opens is cancelled
        for (const Accelerator& a : kAccelerators) {
            const bool grayed = std::find_if(std::begin(kRules), std::end(kRules), [&](const Rule& r) {
                                    return r.id == a.id;
                                })->grayed[s];
            if (grayed) {
                PressKey(a.key, a.control, a.alt, a.shift);
            }
        }
        EXPECT_TRUE(Commands().empty()) << Commands().front();
        TearDown();
        SetUp();
    }
}

TEST_F(CommandsInState, EnabledAcceleratorsArrive) {
    Enter(kSelection);
    RecordCommands();
    BoxCatcher boxes;  // the file properties sheet Alt+Enter opens is closed
    PressKey('S', true, false, false);
    PressKey(VK_RETURN, false, true, false);
    PressKey('A', true, false, false);
    EXPECT_EQ((std::vector<UINT>{ID_FILE_SAVE, ID_EDIT_PROPERTIES, ID_EDIT_SELECT_ALL}), Commands());
    EXPECT_EQ(ItemCount(), static_cast<int>(SendMessageA(List(), LVM_GETSELECTEDCOUNT, 0, 0)))
        << "Ctrl+A selects every entry";
}

TEST_F(CommandsInState, PropertiesOptionsAndDetailsOpenTheirSheetsAndDialog) {
    Enter(kSelection);
    BoxCatcher boxes;  // each sheet and the dialog is closed as soon as it shows
    for (UINT id : {ID_FILE_PROPERTIES, ID_EDIT_PROPERTIES, ID_EXTRAS_OPTIONS, ID_VIEW_DETAILS}) {
        Command(id);
    }
    ASSERT_EQ(4u, boxes.Boxes().size());
    EXPECT_EQ("Disk-image properties", boxes.Boxes()[0].caption);
    EXPECT_NE(std::string::npos, boxes.Boxes()[1].caption.find(ItemText(1, 0))) << boxes.Boxes()[1].caption;
    EXPECT_EQ("Options", boxes.Boxes()[2].caption);
    EXPECT_EQ("Details", boxes.Boxes()[3].caption);
    for (const auto& box : boxes.Boxes()) {
        EXPECT_EQ(Window(), box.owner) << box.caption;
    }
}

TEST_F(CommandsInState, WhileEditingANameKeysGoToTheEditor) {
    Enter(kSelection);
    RecordCommands();
    Command(ID_EDIT_RENAME);
    HWND edit = reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(nullptr, edit);
    EXPECT_TRUE(win32::App().labelEditActive);
    SetWindowTextA(edit, "AB");
    SendMessageA(edit, EM_SETSEL, 0, 1);
    PressKey(VK_DELETE, false, false, false, edit);
    PressKey('S', true, false, false, edit);
    PressKey('A', false, true, false, edit);
    EXPECT_EQ(std::vector<UINT>{ID_EDIT_RENAME}, Commands());
    EXPECT_EQ(2, ItemCount());
    char text[16] = "";
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ("B", text);  // Delete took the selected letter
    SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(win32::App().labelEditActive);
}

BOOL CALLBACK CollectOwned(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<std::vector<HWND>*>(param);
    if (GetWindow(window, GW_OWNER) == found->front() && IsWindowVisible(window)) {
        found->push_back(window);
        EnumChildWindows(window, [](HWND child, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        }, param);
    }
    return TRUE;
}

// The help window, its panes and a window the program owns have keys of
// their own: Delete there must not delete an entry, even with /F.
TEST_F(CommandsInState, KeysTypedInOtherWindowsRunNoCommand) {
    Enter(kSelection);
    win32::TheCommandLine().forceSwitch = true;
    HWND owned = CreateWindowExA(0, "EDIT", "", WS_POPUP | WS_VISIBLE, 0, 0, 80, 20, Window(), nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    std::vector<HWND> targets = {Window()};  // the owner; removed below
    win32::InitHelp();
    BoxCatcher boxes;  // a missing help control says so; the owned window is still tried
    const bool help = win32::ShowHelp(Window(), nullptr);
    EnumThreadWindows(GetCurrentThreadId(), CollectOwned, reinterpret_cast<LPARAM>(&targets));
    targets.erase(targets.begin());
    EXPECT_GE(targets.size(), help ? 3u : 1u);
    RecordCommands();
    for (HWND target : targets) {
        for (const Accelerator& a : kAccelerators) {
            PressKey(a.key, a.control, a.alt, a.shift, target);
        }
    }
    DestroyWindow(owned);
    if (help) {
        constexpr UINT kHelpCloseAll = 0x0012;
        win32::LoadHtmlHelp(nullptr, nullptr, kHelpCloseAll, 0);
    }
    win32::UninitHelp();
    win32::TheCommandLine().forceSwitch = false;
    EXPECT_TRUE(Commands().empty()) << Commands().front();
    EXPECT_EQ(2, ItemCount());
    EXPECT_FALSE(win32::TheDocument().modified);
    PressKey(VK_DELETE, false, false, false);
    EXPECT_EQ(std::vector<UINT>{ID_EDIT_DELETE}, Commands()) << "the list's own keys still work";
}

TEST_F(CommandsInState, F2RenamesTheFocusedEntryAndTheMenusSaySo) {
    Enter(kSelection);
    PressKey(VK_F2, false, false, false);
    HWND edit = reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(nullptr, edit);
    EXPECT_TRUE(win32::App().labelEditActive);
    char text[16] = "";
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ("TWO.TXT", text);
    SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);

    char item[32] = "";
    GetMenuStringA(GetMenu(Window()), ID_EDIT_RENAME, item, sizeof item, MF_BYCOMMAND);
    EXPECT_STREQ("&Rename\tF2", item);
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
    GetMenuStringA(menu, ID_EDIT_RENAME, item, sizeof item, MF_BYCOMMAND);
    EXPECT_STREQ("&Rename\tF2", item);
    DestroyMenu(menu);
}

TEST_F(CommandsInState, ExitAnsweredCancelKeepsTheImage) {
    Enter(kNoSelection);
    win32::TheDocument().modified = true;
    BoxCatcher boxes;
    boxes.Answer(IDCANCEL);
    Command(ID_FILE_EXIT);
    DrainMessages();
    EXPECT_TRUE(IsWindow(Window()));
    EXPECT_TRUE(win32::TheDocument().IsOpen());
    EXPECT_TRUE(win32::TheDocument().modified);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(unsigned(MB_YESNOCANCEL), boxes.Boxes()[0].buttons);
}

TEST_F(CommandsInState, OriginalOrderStaysCheckedAndChangesNothing) {
    Enter(kNoSelection);
    Command(ID_VIEW_ORIGINAL_ORDER);
    EXPECT_EQ("ONE.TXT", ItemText(0, 0));
    EXPECT_TRUE(GetMenuState(GetMenu(Window()), ID_VIEW_ORIGINAL_ORDER, MF_BYCOMMAND) & MF_CHECKED);
    MenuBarGrays(ID_VIEW_ORIGINAL_ORDER);
    EXPECT_TRUE(GetMenuState(GetMenu(Window()), ID_VIEW_ORIGINAL_ORDER, MF_BYCOMMAND) & MF_CHECKED);
}

}  // namespace
}  // namespace vk::test
