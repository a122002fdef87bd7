// A partitioned image in the real window: the Choose partition dialog when
// it opens, a file added to the partition chosen and saved there alone,
// Cancel keeping the image open before, and File > Open partition.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/document.h"
#include "engine/core/new_image.h"
#include "engine/core/partition_table.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/ops/extract.h"
#include "tests/win32/box_catcher.h"
#include "tests/win32/dialog_driver.h"
#include "tests/win32/main_window/window_fixture.h"
#include "win32/resources/command_ids.h"
#include "win32/resources/partition_dialog_ids.h"
#include "win32/ui/app_state.h"
#include "win32/ui/document_view.h"

namespace vk::test {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr char kChooser[] = "Choose partition";
constexpr uint64_t kPartitionSectors = 1440;  // a 720 KB disk in each

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes Pattern(size_t size, uint8_t seed) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + seed);
    }
    return bytes;
}

// An empty 720 KB disk with a volume label and one root entry.
Bytes Disk(const char* label11, const char* name11) {
    ImageDocument doc;
    EXPECT_TRUE(win32::Shown(nullptr, CreateEmptyImage(doc, 0xF9, 0)));
    Bytes bytes(doc.imageBuffer.data(), doc.imageBuffer.data() + doc.imageSize);
    uint8_t* entry = bytes.data() + doc.GetLayout().rootStart;
    std::memcpy(entry + kDirName, label11, kDirFullNameLength);
    entry[kDirAttr] = 0x08;
    entry += kDirEntrySize;
    std::memcpy(entry + kDirName, name11, kDirFullNameLength);
    entry[kDirAttr] = 0x20;
    return bytes;
}

// The rows of the dialog's list, each cell of each.
std::vector<std::vector<std::string>> Rows(HWND list) {
    std::vector<std::vector<std::string>> rows;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < 4; ++column) {
            char text[64] = "";
            LVITEMA item = {};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
            cells.push_back(text);
        }
        rows.push_back(cells);
    }
    return rows;
}

int Selected(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// Clicks row `row` with the mouse, twice when `twice`.
void ClickRow(HWND list, int row, bool twice) {
    RECT cell = {};
    cell.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    if (twice) {
        SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
    }
}

class PartitionWindow : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        image = folder.File("PARTS.DSK");
        PartitionPlan plan;
        ASSERT_TRUE(MakePartitionTable(PartitionTableKind::kMbr, {kPartitionSectors, kPartitionSectors},
                                       {kTypeFat12, kTypeFat12}, 1, plan));
        Bytes bytes(static_cast<size_t>(plan.totalSectors * kPartitionSectorSize), 0);
        for (const TableSector& s : plan.sectors) {
            std::memcpy(bytes.data() + s.sector * kPartitionSectorSize, s.bytes.data(), s.bytes.size());
        }
        const Bytes disks[] = {Disk("DISK ONE   ", "FIRST   TXT"), Disk("DISK TWO   ", "SECOND  TXT")};
        for (size_t i = 0; i < 2; ++i) {
            const PartitionEntry& p = plan.partitions[i];
            std::memcpy(bytes.data() + p.startSector * kPartitionSectorSize, disks[i].data(), disks[i].size());
        }
        second = plan.partitions[1];
        WriteAll(image, bytes);
        ASSERT_TRUE(StartWindow({}));
    }

    // Runs `command` and, in the chooser it shows, checks what it lists and
    // selects, then picks `row`: clicked and OK, or double-clicked.
    void Choose(UINT command, int row, bool doubleClick, int expectSelected) {
        WithDialog(
            kChooser,
            [&](HWND dialog) {
                HWND list = GetDlgItem(dialog, IDC_PARTITION_LIST);
                listed = Rows(list);
                EXPECT_EQ(expectSelected, Selected(list));
                ClickRow(list, row, doubleClick);
                if (!doubleClick) {
                    EXPECT_EQ(row, Selected(list));
                    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
                }
            },
            [&] { Command(command); });
    }

    bool MenuGrays(UINT id) {
        HMENU file = GetSubMenu(GetMenu(Window()), 0);
        SendMessageA(Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
        return (GetMenuState(file, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
    }

    std::string image;
    PartitionEntry second;
    std::vector<std::vector<std::string>> listed;
};

TEST_F(PartitionWindow, AFileAddedToPartitionTwoIsSavedThereAndNowhereElse) {
    const Bytes before = ReadAll(image);
    const std::string hostFile = folder.File("NOTES.BIN");
    const Bytes content = Pattern(5000, 3);
    WriteAll(hostFile, content);

    BoxCatcher boxes(true);  // the file dialogs; the chooser is the test's own
    boxes.ChooseFile(image);
    Choose(ID_FILE_OPEN, 1, false, 0);
    const std::vector<std::vector<std::string>> expected = {{"1", "720 KB", "FAT12", "DISK ONE"},
                                                            {"2", "720 KB", "FAT12", "DISK TWO"}};
    EXPECT_EQ(expected, listed);
    EXPECT_EQ("PARTS.DSK (partition 2) - Volkarn", Title());
    ASSERT_EQ(1, ItemCount());
    EXPECT_EQ("SECOND.TXT", ItemText(0, 0));

    boxes.ChooseFile(hostFile);
    Command(ID_EDIT_ADD_FILE);
    ASSERT_EQ(2, ItemCount());
    EXPECT_EQ("NOTES.BIN", ItemText(1, 0));
    Command(ID_FILE_SAVE);
    EXPECT_FALSE(win32::TheDocument().modified);
    ASSERT_EQ(2u, boxes.Boxes().size()) << boxes.Boxes().back().text;
    ASSERT_TRUE(win32::CloseDocument(win32::TheDocument(), false));

    // The engine reads the file back from partition 2, byte for byte.
    ImageDocument check;
    ASSERT_TRUE(win32::Shown(nullptr, OpenImage(check, image, OpenOptions{true, 2, {}})));
    const uint32_t entry = FindShownEntry(VolumeOf(check), kRootDir, "NOTES.BIN");
    ASSERT_NE(0u, entry);
    const std::string extracted = folder.File("BACK.BIN");
    ASSERT_TRUE(win32::Shown(nullptr, ExtractEntry(check, entry, kReplaceSilently, extracted)));
    EXPECT_EQ(content, ReadAll(extracted));
    check.Discard();

    // The table, partition 1 and everything past partition 2 are as they were.
    const Bytes after = ReadAll(image);
    ASSERT_EQ(before.size(), after.size());
    const size_t start = static_cast<size_t>(second.startSector * kPartitionSectorSize);
    const size_t end = start + static_cast<size_t>(second.sectorCount * kPartitionSectorSize);
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + start, after.begin()));
    EXPECT_TRUE(std::equal(before.begin() + end, before.end(), after.begin() + end));
    EXPECT_FALSE(std::equal(before.begin() + start, before.begin() + end, after.begin() + start));
}

TEST_F(PartitionWindow, CancelKeepsTheImageOpenBefore) {
    const std::string floppy = folder.File("FLOPPY.DSK");
    WriteImageFile(floppy, {{"KEEP    TXT"}});
    ASSERT_TRUE(win32::OpenDocument(win32::TheDocument(), Window(), floppy));
    EXPECT_TRUE(MenuGrays(ID_FILE_OPEN_PARTITION)) << "a floppy has no partitions";
    win32::TheDocument().modified = true;

    BoxCatcher boxes(true);
    boxes.ChooseFile(image);
    WithDialog(
        kChooser, [](HWND dialog) { SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0); },
        [&] { Command(ID_FILE_OPEN); });
    EXPECT_EQ(1u, boxes.Boxes().size()) << "the file dialog alone: no question to save";
    EXPECT_EQ(floppy, win32::TheDocument().fileName);
    EXPECT_TRUE(win32::TheDocument().modified);
    EXPECT_EQ("FLOPPY.DSK - Volkarn", Title());
    ASSERT_EQ(1, ItemCount());
    EXPECT_EQ("KEEP.TXT", ItemText(0, 0));
}

TEST_F(PartitionWindow, OpenPartitionAsksToSaveAndSwitches) {
    EXPECT_TRUE(MenuGrays(ID_FILE_OPEN_PARTITION)) << "no image";
    WithDialog(
        kChooser, [](HWND dialog) { ClickRow(GetDlgItem(dialog, IDC_PARTITION_LIST), 1, true); },
        [&] { EXPECT_TRUE(win32::OpenDocument(win32::TheDocument(), Window(), image)); });
    EXPECT_EQ(2u, win32::TheDocument().partition) << "a double click chooses";
    EXPECT_FALSE(MenuGrays(ID_FILE_OPEN_PARTITION));

    // An unsaved label: the list shows it for the open partition.
    ImageDocument& doc = win32::TheDocument();
    std::memcpy(doc.Area() + doc.GetLayout().rootStart + kDirName, "CHANGED    ", kDirFullNameLength);
    doc.modified = true;
    BoxCatcher boxes(true);
    boxes.Answer(IDNO);
    Choose(ID_FILE_OPEN_PARTITION, 0, true, 1);
    ASSERT_EQ(2u, listed.size());
    EXPECT_EQ("CHANGED", listed[1][3]);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(unsigned(MB_YESNOCANCEL), boxes.Boxes()[0].buttons);
    EXPECT_EQ(1u, win32::TheDocument().partition);
    EXPECT_EQ("PARTS.DSK (partition 1) - Volkarn", Title());
    ASSERT_EQ(1, ItemCount());
    EXPECT_EQ("FIRST.TXT", ItemText(0, 0));
    EXPECT_EQ(std::string("DISK TWO   "), std::string(reinterpret_cast<const char*>(ReadAll(image).data() +
                                                                                    second.startSector * 512 +
                                                                                    doc.GetLayout().rootStart),
                                                     kDirFullNameLength))
        << "No kept partition 2 as it was";
}

}  // namespace
}  // namespace vk::test
