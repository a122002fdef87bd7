// The Options sheet: its three pages over the settings record, and the
// name strength reaching the next rename.
#include <gtest/gtest.h>

#include <windows.h>

#include "engine/fat/ops/delete_rename.h"
#include "tests/support/box_flags.h"
#include "win32/resources/sheets_ids.h"
#include "win32/settings/settings.h"
#include "tests/win32/sheets/sheet_fixture.h"
#include "win32/sheets/options_sheet.h"
#include "win32/ui/file_options.h"
#include "win32/ports/prompt_owner.h"

namespace vk::win32 {
namespace {

using test::ComboRows;
using test::ComboSelection;
using test::ModelessSheet;

constexpr char k144Row[] = "2 sides, 80 tracks, 18 sectors/track (1.44 MBytes)";

class OptionsTest : public test::SheetTest {
protected:
    void SetUp() override {
        SheetTest::SetUp();
        savedSettings = TheSettings();
    }
    void TearDown() override {
        TheSettings() = savedSettings;
        SheetTest::TearDown();
    }
    std::unique_ptr<ModelessSheet> Open() {
        return std::make_unique<ModelessSheet>(OpenOptionsSheet(Owner(), PSH_MODELESS));
    }

    Settings savedSettings;
};

TEST_F(OptionsTest, ThreePagesInOrderUnderTheirCaption) {
    auto sheet = Open();
    EXPECT_EQ(sheet->Caption(), "Options");
    ASSERT_EQ(sheet->PageCount(), 3);
    EXPECT_EQ(sheet->TabText(0), "FAT name strength");
    EXPECT_EQ(sheet->TabText(1), "Default disk-format");
    EXPECT_EQ(sheet->TabText(2), "Copy options");
    for (int index = 0; index < 3; ++index) {
        sheet->Page(index);
        EXPECT_TRUE(sheet->HelpEnabled()) << "page " << index;
    }
}

TEST_F(OptionsTest, StrengthListShowsTheStoredValue) {
    const struct {
        uint32_t stored;
        int row;
    } cases[] = {{0, 0}, {1, 1}, {7, 1}};
    for (const auto& c : cases) {
        TheSettings().nameStrength = c.stored;
        auto sheet = Open();
        HWND page = sheet->Page(0);
        EXPECT_EQ(ComboRows(page, IDC_NAME_STRENGTH), (std::vector<std::string>{"Strict", "Regular (default)"}));
        EXPECT_EQ(ComboSelection(page, IDC_NAME_STRENGTH), c.row) << "stored " << c.stored;
    }
}

TEST_F(OptionsTest, StrengthAppliesToTheNextRename) {
    OpenFreshImage();
    const uint32_t entry = PutEntry(0, test::EntrySpec{"OLD     TXT"});
    const struct {
        const char* name;
        int row;
        bool accepted;
        size_t boxes;
    } cases[] = {
        {"Strict refuses a byte above 0x7F", 0, false, 1},
        {"Regular takes it", 1, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TheSettings().nameStrength = 1 - c.row;
        {
            auto sheet = Open();
            HWND page = sheet->Page(0);
            test::PickComboRow(page, IDC_NAME_STRENGTH, c.row);
            EXPECT_TRUE(sheet->ApplyEnabled());
            sheet->Ok();
            EXPECT_TRUE(sheet->Ended());
        }
        EXPECT_EQ(TheSettings().nameStrength, static_cast<uint32_t>(c.row));
        const size_t before = boxes.Boxes().size();
        const std::string typed = "\xC4X.TXT";
        const Result renamed = RenameEntry(doc, entry, &typed, CurrentFileOptions());
        Report(Owner(), renamed);
        EXPECT_EQ(renamed.Done(), c.accepted);
        EXPECT_EQ(boxes.Boxes().size() - before, c.boxes);
    }
}

TEST_F(OptionsTest, UnlistedDefaultFormatShowsTheFirstRowAndApplyStoresIt) {
    TheSettings().defaultDiskFormat = 0xF1;
    auto sheet = Open();
    HWND page = sheet->Page(1);
    const std::vector<std::string> rows = ComboRows(page, IDC_DEFAULT_FORMAT);
    ASSERT_EQ(rows.size(), 9u) << "the nine standard formats, no Custom row";
    EXPECT_EQ(rows.front(), k144Row);
    for (const std::string& row : rows) {
        EXPECT_EQ(row.find("Custom"), std::string::npos);
    }
    EXPECT_EQ(ComboSelection(page, IDC_DEFAULT_FORMAT), 0);
    sheet->Ok();
    EXPECT_EQ(TheSettings().defaultDiskFormat, 0xF0u);
}

TEST_F(OptionsTest, ChosenFormatIsStoredAsItsMediaByte) {
    TheSettings().defaultDiskFormat = 0xF9;
    auto sheet = Open();
    HWND page = sheet->Page(1);
    const int shown = ComboSelection(page, IDC_DEFAULT_FORMAT);
    ASSERT_GE(shown, 0);
    EXPECT_NE(ComboRows(page, IDC_DEFAULT_FORMAT)[shown].find("720 KBytes"), std::string::npos);
    EXPECT_FALSE(sheet->ApplyEnabled());
    test::PickComboRow(page, IDC_DEFAULT_FORMAT, 0);
    EXPECT_TRUE(sheet->ApplyEnabled());
    sheet->Apply();
    EXPECT_EQ(TheSettings().defaultDiskFormat, 0xF0u);
}

TEST_F(OptionsTest, BootSectorOutsideTheTemplatesShowsNoSelectionAndIsKept) {
    TheSettings().defaultBootSector = 5;
    {
        auto sheet = Open();
        HWND page = sheet->Page(1);
        EXPECT_EQ(ComboRows(page, IDC_DEFAULT_BOOT_SECTOR),
                  (std::vector<std::string>{"MSX-DOS boot sector", "MSX-DOS 2.2 boot sector", "MS-DOS 6.x boot sector"}));
        EXPECT_EQ(ComboSelection(page, IDC_DEFAULT_BOOT_SECTOR), CB_ERR);
        sheet->Ok();
        EXPECT_EQ(TheSettings().defaultBootSector, 5);
    }
    auto sheet = Open();
    HWND page = sheet->Page(1);
    test::PickComboRow(page, IDC_DEFAULT_BOOT_SECTOR, 2);
    sheet->Ok();
    EXPECT_EQ(TheSettings().defaultBootSector, 2);
}

TEST_F(OptionsTest, FastWriteRoundTrips) {
    TheSettings().fastWrite = false;
    for (bool expected : {true, false}) {
        auto sheet = Open();
        HWND page = sheet->Page(2);
        EXPECT_EQ(IsDlgButtonChecked(page, IDC_FAST_WRITE), expected ? BST_UNCHECKED : BST_CHECKED);
        test::Click(page, IDC_FAST_WRITE);
        EXPECT_TRUE(sheet->ApplyEnabled());
        sheet->Ok();
        EXPECT_EQ(TheSettings().fastWrite, expected);
    }
}

TEST_F(OptionsTest, CancelLeavesTheSettings) {
    TheSettings().nameStrength = 1;
    TheSettings().defaultDiskFormat = 0xF9;
    TheSettings().fastWrite = false;
    auto sheet = Open();
    test::PickComboRow(sheet->Page(0), IDC_NAME_STRENGTH, 0);
    test::PickComboRow(sheet->Page(1), IDC_DEFAULT_FORMAT, 0);
    test::Click(sheet->Page(2), IDC_FAST_WRITE);
    sheet->Cancel();
    EXPECT_TRUE(sheet->Ended());
    EXPECT_EQ(TheSettings().nameStrength, 1u);
    EXPECT_EQ(TheSettings().defaultDiskFormat, 0xF9u);
    EXPECT_FALSE(TheSettings().fastWrite);
    EXPECT_EQ(NameStrengthOf(TheSettings()), NameStrength::kRegular);
}

}  // namespace
}  // namespace vk::win32
