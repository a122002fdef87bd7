// The main window on a real image: title, list rows and column texts, the
// status bar, view modes and column widths, and the Alt + double click.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/win32/box_catcher.h"
#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/dir/list_texts.h"
#include <gtest/gtest.h>
#include "win32/resources/command_ids.h"
#include "engine/drive/read_disk.h"
#include "engine/drive/sector_device.h"
#include "win32/settings/settings.h"
#include "win32/sheets/details_dialog.h"
#include "win32/ui/command_line.h"
#include "win32/ui/explorer_list.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "win32/ui/app_state.h"
#include "tests/win32/main_window/window_fixture.h"
#include "win32/ui/document_view.h"
#include "tests/support/box_flags.h"

namespace vk::test {
namespace {

// 2024-03-15 13:45:30 and 1999-12-31 23:59:58 as DOS stamps.
constexpr uint16_t kDate2024 = PackDosDate(2024, 3, 15);
constexpr uint16_t kTime1345 = PackDosTime(13, 45, 30);
constexpr uint16_t kDate1999 = PackDosDate(1999, 12, 31);
constexpr uint16_t kTime2359 = PackDosTime(23, 59, 58);

const std::vector<TestEntry> kEntries = {
    {"README  TXT", 0x21, kDate2024, kTime1345, 1234567},  // read-only archive
    {"GAMES      ", 0x10, kDate1999, kTime2359, 0},        // directory
    {"DELETED BIN", 0x20, kDate2024, kTime1345, 5},        // deleted below: not listed
    {"AUTOEXECBAT", 0x00, 0, 0, 0},                        // never stamped
};

class MainWindowOnImage : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        std::vector<TestEntry> entries = kEntries;
        entries[2].name11 = "\xE5" "ELETED BIN";
        path = folder.File("GAMEDISK.DSK");
        WriteImageFile(path, entries);
        win32::CommandLine line;
        line.imagePath = path;
        ASSERT_TRUE(StartWindow(line));
    }
    std::string path;
};

// What the main window showed as each box came up: its list's item count
// and its title.
struct Glimpse {
    int items = 0;
    std::string title;
};

class BoxGlimpses {
public:
    BoxGlimpses(HWND window, HWND list) : window_(window), list_(list) {
        self_ = this;
        hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~BoxGlimpses() {
        UnhookWindowsHookEx(hook_);
        self_ = nullptr;
    }
    const std::vector<Glimpse>& Seen() const { return seen_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const HWND box = reinterpret_cast<HWND>(wParam);
        char kind[16] = "";
        if (code == HCBT_ACTIVATE && self_ != nullptr && GetClassNameA(box, kind, sizeof kind) &&
            std::strcmp(kind, "#32770") == 0 && std::find(self_->boxes_.begin(), self_->boxes_.end(), box) == self_->boxes_.end()) {
            self_->boxes_.push_back(box);
            char title[300] = "";
            GetWindowTextA(self_->window_, title, sizeof title);
            self_->seen_.push_back({static_cast<int>(SendMessageA(self_->list_, LVM_GETITEMCOUNT, 0, 0)), title});
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline BoxGlimpses* self_ = nullptr;
    HWND window_;
    HWND list_;
    HHOOK hook_ = nullptr;
    std::vector<HWND> boxes_;
    std::vector<Glimpse> seen_;
};

std::string Format(unsigned id, unsigned long n) {
    char text[128];
    wsprintfA(text, std::string(LoadText(id)).c_str(), n);
    return text;
}

TEST_F(MainWindowOnImage, TitleNamesTheImageAndTheListIsEnabled) {
    EXPECT_EQ("GAMEDISK.DSK - Volkarn", Title());
    EXPECT_TRUE(IsWindowEnabled(List()));
    EXPECT_EQ(GetFocus(), List());
}

TEST_F(MainWindowOnImage, RowsAndColumnTextsAreTheListTexts) {
    ASSERT_EQ(3, ItemCount());
    const char* names[] = {"README  TXT", "GAMES      ", "AUTOEXECBAT"};
    for (int i = 0; i < 3; ++i) {
        uint8_t entry[32] = {};
        std::memcpy(entry, names[i], 11);
        for (const TestEntry& e : kEntries) {
            if (std::memcmp(e.name11, names[i], 11) == 0) {
                entry[11] = e.attr;
                Store16(entry + 22, e.time);
                Store16(entry + 24, e.date);
                Store32(entry + 28, e.size);
            }
        }
        const ListColumns expected = EntryColumns(entry);
        EXPECT_EQ(expected.name, ItemText(i, 0)) << i;
        EXPECT_EQ(expected.size, ItemText(i, 1)) << i;
        EXPECT_EQ(expected.lastChange, ItemText(i, 2)) << i;
        EXPECT_EQ(expected.attributes, ItemText(i, 3)) << i;
    }
    EXPECT_EQ("README.TXT", ItemText(0, 0));
    EXPECT_EQ("R A  ", ItemText(0, 3));
    EXPECT_EQ("GAMES", ItemText(1, 0));
    EXPECT_EQ("", ItemText(1, 1));
    EXPECT_EQ("    D", ItemText(1, 3));
    EXPECT_EQ("AUTOEXEC.BAT", ItemText(2, 0));
    EXPECT_EQ("", ItemText(2, 2));
    EXPECT_NE(std::string::npos, ItemText(0, 1).find("234")) << ItemText(0, 1);
}

TEST_F(MainWindowOnImage, StatusCountsObjectsOrTheSelection) {
    EXPECT_EQ(Format(kStrObjectCount, 3), StatusText());
    Select(0, true);
    Select(2, true);
    EXPECT_EQ(Format(kStrSelectedCount, 2), StatusText());
    Select(0, false);
    Select(2, false);
    EXPECT_EQ(Format(kStrObjectCount, 3), StatusText());
    EXPECT_EQ("3 Object(s)", StatusText());
}

TEST_F(MainWindowOnImage, ClosingTheImageEmptiesListAndTitle) {
    Command(ID_FILE_CLOSE);
    EXPECT_FALSE(win32::TheDocument().IsOpen());
    EXPECT_EQ("Volkarn", Title());
    EXPECT_EQ(0, ItemCount());
    EXPECT_FALSE(IsWindowEnabled(List()));
    EXPECT_EQ("", StatusText()) << "without an image the bar is empty, as at start-up";
}

TEST_F(MainWindowOnImage, EveryViewModeIsSetCheckedAndStored) {
    const struct {
        UINT command;
        DWORD view;
    } kViews[] = {{ID_VIEW_ICON, LVS_ICON},
                  {ID_VIEW_SMALL_ICON, LVS_SMALLICON},
                  {ID_VIEW_LIST, LVS_LIST},
                  {ID_VIEW_REPORT, LVS_REPORT}};
    HMENU viewMenu = GetSubMenu(GetMenu(Window()), 2);
    for (const auto& v : kViews) {
        Command(v.command);
        EXPECT_EQ(v.view, ViewBits()) << v.command;
        EXPECT_EQ(v.view, win32::TheSettings().viewType) << v.command;
        SendMessageA(Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(viewMenu), 2);
        for (const auto& other : kViews) {
            const bool checked = (GetMenuState(viewMenu, other.command, MF_BYCOMMAND) & MF_CHECKED) != 0;
            EXPECT_EQ(other.command == v.command, checked) << v.command << " / " << other.command;
        }
        EXPECT_TRUE(GetWindowLongA(List(), GWL_STYLE) & LVS_EDITLABELS);
        EXPECT_EQ(3, ItemCount());
    }
}

TEST_F(MainWindowOnImage, ColumnWidthsSurviveEveryOtherView) {
    const int widths[] = {150, 61, 133, 47};
    for (int i = 0; i < 4; ++i) {
        SendMessageA(List(), LVM_SETCOLUMNWIDTH, i, MAKELPARAM(widths[i], 0));
    }
    for (UINT view : {ID_VIEW_ICON, ID_VIEW_REPORT, ID_VIEW_LIST, ID_VIEW_SMALL_ICON, ID_VIEW_LIST,
                      ID_VIEW_REPORT}) {
        Command(view);
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(widths[i], SendMessageA(List(), LVM_GETCOLUMNWIDTH, i, 0)) << i;
        EXPECT_EQ(widths[i], win32::TheSettings().columnWidths[i]) << i;
    }
}

// Widths typed in the Details dialog while the list shows no columns wait
// in the settings for report view, and reach the next start.
TEST_F(MainWindowOnImage, DetailsWidthsGivenOutsideReportViewReachTheColumnsAndTheNextStart) {
    const int widths[win32::kColumnCount] = {140, 71, 166, 59};
    int round = 0;
    for (UINT view : {ID_VIEW_LIST, ID_VIEW_ICON, ID_VIEW_SMALL_ICON}) {
        SCOPED_TRACE(view);
        Command(ID_VIEW_REPORT);
        Command(view);
        win32::DetailsWork work;
        std::copy(widths, widths + win32::kColumnCount, work.widths);
        work.widths[0] += ++round;  // each view its own widths
        win32::AcceptDetails(work);
        Command(ID_VIEW_REPORT);
        for (int i = 0; i < win32::kColumnCount; ++i) {
            EXPECT_EQ(work.widths[i], SendMessageA(List(), LVM_GETCOLUMNWIDTH, i, 0)) << i;
            EXPECT_EQ(work.widths[i], win32::TheSettings().columnWidths[i]) << i;
        }
    }
    Command(ID_VIEW_LIST);
    win32::DetailsWork last;
    std::copy(widths, widths + win32::kColumnCount, last.widths);
    win32::AcceptDetails(last);
    SendMessageA(Window(), WM_CLOSE, 0, 0);
    ASSERT_FALSE(IsWindow(Window()));
    DrainMessages();

    win32::TheSettings() = win32::Settings{};
    win32::SetDefaultColumnWidths(win32::TheSettings());
    win32::LoadSettings(win32::TheSettings());
    win32::CommandLine line;
    line.imagePath = path;
    ASSERT_TRUE(StartWindow(line));
    EXPECT_EQ(DWORD(LVS_LIST), ViewBits());
    Command(ID_VIEW_REPORT);
    for (int i = 0; i < win32::kColumnCount; ++i) {
        EXPECT_EQ(widths[i], SendMessageA(List(), LVM_GETCOLUMNWIDTH, i, 0)) << i;
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quanbel\\Volkarn");
}

// A view change moves every item: what the old view drew must all go, the
// header included, or clicks land on other files than the user sees.
TEST_F(MainWindowOnImage, ViewChangeRedrawsTheWholeList) {
    Select(1, true);
    for (UINT view : {ID_VIEW_LIST, ID_VIEW_ICON, ID_VIEW_SMALL_ICON, ID_VIEW_REPORT, ID_VIEW_LIST}) {
        SCOPED_TRACE(view);
        UpdateWindow(Window());
        RECT update = {};
        ASSERT_FALSE(GetUpdateRect(List(), &update, FALSE)) << "painted before the change";
        Command(view);
        RECT client = {};
        GetClientRect(List(), &client);
        ASSERT_TRUE(GetUpdateRect(List(), &update, FALSE));
        EXPECT_TRUE(EqualRect(&client, &update))
            << update.left << "," << update.top << "-" << update.right << "," << update.bottom;
    }
}

TEST_F(MainWindowOnImage, AltDoubleClickAsksForPropertiesPlainDoesNot) {
    RecordCommands();
    BoxCatcher boxes;  // the file properties sheet the command opens is closed
    RECT item = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(List(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM(item.left + 5, (item.top + item.bottom) / 2);
    BYTE keys[256];
    GetKeyboardState(keys);

    SendMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(List(), WM_LBUTTONUP, 0, at);
    SendMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(List(), WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(Commands().empty());

    keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(List(), WM_LBUTTONUP, 0, at);
    keys[VK_MENU] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(std::vector<UINT>{ID_EDIT_PROPERTIES}, Commands());
}

TEST_F(MainWindowTest, WithoutAnImageTheTitleIsTheProgramAndTheListDisabled) {
    ASSERT_TRUE(StartWindow({}));
    EXPECT_EQ("Volkarn", Title());
    EXPECT_FALSE(IsWindowEnabled(List()));
    EXPECT_EQ(0, ItemCount());
    EXPECT_EQ(LVS_REPORT, ViewBits());
    char caption[64] = "";
    GetWindowTextA(List(), caption, sizeof caption);
    EXPECT_STREQ("Volkarn", caption);
}

// What the opening said comes first, then the list and title show the image,
// and only then the backup-FAT question, which may change what they show.
TEST_F(MainWindowTest, OpeningShowsTheCommentThenListsTheImageThenAsksAboutTheBackupFat) {
    const std::string path = folder.File("NOTED.DSK");
    WriteImageFile(path, {kEntries[0]});
    std::ifstream in(path, std::ios::binary);
    std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    image[512 + 3 * 512 + 5] ^= 0x5A;  // a byte of the second FAT of a 720 KB image
    std::string header(40, '\0');
    header[0] = '\xAA';
    header[1] = 'Y';
    header += "Notes";
    header.push_back('\0');
    std::ofstream(path, std::ios::binary | std::ios::trunc) << header << image;
    ASSERT_TRUE(StartWindow({}));

    BoxCatcher boxes;
    boxes.Answer(IDOK).Answer(IDYES);
    BoxGlimpses glimpses(Window(), List());
    ASSERT_TRUE(win32::OpenDocument(win32::TheDocument(), Window(), path));
    ASSERT_EQ(2u, boxes.Boxes().size());
    EXPECT_EQ("Notes", boxes.Boxes()[0].text);
    EXPECT_EQ(kIconInformation, boxes.Boxes()[0].icon);
    EXPECT_EQ(kBoxYesNo, boxes.Boxes()[1].buttons);
    EXPECT_EQ(kIconQuestion, boxes.Boxes()[1].icon);
    ASSERT_EQ(2u, glimpses.Seen().size());
    EXPECT_EQ(0, glimpses.Seen()[0].items) << "the comment comes before the list is filled";
    EXPECT_EQ("Volkarn", glimpses.Seen()[0].title);
    EXPECT_EQ(1, glimpses.Seen()[1].items) << "the question comes with the image listed";
    EXPECT_EQ("NOTED.DSK - Volkarn", glimpses.Seen()[1].title);
    EXPECT_TRUE(win32::TheDocument().modified) << "Yes repaired the backup FAT";
}

TEST_F(MainWindowTest, StatusCountsAnEmptyRootAndIsEmptyWithoutAnImage) {
    const std::string empty = folder.File("EMPTY.DSK");
    WriteImageFile(empty, {});
    ASSERT_TRUE(StartWindow({}));
    EXPECT_EQ("", StatusText()) << "start-up without an image";

    NewImageRequest request;
    request.chooseFormat = true;
    request.selectFormat = [](void*) -> int32_t { return 0xF9; };
    SectorDevice device;
    ASSERT_TRUE(win32::ShowNewDocument(win32::TheDocument(), Window(),
                                       ReadDiskToImage(win32::TheDocument(), request, device)));
    EXPECT_EQ("0 Object(s)", StatusText()) << "after New";
    Command(ID_FILE_CLOSE);
    EXPECT_EQ("", StatusText()) << "after Close";
    TearDown();
    SetUp();

    win32::CommandLine line;
    line.imagePath = empty;
    ASSERT_TRUE(StartWindow(line));
    EXPECT_EQ("0 Object(s)", StatusText()) << "an empty image opened at start-up";
}

// The widest dates and times of the user's locale fit the default column
// whole: a cut date reads as another one.
TEST_F(MainWindowTest, DefaultLastChangeColumnShowsEveryDateWhole) {
    std::vector<TestEntry> entries;
    const char* names[] = {"A       TXT", "B       TXT", "C       TXT", "D       TXT", "E       TXT", "F       TXT"};
    const uint16_t dates[] = {PackDosDate(2088, 12, 28), PackDosDate(2000, 11, 30), PackDosDate(1999, 10, 27)};
    const uint16_t times[] = {PackDosTime(23, 58, 58), PackDosTime(10, 48, 58)};
    int n = 0;
    for (uint16_t date : dates) {
        for (uint16_t time : times) {
            entries.push_back({names[n++ % 6], 0x20, date, time, 1});
        }
    }
    const std::string path = folder.File("DATES.DSK");
    WriteImageFile(path, entries);
    win32::CommandLine line;
    line.imagePath = path;
    ASSERT_TRUE(StartWindow(line));
    const int column = static_cast<int>(SendMessageA(List(), LVM_GETCOLUMNWIDTH, 2, 0));
    ASSERT_EQ(6, ItemCount());
    for (int i = 0; i < ItemCount(); ++i) {
        const std::string text = ItemText(i, 2);
        const int width = static_cast<int>(SendMessageA(List(), LVM_GETSTRINGWIDTHA, 0,
                                                        reinterpret_cast<LPARAM>(text.c_str())));
        // The list keeps about six pixels free on either side of a text.
        EXPECT_LE(width + 12, column) << text;
    }
}

TEST_F(MainWindowTest, StoredViewAndWidthsAreUsedAtStart) {
    win32::TheSettings().viewType = LVS_SMALLICON;
    ASSERT_TRUE(StartWindow({}));
    EXPECT_EQ(LVS_SMALLICON, ViewBits());
    HMENU viewMenu = GetSubMenu(GetMenu(Window()), 2);
    SendMessageA(Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(viewMenu), 2);
    EXPECT_TRUE(GetMenuState(viewMenu, ID_VIEW_SMALL_ICON, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(viewMenu, ID_VIEW_REPORT, MF_BYCOMMAND) & MF_CHECKED);
}

// The first start shows the four columns whole, with room for a vertical
// scroll bar beside them.
TEST_F(MainWindowTest, WindowShowsItsColumnsWhole) {
    ASSERT_TRUE(StartWindow({}));
    RECT client;
    GetClientRect(List(), &client);
    int columns = 0;
    for (int w : win32::TheSettings().columnWidths) {
        columns += w;
    }
    EXPECT_GE(client.right - client.left, columns + GetSystemMetrics(SM_CXVSCROLL));
}

// Closing stores where the window stood; the next start puts it there.
TEST_F(MainWindowTest, WindowReopensWhereItClosed) {
    ASSERT_TRUE(StartWindow({}));
    MoveWindow(Window(), 40, 50, 700, 480, TRUE);
    SendMessageA(Window(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(Window())) << "closed";
    DrainMessages();

    win32::TheSettings() = win32::Settings{};
    win32::SetDefaultColumnWidths(win32::TheSettings());
    win32::LoadSettings(win32::TheSettings());
    ASSERT_TRUE(StartWindow({}));
    RECT frame;
    GetWindowRect(Window(), &frame);
    EXPECT_EQ(40, frame.left);
    EXPECT_EQ(50, frame.top);
    EXPECT_EQ(700, frame.right - frame.left);
    EXPECT_EQ(480, frame.bottom - frame.top);

    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quanbel\\Volkarn\\Settings", 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        for (const char* name : {"WindowLeft", "WindowTop", "WindowWidth", "WindowHeight", "WindowMaximized"}) {
            RegDeleteValueA(key, name);
        }
        RegCloseKey(key);
    }
}

}  // namespace
}  // namespace vk::test
