// Where the sheets and dialogs appear and what the file properties command
// leaves for the main list: every one is centred over its owner, and the
// list is repainted only after an attribute changed.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "win32/resources/sheets_ids.h"
#include "tests/win32/sheets/sheet_fixture.h"
#include "win32/sheets/details_dialog.h"
#include "win32/sheets/file_properties_page.h"
#include "win32/sheets/image_properties.h"
#include "win32/sheets/options_sheet.h"
#include "win32/sheets/sheets.h"
#include "win32/ui/app_state.h"
#include "win32/ui/main_window.h"
#include "win32/ui/document_view.h"

namespace vk::win32 {
namespace {

using test::ModelessSheet;

class PlacementTest : public test::SheetTest {
protected:
    void SetUp() override {
        SheetTest::SetUp();
        parent = CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPED | WS_VISIBLE, 200, 150, 600, 400, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override {
        DestroyWindow(parent);
        SheetTest::TearDown();
    }
    void ExpectCentred(HWND window, const char* name) const {
        RECT own;
        ASSERT_TRUE(GetWindowRect(window, &own)) << name;
        const LONG width = own.right - own.left;
        const LONG height = own.bottom - own.top;
        EXPECT_EQ(own.left, 200 + (600 - width) / 2) << name;
        EXPECT_EQ(own.top, 150 + (400 - height) / 2) << name;
    }
    HWND parent = nullptr;
};

TEST_F(PlacementTest, SheetsAndDialogsAreCentredOverTheirOwner) {
    OpenFreshImage();
    {
        ModelessSheet sheet(OpenImagePropertiesSheet(parent, doc, true, PSH_MODELESS));
        ExpectCentred(sheet.Handle(), "image properties");
    }
    {
        ModelessSheet sheet(OpenOptionsSheet(parent, PSH_MODELESS));
        ExpectCentred(sheet.Handle(), "options");
    }
    {
        FilePropertiesRequest request;
        request.doc = &doc;
        request.entryOffset = PutEntry(0, test::EntrySpec{"FILE    TXT"});
        ModelessSheet sheet(OpenFilePropertiesSheet(parent, "FILE.TXT", request, PSH_MODELESS));
        ExpectCentred(sheet.Handle(), "file properties");
    }
    DetailsWork work;
    HWND details = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_DETAILS), parent,
                                      DetailsDialogProc, reinterpret_cast<LPARAM>(&work));
    ExpectCentred(details, "details");
    DestroyWindow(details);
    HWND addSector = test::CreateBareDialog(IDD_ADD_SECTOR, parent);
    OnInitAddSectorDialog(addSector, 10);
    ExpectCentred(addSector, "add sector");
    DestroyWindow(addSector);
}

// The command on a list of its own, far from where the sheet opens, so that
// only the command itself can leave the list to be repainted.
class FilePropertiesCommandTest : public test::SheetTest {
protected:
    void SetUp() override {
        SheetTest::SetUp();
        saved = MainParts();
        // A large window with its list in a corner: the sheet, centred over
        // the window, never covers the list, so no expose can pass for a
        // repaint the command asked for.
        window = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 1100, 900, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 120, 60, window,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
        LVCOLUMNA column = {};
        column.mask = LVCF_WIDTH;
        column.cx = 100;
        SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        MainParts().window = window;
        MainParts().list = list;
    }
    void TearDown() override {
        TheDocument().modified = false;
        win32::CloseDocument(TheDocument(), false);
        MainParts() = saved;
        DestroyWindow(window);
        SheetTest::TearDown();
    }
    // Opens the image as the program's document with one selected item for
    // a hidden system file.
    void OpenWithItem(uint32_t& entry) {
        OpenFreshImage();
        entry = PutEntry(0, test::EntrySpec{"SECRET  SYS", 0x06});
        ASSERT_TRUE(win32::SaveDocument(doc));
        ASSERT_TRUE(win32::CloseDocument(doc, false));
        ASSERT_TRUE(win32::OpenDocument(TheDocument(), Owner(), ImagePath()));
        char text[] = "SECRET.SYS";
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
        item.pszText = text;
        item.lParam = static_cast<LPARAM>(entry);
        item.state = item.stateMask = LVIS_SELECTED;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    bool ListWaitsForPaint() const { return GetUpdateRect(list, nullptr, FALSE) != FALSE; }

    MainWindowParts saved;
    HWND window = nullptr;
    HWND list = nullptr;
};

TEST_F(FilePropertiesCommandTest, ListIsRepaintedOnlyAfterAChange) {
    uint32_t entry = 0;
    ASSERT_NO_FATAL_FAILURE(OpenWithItem(entry));
    for (bool change : {false, true}) {
        SCOPED_TRACE(change ? "Hidden cleared" : "no change");
        UpdateWindow(list);
        ASSERT_FALSE(ListWaitsForPaint());
        test::WithDialog(
            "Properties for SECRET.SYS",
            [change](HWND sheet) {
                if (change) {
                    test::Click(PropSheet_GetCurrentPageHwnd(sheet), IDC_FILE_HIDDEN);
                }
                PropSheet_PressButton(sheet, PSBTN_OK);
            },
            [&] { ShowFileProperties(Owner()); });
        EXPECT_EQ(ListWaitsForPaint(), change);
        EXPECT_EQ(TheDocument().Area()[entry + 11], change ? 0x04 : 0x06);
        EXPECT_EQ(TheDocument().modified, change);
    }
}

TEST_F(FilePropertiesCommandTest, NothingSelectedOpensNothing) {
    uint32_t entry = 0;
    ASSERT_NO_FATAL_FAILURE(OpenWithItem(entry));
    test::SelectRow(list, -1);
    ShowFileProperties(Owner());
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_FALSE(TheDocument().modified);
}

}  // namespace
}  // namespace vk::win32
