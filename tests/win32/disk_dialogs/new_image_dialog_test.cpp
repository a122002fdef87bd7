// The New disk-image dialog built from its real resource: which controls
// each check box enables, the lists it fills, and the empty images its OK
// makes; SelectFormat through the Custom disk-format dialog. These cases
// run in a prefix without a removable drive.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <cstring>
#include <memory>

#include "engine/core/boot_sector.h"
#include "engine/core/disk_format.h"
#include "engine/core/document.h"
#include "engine/core/new_image.h"
#include "tests/win32/disk_dialogs/disk_dialog_fixture.h"
#include "win32/disk_dialogs/disk_dialogs.h"
#include "win32/resources/command_ids.h"
#include "win32/resources/disk_dialog_ids.h"
#include "win32/settings/settings.h"
#include "tests/win32/sheets/sheet_fixture.h"
#include "win32/ui/app_state.h"
#include "win32/ui/commands.h"
#include "win32/ui/main_window.h"
#include "win32/ui/document_view.h"

namespace vk::win32 {
namespace {

using test::Click;
using test::ComboRows;
using test::ComboSelection;
using test::ControlText;
using test::WithDialog;

constexpr char k720Row[] = "2 sides, 80 tracks, 9 sectors/track (720 KBytes)";

bool Enabled(HWND dialog, int control) { return IsWindowEnabled(GetDlgItem(dialog, control)) != FALSE; }
bool Checked(HWND dialog, int control) { return IsDlgButtonChecked(dialog, control) == BST_CHECKED; }

struct DialogDeleter {
    void operator()(HWND dialog) const { DestroyWindow(dialog); }
};
using DialogPtr = std::unique_ptr<std::remove_pointer_t<HWND>, DialogDeleter>;

class NewImageDialogTest : public test::DiskDialogTest {
protected:
    DialogPtr Open() {
        return DialogPtr(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_NEW_IMAGE), MainWindow(),
                                            NewImageDialogProc, 0));
    }
    // The row of `code` in the format list.
    static int FormatRowIndex(HWND dialog, uint32_t code) {
        const int count = static_cast<int>(SendDlgItemMessageA(dialog, IDC_NEW_FORMAT_LIST, CB_GETCOUNT, 0, 0));
        for (int row = 0; row < count; ++row) {
            if (static_cast<uint32_t>(SendDlgItemMessageA(dialog, IDC_NEW_FORMAT_LIST, CB_GETITEMDATA,
                                                          static_cast<WPARAM>(row), 0)) == code) {
                return row;
            }
        }
        return -1;
    }
};

TEST_F(NewImageDialogTest, WithoutRemovableDriveOnlyEmptyImagesAndFocusOnCapacity) {
    WithDialog("New disk-image", [](HWND dialog) {
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_DRIVE_LIST, CB_GETCOUNT, 0, 0), 0) << "this run maps no drive";
        EXPECT_FALSE(Enabled(dialog, IDC_NEW_COPY_FROM_DISK));
        EXPECT_FALSE(Enabled(dialog, IDC_DRIVE_LIST));
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_NEW_CHOOSE_FORMAT));
        EXPECT_TRUE(Checked(dialog, IDC_NEW_CHOOSE_FORMAT));
        EXPECT_FALSE(Checked(dialog, IDC_NEW_COPY_FROM_DISK));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }, [&] { EXPECT_FALSE(RunNewImageDialog(MainWindow())); });
    EXPECT_FALSE(TheDocument().IsOpen());
}

TEST_F(NewImageDialogTest, ListsShowTheFormatsTheTemplatesAndTheDefaults) {
    const struct {
        uint32_t defaultFormat;
        int32_t defaultBoot;
        const char* selectedFormat;
        int selectedBoot;
    } cases[] = {
        {0xF9, 0, k720Row, 0},
        {0xF0, 2, "2 sides, 80 tracks, 18 sectors/track (1.44 MBytes)", 2},
        // Unknown settings: the first format, no boot sector.
        {0x42, 3, "2 sides, 80 tracks, 18 sectors/track (1.44 MBytes)", -1},
    };
    for (const auto& c : cases) {
        TheSettings().defaultDiskFormat = c.defaultFormat;
        TheSettings().defaultBootSector = c.defaultBoot;
        DialogPtr dialog = Open();
        ASSERT_NE(dialog, nullptr);
        const std::vector<std::string> formats = ComboRows(dialog.get(), IDC_NEW_FORMAT_LIST);
        ASSERT_EQ(formats.size(), 10u);
        EXPECT_EQ(formats.back(), "Custom...");
        EXPECT_EQ(SendDlgItemMessageA(dialog.get(), IDC_NEW_FORMAT_LIST, CB_GETITEMDATA, 9, 0), 0);
        EXPECT_EQ(ControlText(dialog.get(), IDC_NEW_FORMAT_LIST), c.selectedFormat) << std::hex << c.defaultFormat;
        EXPECT_EQ(ComboRows(dialog.get(), IDC_NEW_BOOT_SECTOR_LIST),
                  (std::vector<std::string>{"MSX-DOS boot sector", "MSX-DOS 2.2 boot sector", "MS-DOS 6.x boot sector"}));
        EXPECT_EQ(ComboSelection(dialog.get(), IDC_NEW_BOOT_SECTOR_LIST), c.selectedBoot);
    }
}

TEST_F(NewImageDialogTest, CheckBoxesEnableTheLists) {
    // Each step toggles one check box as a click would; then the states of
    // copy, capacity/format and the enabling of drive, format and boot lists.
    const struct {
        const char* step;
        int toggle;
        bool copy, format, driveList, formatList, bootList;
    } steps[] = {
        {"opening", 0, false, true, false, true, true},
        {"copy on: capacity comes from the disk", IDC_NEW_COPY_FROM_DISK, true, false, true, false, false},
        {"format forced for the copy", IDC_NEW_CHOOSE_FORMAT, true, true, true, true, false},
        {"copy off: an empty image again", IDC_NEW_COPY_FROM_DISK, false, true, false, true, true},
        {"format off: neither", IDC_NEW_CHOOSE_FORMAT, false, false, false, false, false},
        {"copy on with format off", IDC_NEW_COPY_FROM_DISK, true, false, true, false, false},
    };
    DialogPtr owned = Open();
    HWND dialog = owned.get();
    for (const auto& s : steps) {
        if (s.toggle != 0) {
            // The copy box is disabled in a prefix without a drive, so the
            // click is made the way the button itself makes it.
            CheckDlgButton(dialog, s.toggle, Checked(dialog, s.toggle) ? BST_UNCHECKED : BST_CHECKED);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(s.toggle, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, s.toggle)));
        }
        EXPECT_EQ(Checked(dialog, IDC_NEW_COPY_FROM_DISK), s.copy) << s.step;
        EXPECT_EQ(Checked(dialog, IDC_NEW_CHOOSE_FORMAT), s.format) << s.step;
        EXPECT_EQ(Enabled(dialog, IDC_DRIVE_LIST), s.driveList) << s.step;
        EXPECT_EQ(Enabled(dialog, IDC_NEW_FORMAT_LIST), s.formatList) << s.step;
        EXPECT_EQ(Enabled(dialog, IDC_NEW_BOOT_SECTOR_LIST), s.bootList) << s.step;
    }
    // Neither box checked: OK does nothing and the dialog stays.
    EXPECT_FALSE(OnNewImageOk(dialog, TheDocument()));
    EXPECT_FALSE(TheDocument().IsOpen());
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(NewImageDialogTest, EmptyImageOfEveryFormatAndTemplate) {
    DialogPtr owned = Open();
    HWND dialog = owned.get();
    std::array<uint32_t, kFormatRows> codes{};
    const size_t count = ListedFormatCodes(codes);
    ASSERT_EQ(count, 9u);
    for (size_t i = 0; i < count; ++i) {
        const DiskFormat& row = FormatRow(codes[i]);
        for (int boot = 0; boot < 3; ++boot) {
            SCOPED_TRACE(testing::Message() << "format " << std::hex << codes[i] << " template " << boot);
            SendDlgItemMessageA(dialog, IDC_NEW_FORMAT_LIST, CB_SETCURSEL, static_cast<WPARAM>(FormatRowIndex(dialog, codes[i])), 0);
            SendDlgItemMessageA(dialog, IDC_NEW_BOOT_SECTOR_LIST, CB_SETCURSEL, static_cast<WPARAM>(boot), 0);
            ImageDocument& doc = TheDocument();
            ASSERT_TRUE(OnNewImageOk(dialog, doc));
            EXPECT_EQ(doc.imageSize, row.totalSectors * kSectorSize);
            EXPECT_TRUE(doc.geometry == row);
            EXPECT_EQ(doc.fileName, "Untitled");
            EXPECT_FALSE(doc.modified);
            EXPECT_FALSE(doc.imageFile.IsOpen());
            EXPECT_EQ(doc.errorList.size(), 20u + (row.totalSectors + 7) / 8);
            // The chosen template's jump and OEM name, the row's media byte.
            EXPECT_EQ(0, std::memcmp(doc.Area(), BootTemplate(static_cast<unsigned>(boot)).data(), 11));
            EXPECT_EQ(doc.Area()[0x15], row.mediaByte);
            EXPECT_EQ(Title(), "Untitled - Volkarn");
            EXPECT_EQ(ListItemCount(), 0);
            EXPECT_NE(IsWindowEnabled(MainParts().list), FALSE);
            doc.modified = false;
            ASSERT_TRUE(win32::CloseDocument(doc, true));
        }
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(NewImageDialogTest, NoBootSectorSelectedMakesTemplateZero) {
    TheSettings().defaultBootSector = 7;
    DialogPtr owned = Open();
    ASSERT_EQ(ComboSelection(owned.get(), IDC_NEW_BOOT_SECTOR_LIST), -1);
    ASSERT_TRUE(OnNewImageOk(owned.get(), TheDocument()));
    EXPECT_EQ(0, std::memcmp(TheDocument().Area(), BootTemplate(0).data(), 11));
}

TEST_F(NewImageDialogTest, CustomRowThroughTheCustomDialog) {
    DialogPtr owned = Open();
    HWND dialog = owned.get();
    SendDlgItemMessageA(dialog, IDC_NEW_FORMAT_LIST, CB_SETCURSEL, 9, 0);  // "Custom..."
    const DiskFormat before = FormatRow(kCustomFormatCode);

    // Cancel: no format, the custom row as it was.
    int32_t chosen = 0;
    WithDialog("Custom disk-format", [](HWND custom) { PostMessageA(custom, WM_COMMAND, IDCANCEL, 0); },
               [&] { chosen = SelectFormat(dialog); });
    EXPECT_EQ(chosen, -1);
    EXPECT_TRUE(FormatRow(kCustomFormatCode) == before);

    // OK with 1440 sectors of 9 per track on 2 heads: the row, then an image of it.
    WithDialog("Custom disk-format", [](HWND custom) {
        test::TypeText(custom, IDC_CUSTOM_TOTAL_SECTORS, "1440");
        test::TypeText(custom, IDC_CUSTOM_SECTORS_PER_TRACK, "9");
        test::TypeText(custom, IDC_CUSTOM_HEADS, "2");
        test::TypeText(custom, IDC_CUSTOM_SECTORS_PER_FAT, "3");
        PostMessageA(custom, WM_COMMAND, IDOK, 0);
    }, [&] { EXPECT_TRUE(OnNewImageOk(dialog, TheDocument())); });
    const DiskFormat& custom = FormatRow(kCustomFormatCode);
    EXPECT_EQ(custom.totalSectors, 1440u);
    EXPECT_EQ(custom.sectorsPerTrack, 9u);
    EXPECT_EQ(custom.mediaByte, 0xF8u);
    EXPECT_EQ(TheDocument().imageSize, 1440u * kSectorSize);
    EXPECT_TRUE(TheDocument().geometry == custom);
    FormatRow(kCustomFormatCode) = before;
}

TEST_F(NewImageDialogTest, NewCommandClosesTheImageAndOpensTheDialog) {
    ImageDocument& doc = TheDocument();
    ASSERT_TRUE(win32::Shown(MainWindow(), CreateEmptyImage(doc, 0xF9, 0)));
    WithDialog("New disk-image", [](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_NEW_FORMAT_LIST, CB_SETCURSEL,
                            static_cast<WPARAM>(FormatRowIndex(dialog, 0xF8)), 0);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }, [&] { ExecuteCommand(ID_FILE_NEW, MainWindow()); });
    ASSERT_TRUE(doc.IsOpen());
    EXPECT_EQ(doc.imageSize, 720u * kSectorSize);
    EXPECT_EQ(Title(), "Untitled - Volkarn");
}

}  // namespace
}  // namespace vk::win32
