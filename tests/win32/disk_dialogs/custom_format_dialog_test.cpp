// The Custom disk-format dialog from its real resource: the figures that
// follow every keystroke, what its fields parse to, and what OK accepts.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "engine/core/disk_format.h"
#include "tests/win32/disk_dialogs/disk_dialog_fixture.h"
#include "win32/disk_dialogs/disk_dialogs.h"
#include "win32/resources/disk_dialog_ids.h"
#include "tests/win32/sheets/sheet_fixture.h"

namespace vk::win32 {
namespace {

using test::ControlText;

struct DialogDeleter {
    void operator()(HWND dialog) const { DestroyWindow(dialog); }
};
using DialogPtr = std::unique_ptr<std::remove_pointer_t<HWND>, DialogDeleter>;

// Replaces a field's text key by key, as typing does: select all, then one
// WM_CHAR per character (an empty text is one Backspace).
void TypeKeys(HWND dialog, int control, const std::string& text) {
    HWND edit = GetDlgItem(dialog, control);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    if (text.empty()) {
        SendMessageA(edit, WM_CHAR, VK_BACK, 0);
    }
    for (char c : text) {
        SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 0);
    }
}

class CustomFormatDialogTest : public test::DiskDialogTest {
protected:
    void SetUp() override {
        DiskDialogTest::SetUp();
        savedRow = FormatRow(kCustomFormatCode);
        dialog.reset(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CUSTOM_FORMAT), MainWindow(),
                                        CustomFormatDialogProc, 0));
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override {
        dialog.reset();
        FormatRow(kCustomFormatCode) = savedRow;
        DiskDialogTest::TearDown();
    }
    HWND Dialog() const { return dialog.get(); }
    std::string Total() const { return ControlText(Dialog(), IDC_CUSTOM_TOTAL_KB); }
    std::string Formatted() const { return ControlText(Dialog(), IDC_CUSTOM_FORMATTED_KB); }

    DialogPtr dialog;
    DiskFormat savedRow;
};

TEST_F(CustomFormatDialogTest, OpensWithTheEightMegabyteDefaults) {
    EXPECT_EQ(Total(), "8192");
    EXPECT_EQ(Formatted(), "8172");  // 2043 clusters of 4 KB
    const struct {
        int control;
        const char* text;
        bool enabled;
    } fields[] = {
        {IDC_CUSTOM_FAT_COUNT, "2", true},          {IDC_CUSTOM_TOTAL_SECTORS, "16384", true},
        {IDC_CUSTOM_SECTORS_PER_FAT, "11", true},   {IDC_CUSTOM_SECTORS_PER_CLUSTER, "8", true},
        {IDC_CUSTOM_RESERVED_SECTORS, "1", true},   {IDC_CUSTOM_HEADS, "4", true},
        {IDC_CUSTOM_SECTORS_PER_TRACK, "40", true}, {IDC_CUSTOM_ROOT_ENTRIES, "224", true},
        {IDC_CUSTOM_MEDIA_BYTE, "F8", true},        {IDC_CUSTOM_BYTES_PER_SECTOR, "512", false},
        {IDC_CUSTOM_HIDDEN_SECTORS, "0", false},
    };
    for (const auto& f : fields) {
        EXPECT_EQ(ControlText(Dialog(), f.control), f.text) << f.control;
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(Dialog(), f.control)) != FALSE, f.enabled) << f.control;
    }
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Dialog(), IDC_CUSTOM_HIDDEN_LABEL)));
}

TEST_F(CustomFormatDialogTest, FiguresFollowEveryKeystroke) {
    HWND edit = GetDlgItem(Dialog(), IDC_CUSTOM_TOTAL_SECTORS);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CHAR, VK_BACK, 0);
    EXPECT_EQ(Total(), "0");
    const struct {
        char key;
        const char* total;  // 512-byte sectors, rounded up to whole KB
    } keys[] = {{'1', "1"}, {'4', "7"}, {'4', "72"}, {'1', "721"}};
    for (const auto& k : keys) {
        SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(k.key), 0);
        EXPECT_EQ(Total(), k.total) << "after " << k.key;
    }
}

TEST_F(CustomFormatDialogTest, FiguresForTypedLayouts) {
    const struct {
        const char* name;
        int control;
        const char* text;
        const char* total;
        const char* formatted;
    } cases[] = {
        {"odd sector count rounds up", IDC_CUSTOM_TOTAL_SECTORS, "1441", "721", "700"},
        {"112 entries take 7 root sectors", IDC_CUSTOM_ROOT_ENTRIES, "112", "8192", "8176"},
        {"system area larger than the disk", IDC_CUSTOM_TOTAL_SECTORS, "10", "5", "0"},
        {"blanks and a sign", IDC_CUSTOM_TOTAL_SECTORS, "  +2000x", "1000", "980"},
        {"no digits count as 0", IDC_CUSTOM_TOTAL_SECTORS, "abc", "0", "0"},
    };
    for (const auto& c : cases) {
        SetCustomDefaults(Dialog());
        TypeKeys(Dialog(), c.control, c.text);
        EXPECT_EQ(Total(), c.total) << c.name;
        EXPECT_EQ(Formatted(), c.formatted) << c.name;
    }
}

TEST_F(CustomFormatDialogTest, MediaByteIsUpperCasedAndEmptyIsZero) {
    const struct {
        const char* typed;
        const char* shown;
        uint32_t stored;
    } cases[] = {{"f0", "F0", 0xF0}, {"", "", 0}, {"9z", "9Z", 0x9}, {"z9", "Z9", 0}};
    for (const auto& c : cases) {
        TypeKeys(Dialog(), IDC_CUSTOM_MEDIA_BYTE, c.typed);
        EXPECT_EQ(ControlText(Dialog(), IDC_CUSTOM_MEDIA_BYTE), c.shown) << c.typed;
        EXPECT_EQ(ReadCustomFormat(Dialog()).mediaByte, c.stored) << c.typed;
    }
}

TEST_F(CustomFormatDialogTest, OkStoresTheRowOrRefusesAZeroCapacity) {
    TypeKeys(Dialog(), IDC_CUSTOM_TOTAL_SECTORS, "10");
    EXPECT_FALSE(OnCustomFormatOk(Dialog()));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "UNDER CONSTRUCTION:\r\n\r\nCapacity of disk is <= 0 Bytes!");
    EXPECT_EQ(boxes.Boxes()[0].icon, static_cast<unsigned>(MB_ICONWARNING));
    EXPECT_TRUE(FormatRow(kCustomFormatCode) == savedRow);

    TypeKeys(Dialog(), IDC_CUSTOM_TOTAL_SECTORS, "1441");
    TypeKeys(Dialog(), IDC_CUSTOM_MEDIA_BYTE, "f0");
    ASSERT_TRUE(OnCustomFormatOk(Dialog()));
    const DiskFormat& row = FormatRow(kCustomFormatCode);
    EXPECT_EQ(row.descriptionId, 0u);
    EXPECT_EQ(row.totalSectors, 1441u);
    EXPECT_EQ(row.fatCount, 2u);
    EXPECT_EQ(row.sectorsPerFat, 11u);
    EXPECT_EQ(row.sectorsPerCluster, 8u);
    EXPECT_EQ(row.heads, 4u);
    EXPECT_EQ(row.sectorsPerTrack, 40u);
    EXPECT_EQ(row.rootEntries, 224u);
    EXPECT_EQ(row.mediaByte, 0xF0u);
    EXPECT_EQ(row.mediaType, MediaKind::kUnknown);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST_F(CustomFormatDialogTest, OkRefusesALayoutWithMoreClustersThanFat12Counts) {
    TypeKeys(Dialog(), IDC_CUSTOM_SECTORS_PER_CLUSTER, "4");
    EXPECT_EQ(Formatted(), "8172");  // 4086 clusters of 2 KB
    EXPECT_FALSE(OnCustomFormatOk(Dialog()));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text,
              "Invalid disk format!\r\n\r\nThis disk has 4086 clusters, but a FAT12 disk has at most 4084. "
              "Take more sectors per cluster or fewer sectors per disk.");
    EXPECT_TRUE(FormatRow(kCustomFormatCode) == savedRow);
}

TEST_F(CustomFormatDialogTest, ModalRunsEndWithOneOrZero) {
    // OK in one run, Cancel in the next: the row of the OK stays.
    bool accepted = false;
    test::WithDialog("Custom disk-format", [](HWND custom) {
        EXPECT_EQ(ControlText(custom, IDC_CUSTOM_TOTAL_KB), "8192");
        test::TypeText(custom, IDC_CUSTOM_TOTAL_SECTORS, "2000");
        PostMessageA(custom, WM_COMMAND, IDOK, 0);
    }, [&] { accepted = RunCustomFormatDialog(MainWindow()); });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(FormatRow(kCustomFormatCode).totalSectors, 2000u);
    test::WithDialog("Custom disk-format", [](HWND custom) {
        // Always the defaults, never the last custom row.
        EXPECT_EQ(ControlText(custom, IDC_CUSTOM_TOTAL_SECTORS), "16384");
        test::TypeText(custom, IDC_CUSTOM_TOTAL_SECTORS, "3000");
        PostMessageA(custom, WM_COMMAND, IDCANCEL, 0);
    }, [&] { accepted = RunCustomFormatDialog(MainWindow()); });
    EXPECT_FALSE(accepted);
    EXPECT_EQ(FormatRow(kCustomFormatCode).totalSectors, 2000u);
}

}  // namespace
}  // namespace vk::win32
