// The disk-image properties sheet on real documents: which pages it opens
// with, the Errors page and its Add sector dialog, and the Media page.
#include <gtest/gtest.h>

#include <windows.h>

#include "engine/common/bytes.h"
#include "engine/core/boot_sector.h"
#include "engine/core/media_errors.h"
#include "win32/resources/sheets_ids.h"
#include "tests/win32/sheets/sheet_fixture.h"
#include "win32/sheets/image_properties.h"
#include "win32/ui/document_view.h"
#include "tests/support/box_flags.h"

namespace vk::win32 {
namespace {

using test::ListRows;
using test::ModelessSheet;

constexpr char kNoSectorText[] = "No sector number specified!";
// The system formatter turns each line break into CR LF.
constexpr char kBadSectorText[] = "Invalid sector number!\r\n(out of range)";

class ImagePropertiesTest : public test::SheetTest {
protected:
    INT_PTR Open(bool shift = false) { return OpenImagePropertiesSheet(Owner(), doc, shift, PSH_MODELESS); }
    HWND List(HWND page) const { return GetDlgItem(page, IDC_ERRORS_LIST); }
    bool Enabled(HWND page, int control) const { return IsWindowEnabled(GetDlgItem(page, control)) != FALSE; }
};

TEST(ImagePageCountTest, VolumeAloneErrorsWithAListAllThreeWithShift) {
    const struct {
        const char* name;
        bool hasList;
        bool shift;
        int pages;
    } cases[] = {
        {"no list", false, false, 1},
        {"with a list", true, false, 2},
        {"Shift without a list", false, true, 3},
        {"Shift with a list", true, true, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ImagePageCount(c.hasList, c.shift), c.pages) << c.name;
    }
}

TEST_F(ImagePropertiesTest, SheetHasCaptionTabsAndHelp) {
    OpenFreshImage();
    ModelessSheet sheet(Open(true));
    ASSERT_NE(sheet.Handle(), nullptr);
    EXPECT_EQ(sheet.Caption(), "Disk-image properties");
    ASSERT_EQ(sheet.PageCount(), 3);
    EXPECT_EQ(sheet.TabText(0), "Volume");
    EXPECT_EQ(sheet.TabText(1), "Errors");
    EXPECT_EQ(sheet.TabText(2), "Media");
    EXPECT_EQ(PropSheet_GetCurrentPageHwnd(sheet.Handle()), PropSheet_IndexToHwnd(sheet.Handle(), 0))
        << "the first page is shown first";
    const bool hasIcon = SendMessageA(sheet.Handle(), WM_GETICON, ICON_SMALL, 0) != 0 ||
                         SendMessageA(sheet.Handle(), WM_GETICON, ICON_BIG, 0) != 0;
    EXPECT_TRUE(hasIcon) << "the program icon in the caption";
    EXPECT_FALSE(sheet.ApplyEnabled());
}

TEST_F(ImagePropertiesTest, BadSectorsAreRowsInAscendingOrder) {
    OpenFreshImage();
    MarkBadSector(doc.errorList, 700);
    MarkBadSector(doc.errorList, 5);
    ModelessSheet sheet(Open());
    ASSERT_EQ(sheet.PageCount(), 2);
    HWND page = sheet.Page(1);
    EXPECT_EQ(ListRows(List(page)), (std::vector<std::string>{"5", "700"}));

    char title[64] = "";
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title;
    column.cchTextMax = sizeof title;
    ASSERT_TRUE(SendMessageA(List(page), LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(title, "Bad sector(s)");
    EXPECT_EQ(column.cx, 122);
}

TEST_F(ImagePropertiesTest, EditAndRemoveFollowTheSelection) {
    OpenFreshImage();
    MarkBadSector(doc.errorList, 5);
    ModelessSheet sheet(Open());
    HWND page = sheet.Page(1);
    EXPECT_TRUE(Enabled(page, IDC_ERRORS_ADD));
    EXPECT_FALSE(Enabled(page, IDC_ERRORS_EDIT));
    EXPECT_FALSE(Enabled(page, IDC_ERRORS_REMOVE));
    test::SelectRow(List(page), 0);
    EXPECT_TRUE(Enabled(page, IDC_ERRORS_EDIT));
    EXPECT_TRUE(Enabled(page, IDC_ERRORS_REMOVE));
    test::SelectRow(List(page), -1);
    EXPECT_FALSE(Enabled(page, IDC_ERRORS_EDIT));
    EXPECT_FALSE(Enabled(page, IDC_ERRORS_REMOVE));
}

TEST_F(ImagePropertiesTest, EditOnlySaysItIsNotThere) {
    OpenFreshImage();
    MarkBadSector(doc.errorList, 5);
    ModelessSheet sheet(Open());
    HWND page = sheet.Page(1);
    test::SelectRow(List(page), 0);
    test::Click(page, IDC_ERRORS_EDIT);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Edit not implemented yet!");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Volkarn");
    EXPECT_EQ(boxes.Boxes()[0].icon, static_cast<unsigned>(test::kIconWarning));
    EXPECT_EQ(ListRows(List(page)), (std::vector<std::string>{"5"}));
    EXPECT_FALSE(sheet.ApplyEnabled());
}

TEST_F(ImagePropertiesTest, DuplicateRowsCollapseOnApply) {
    OpenFreshImage();
    {
        ModelessSheet sheet(Open());
        HWND page = sheet.Page(1);
        AddErrorRow(page, 5);
        AddErrorRow(page, 5);
        EXPECT_EQ(ListRows(List(page)), (std::vector<std::string>{"5", "5"}));
        EXPECT_TRUE(sheet.ApplyEnabled());
        sheet.Apply();
        EXPECT_TRUE(IsSectorMarked(doc.errorList, 5));
        EXPECT_FALSE(doc.modified) << "the list reaches its file with the next save, not through modified";
        sheet.Ok();
        EXPECT_TRUE(sheet.Ended());
    }
    ModelessSheet again(Open());
    EXPECT_EQ(ListRows(List(again.Page(1))), (std::vector<std::string>{"5"}));
}

TEST_F(ImagePropertiesTest, CancelKeepsTheList) {
    OpenFreshImage();
    MarkBadSector(doc.errorList, 9);
    ModelessSheet sheet(Open());
    HWND page = sheet.Page(1);
    AddErrorRow(page, 12);
    test::SelectRow(List(page), 0);
    ASSERT_TRUE(RemoveSelectedErrorRow(page));
    sheet.Cancel();
    EXPECT_TRUE(sheet.Ended());
    EXPECT_TRUE(IsSectorMarked(doc.errorList, 9));
    EXPECT_FALSE(IsSectorMarked(doc.errorList, 12));
}

TEST_F(ImagePropertiesTest, RemovingEveryRowClearsTheListAndTheNextSaveDeletesTheFile) {
    OpenFreshImage();
    MarkBadSector(doc.errorList, 5);
    MarkBadSector(doc.errorList, 700);
    ASSERT_TRUE(win32::SaveDocument(doc));
    const std::string errorFile = ErrorFileName(ImagePath());
    ASSERT_NE(GetFileAttributesA(errorFile.c_str()), INVALID_FILE_ATTRIBUTES) << "the .der file was written";

    ModelessSheet sheet(Open());
    HWND page = sheet.Page(1);
    EXPECT_FALSE(RemoveSelectedErrorRow(page)) << "nothing selected, nothing removed";
    while (!ListRows(List(page)).empty()) {
        test::SelectRow(List(page), 0);
        test::Click(page, IDC_ERRORS_REMOVE);
        EXPECT_FALSE(Enabled(page, IDC_ERRORS_REMOVE));
    }
    sheet.Ok();
    EXPECT_FALSE(HasMediaErrors(doc));
    ASSERT_TRUE(win32::SaveDocument(doc));
    EXPECT_EQ(GetFileAttributesA(errorFile.c_str()), INVALID_FILE_ATTRIBUTES) << "the .der file was deleted";
}

TEST_F(ImagePropertiesTest, WithoutAListOnlyVolumeOrWithShiftADisabledErrorsPage) {
    OpenFreshImage();
    doc.errorList.Reset();
    {
        ModelessSheet sheet(Open(false));
        EXPECT_EQ(sheet.PageCount(), 1);
        EXPECT_EQ(sheet.TabText(0), "Volume");
    }
    ModelessSheet sheet(Open(true));
    ASSERT_EQ(sheet.PageCount(), 3);
    HWND page = sheet.Page(1);
    for (int control : {IDC_ERRORS_LABEL, IDC_ERRORS_LIST, IDC_ERRORS_ADD, IDC_ERRORS_EDIT, IDC_ERRORS_REMOVE}) {
        EXPECT_FALSE(Enabled(page, control)) << control;
    }
    EXPECT_TRUE(ListRows(List(page)).empty());
    sheet.Ok();
    EXPECT_TRUE(sheet.Ended());
}

TEST_F(ImagePropertiesTest, AddButtonRunsTheAddSectorDialog) {
    OpenFreshImage(0xF8);  // 720 sectors
    ModelessSheet sheet(Open());
    HWND page = sheet.Page(1);
    test::WithDialog(
        "Add sector",
        [](HWND dialog) {
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_ADD_SECTOR_NUMBER, CB_GETCOUNT, 0, 0), 720);
            test::TypeText(dialog, IDC_ADD_SECTOR_NUMBER, "  12");
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        },
        [&] { test::Click(page, IDC_ERRORS_ADD); });
    EXPECT_EQ(ListRows(List(page)), (std::vector<std::string>{"12"}));
    EXPECT_TRUE(sheet.ApplyEnabled());

    test::WithDialog(
        "Add sector", [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); },
        [&] { test::Click(page, IDC_ERRORS_ADD); });
    EXPECT_EQ(ListRows(List(page)), (std::vector<std::string>{"12"})) << "Cancel adds nothing";
}

TEST(SectorInputTest, ReadsLeadingDigitsAfterBlanks) {
    const struct {
        const char* text;
        SectorInput result;
        uint32_t sector;
    } cases[] = {
        {"  12", SectorInput::kValid, 12},
        {"12abc", SectorInput::kValid, 12},
        {"0", SectorInput::kValid, 0},
        {"719", SectorInput::kValid, 719},
        {"00007", SectorInput::kValid, 7},
        {"720", SectorInput::kOutOfRange, 0},
        {"99999999999999999999", SectorInput::kOutOfRange, 0},
        {"x5", SectorInput::kNoNumber, 0},
        {"", SectorInput::kNoNumber, 0},
        {"   ", SectorInput::kNoNumber, 0},
        {"-1", SectorInput::kNoNumber, 0},
    };
    for (const auto& c : cases) {
        uint32_t sector = 0;
        EXPECT_EQ(ParseSectorInput(c.text, 720, sector), c.result) << '"' << c.text << '"';
        if (c.result == SectorInput::kValid) {
            EXPECT_EQ(sector, c.sector) << '"' << c.text << '"';
        }
    }
}

TEST_F(ImagePropertiesTest, AddSectorDialogListsEverySectorAndChecksTheInput) {
    HWND dialog = test::CreateBareDialog(IDD_ADD_SECTOR, Owner());
    ASSERT_NE(dialog, nullptr);
    OnInitAddSectorDialog(dialog, 720);
    const std::vector<std::string> rows = test::ComboRows(dialog, IDC_ADD_SECTOR_NUMBER);
    ASSERT_EQ(rows.size(), 720u);
    EXPECT_EQ(rows.front(), "0");
    EXPECT_EQ(rows[10], "10") << "in number order, not text order";
    EXPECT_EQ(rows.back(), "719");

    const struct {
        const char* text;
        bool accepted;
        uint32_t sector;
        const char* message;
    } cases[] = {
        {"  12", true, 12, nullptr},
        {"A12", false, 0, kNoSectorText},
        {"720", false, 0, kBadSectorText},
    };
    for (const auto& c : cases) {
        const size_t before = boxes.Boxes().size();
        test::TypeText(dialog, IDC_ADD_SECTOR_NUMBER, c.text);
        uint32_t sector = 0;
        EXPECT_EQ(ReadAddSectorInput(dialog, 720, sector), c.accepted) << c.text;
        if (c.accepted) {
            EXPECT_EQ(sector, c.sector);
            EXPECT_EQ(boxes.Boxes().size(), before);
        } else {
            ASSERT_EQ(boxes.Boxes().size(), before + 1) << c.text << ": " << boxes.Boxes().back().text;
            EXPECT_EQ(boxes.Boxes().back().text, c.message);
            EXPECT_EQ(boxes.Boxes().back().icon, static_cast<unsigned>(test::kIconError));
            EXPECT_EQ(boxes.Boxes().back().owner, dialog);
        }
    }
    DestroyWindow(dialog);
}

TEST_F(ImagePropertiesTest, MediaPageShowsTheGeometryAndTheBootSectorSerial) {
    OpenFreshImage();
    uint8_t* boot = doc.Area();
    const uint8_t serial[] = {0x78, 0x56, 0x34, 0x12};
    std::copy(serial, serial + 4, boot + kBsVolumeSerial);
    Store16(boot + kBpbHiddenSectors, 3);
    // The page shows the document's geometry, not what the boot sector says now.
    Store16(boot + 0x18, 18);

    ModelessSheet sheet(Open(true));
    HWND page = sheet.Page(2);
    const struct {
        int control;
        const char* text;
    } fields[] = {
        {IDC_MEDIA_BYTES_PER_SECTOR, "512"}, {IDC_MEDIA_SECTORS_PER_CLUSTER, "2"},
        {IDC_MEDIA_RESERVED_SECTORS, "1"},   {IDC_MEDIA_FAT_COUNT, "2"},
        {IDC_MEDIA_ROOT_ENTRIES, "112"},     {IDC_MEDIA_TOTAL_SECTORS, "1440"},
        {IDC_MEDIA_SECTORS_PER_FAT, "3"},    {IDC_MEDIA_SECTORS_PER_TRACK, "9"},
        {IDC_MEDIA_HEADS, "2"},              {IDC_MEDIA_HIDDEN_SECTORS, "3"},
        {IDC_MEDIA_SERIAL, "1234-5678"},
    };
    for (const auto& f : fields) {
        EXPECT_EQ(test::ControlText(page, f.control), f.text) << f.control;
    }
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_MEDIA_HARD_DISK), BST_UNCHECKED);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_MEDIA_HARD_DISK)));
    EXPECT_FALSE(sheet.HelpEnabled()) << "the Media page has no help";
    sheet.Ok();
    EXPECT_TRUE(sheet.Ended());
}

TEST_F(ImagePropertiesTest, HardDiskBoxTickedForAGeometryWithoutSectorCount) {
    OpenFreshImage();
    HWND page = test::CreateBareDialog(IDD_MEDIA_PAGE, Owner());
    ASSERT_NE(page, nullptr);
    const DiskFormat floppy = doc.geometry;
    doc.geometry.totalSectors = 0;
    OnInitMediaPage(page, doc);
    doc.geometry = floppy;
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_MEDIA_HARD_DISK), BST_CHECKED);
    EXPECT_EQ(test::ControlText(page, IDC_MEDIA_TOTAL_SECTORS), "0");
    DestroyWindow(page);
}

TEST(VolumeSerialTextTest, BytesAreShownHighWordFirst) {
    uint8_t boot[512] = {};
    const uint8_t serial[] = {0x78, 0x56, 0x34, 0x12};
    std::copy(serial, serial + 4, boot + kBsVolumeSerial);
    EXPECT_EQ(VolumeSerialText(boot), "1234-5678");
    const uint8_t high[] = {0x0F, 0xA0, 0xFF, 0x00};
    std::copy(high, high + 4, boot + kBsVolumeSerial);
    EXPECT_EQ(VolumeSerialText(boot), "00FF-A00F");
}

}  // namespace
}  // namespace vk::win32
