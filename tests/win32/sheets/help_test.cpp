// Every page and dialog with help asks for it: with the help control
// missing, each request ends in message 9 over the page or dialog that
// asked (its sheet, for a page); the Media page takes the request and does nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include "win32/resources/sheets_ids.h"
#include "win32/settings/help_control.h"
#include "tests/win32/sheets/sheet_fixture.h"
#include "win32/sheets/details_dialog.h"
#include "win32/sheets/file_properties_page.h"
#include "win32/sheets/image_properties.h"
#include "win32/sheets/options_sheet.h"
#include "win32/sheets/partition_dialog.h"
#include "win32/resources/partition_dialog_ids.h"

namespace vk::win32 {
namespace {

using test::ModelessSheet;

constexpr char kHelpFailed[] = "Oops: failed to display help!";
constexpr char kMissingServerKey[] = "Software\\VolkarnSheetsHelpTest\\InprocServer32";

class PageHelpTest : public test::SheetTest {
protected:
    void SetUp() override {
        SheetTest::SetUp();
        ResetHelpControl({HKEY_CURRENT_USER, kMissingServerKey, "volkarn_no_such_help.ocx"});
    }
    void TearDown() override {
        ResetHelpControl(SystemHelpControl());
        SheetTest::TearDown();
    }
    // Presses the sheet's Help button on each page; `expected` says which
    // pages must answer with one box owned by themselves.
    void ExpectHelpPerPage(const ModelessSheet& sheet, const std::vector<bool>& expected, const char* name) {
        for (int index = 0; index < static_cast<int>(expected.size()); ++index) {
            SCOPED_TRACE(std::string(name) + " page " + std::to_string(index));
            HWND page = sheet.Page(index);
            ASSERT_NE(page, nullptr);
            const size_t before = boxes.Boxes().size();
            sheet.Help();
            if (!expected[index]) {
                EXPECT_EQ(boxes.Boxes().size(), before);
                continue;
            }
            ASSERT_EQ(boxes.Boxes().size(), before + 1);
            EXPECT_EQ(boxes.Boxes().back().text, kHelpFailed);
            // A child window cannot own a box: the page's sheet does.
            EXPECT_EQ(boxes.Boxes().back().owner, GetAncestor(page, GA_ROOT));
            EXPECT_EQ(boxes.Boxes().back().owner, sheet.Handle());
        }
    }
};

TEST_F(PageHelpTest, SheetPagesAskForHelp) {
    OpenFreshImage();
    {
        ModelessSheet sheet(OpenImagePropertiesSheet(Owner(), doc, true, PSH_MODELESS));
        ExpectHelpPerPage(sheet, {true, true, false}, "image properties");
    }
    {
        ModelessSheet sheet(OpenOptionsSheet(Owner(), PSH_MODELESS));
        ExpectHelpPerPage(sheet, {true, true, true}, "options");
    }
    FilePropertiesRequest request;
    request.doc = &doc;
    request.entryOffset = PutEntry(0, test::EntrySpec{"FILE    TXT"});
    ModelessSheet sheet(OpenFilePropertiesSheet(Owner(), "FILE.TXT", request, PSH_MODELESS));
    ExpectHelpPerPage(sheet, {true}, "file properties");
}

TEST_F(PageHelpTest, DialogHelpButtonsAskForHelpAndStayOpen) {
    DetailsWork work;
    HWND details = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_DETAILS), Owner(),
                                      DetailsDialogProc, reinterpret_cast<LPARAM>(&work));
    ASSERT_NE(details, nullptr);
    test::Click(details, IDC_DIALOG_HELP);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes().back().text, kHelpFailed);
    EXPECT_EQ(boxes.Boxes().back().owner, details);
    EXPECT_TRUE(IsWindow(details));
    DestroyWindow(details);

    HWND addSector = nullptr;
    uint32_t sector = 0;
    test::WithDialog(
        "Add sector",
        [&](HWND dialog) {
            addSector = dialog;
            test::Click(dialog, IDC_DIALOG_HELP);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        },
        [&] { EXPECT_FALSE(AskSectorNumber(Owner(), 720, sector)); });
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes().back().text, kHelpFailed);
    EXPECT_EQ(boxes.Boxes().back().owner, addSector);
}

// The Choose partition dialog answers its Help button and F1, which reaches
// a dialog as WM_HELP.
TEST_F(PageHelpTest, ChoosePartitionAsksForHelpByButtonAndF1) {
    PartitionChoice choice;
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CHOOSE_PARTITION), Owner(),
                                     PartitionDialogProc, reinterpret_cast<LPARAM>(&choice));
    ASSERT_NE(dialog, nullptr);
    test::Click(dialog, IDC_PARTITION_HELP);
    HELPINFO f1 = {};
    f1.cbSize = sizeof f1;
    f1.iContextType = HELPINFO_WINDOW;
    f1.hItemHandle = GetDlgItem(dialog, IDC_PARTITION_LIST);
    SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&f1));
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    for (const test::CaughtBox& box : boxes.Boxes()) {
        EXPECT_EQ(box.text, kHelpFailed);
        EXPECT_EQ(box.owner, dialog);
    }
    EXPECT_TRUE(IsWindow(dialog));
    DestroyWindow(dialog);
}

}  // namespace
}  // namespace vk::win32
