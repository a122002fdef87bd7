// Extras > Check disk and Extras > Undelete on the real main window: the
// findings listed, Fix mending and saving the image (judged afterwards by
// the checker on the saved file and by its bytes), a deleted file brought
// back byte for byte, and F1 in both dialogs.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "engine/core/new_image.h"
#include "engine/fat/check/disk_check.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/ops/add_file.h"
#include "engine/fat/ops/extract.h"
#include "engine/fat/table/fat12.h"
#include "engine/fat/table/volume.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "tests/win32/box_catcher.h"
#include "tests/win32/dialog_driver.h"
#include "tests/win32/main_window/window_fixture.h"
#include "win32/resources/check_dialog_ids.h"
#include "win32/resources/command_ids.h"
#include "win32/settings/help_control.h"
#include "win32/ui/app_state.h"
#include "win32/ui/document_view.h"
#include "win32/ui/file_options.h"

namespace vk::test {
namespace {

using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;

constexpr uint32_t kSmall = 700;
constexpr uint32_t kLarge = 3000;

Bytes Pattern(size_t size, uint8_t seed) {
    Bytes b(size);
    for (size_t i = 0; i < size; ++i) b[i] = static_cast<uint8_t>(seed + i * 13 + i / 509);
    return b;
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

std::string Expanded(unsigned id, std::initializer_list<std::string_view> inserts) {
    std::string text;
    ExpandInserts(LoadText(id), inserts, text);
    return text;
}

std::string RowText(HWND list, int row, int column) {
    char text[300] = "";
    LVITEMA query = {};
    query.iSubItem = column;
    query.pszText = text;
    query.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&query));
    return text;
}

int RowCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string Text(HWND dialog, int control) {
    char text[300] = "";
    GetDlgItemTextA(dialog, control, text, sizeof text);
    return text;
}

bool Enabled(HWND dialog, int control) { return IsWindowEnabled(GetDlgItem(dialog, control)) != FALSE; }

void Click(HWND dialog, int control) { SendDlgItemMessageA(dialog, control, BM_CLICK, 0, 0); }

// The row's check box: 0 none, 1 unticked, 2 ticked.
UINT CheckBox(HWND list, int row) {
    return static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK)) >> 12;
}

// A tick as a click on the row's check box gives it.
void Tick(HWND list, int row) {
    LVITEMA state = {};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(2);
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
}

// The main window over CHECK.DSK: README.TXT, DATA.BIN and LAST.TXT in the
// root, with a lost chain and a size its chain cannot hold when `damaged`,
// its FAT copies equal.
class CheckWindow : public MainWindowTest {
protected:
    void MakeImage(bool damaged) {
        ImageDocument doc;
        ASSERT_TRUE(win32::Shown(nullptr, CreateEmptyImage(doc, 0xF9, 0)));
        const std::pair<const char*, Bytes> files[] = {
            {"README.TXT", Pattern(kSmall, 1)}, {"DATA.BIN", Pattern(kLarge, 2)}, {"LAST.TXT", Pattern(kSmall, 3)}};
        for (const auto& f : files) {
            WriteBytes(folder.File(f.first), f.second);
            ASSERT_TRUE(AddHostFile(doc, folder.File(f.first), win32::CurrentFileOptions(), kRootDir).Done());
        }
        const Layout layout = doc.GetLayout();
        if (damaged) {
            const Volume vol = VolumeOf(doc);
            lostCluster = FindFreeCluster(vol);
            ASSERT_TRUE(WriteFatEntry(vol, lostCluster, lostCluster + 1) && WriteFatEntry(vol, lostCluster + 1, 0xFFF));
            Store32(doc.Area() + layout.rootStart + kDirSize, 5000);  // README.TXT has one cluster
        }
        for (uint32_t copy = 1; copy < layout.fatCount; ++copy) {
            std::memcpy(doc.Area() + layout.FatCopyStart(copy), doc.Area() + layout.fatStart, layout.fatBytes);
        }
        WriteBytes(image, Bytes(doc.imageBuffer.data(), doc.imageBuffer.data() + doc.imageSize));
    }

    void Start(bool readOnly = false) {
        win32::CommandLine line;
        line.forceSwitch = true;  // Delete asks nothing
        ASSERT_TRUE(StartWindow(line));
        ASSERT_TRUE(win32::OpenDocument(win32::TheDocument(), Window(), image, readOnly));
    }

    Texts Items() const {
        Texts texts;
        for (int i = 0; i < ItemCount(); ++i) texts.push_back(ItemText(i, 0));
        return texts;
    }

    std::string CountText() const {
        char text[64] = "";
        wsprintfA(text, std::string(LoadText(kStrObjectCount)).c_str(), static_cast<unsigned long>(ItemCount()));
        return text;
    }

    // The saved image opened on its own, the window's document closed:
    // the checker calls it sound and `path` extracts to `expected`.
    void ExpectSavedSoundWith(const char* path, const Bytes& expected) {
        ASSERT_TRUE(win32::CloseDocument(win32::TheDocument(), false));
        ImageDocument saved;
        ASSERT_TRUE(OpenImage(saved, image, true).Done());
        EXPECT_TRUE(CheckDisk(saved).Sound());
        PathTarget target;
        ASSERT_TRUE(ResolvePath(VolumeOf(saved), path, target).Done()) << path;
        const std::string out = folder.File("extracted");
        ASSERT_TRUE(ExtractEntry(saved, target.entryOffset, kReplaceSilently, out).Done()) << path;
        EXPECT_EQ(ReadBytes(out), expected) << path;
        CloseImage(saved);
    }

    // F1 typed on the keyboard, handled by a loop of the dialog's own until
    // help has answered with a box or a second has passed.
    void PressF1(HWND dialog, size_t boxesBefore) {
        SetForegroundWindow(dialog);
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
        for (const DWORD start = GetTickCount(); boxes.Boxes().size() == boxesBefore && GetTickCount() - start < 1000;
             Sleep(10)) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!IsDialogMessageA(dialog, &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageA(&msg);
                }
            }
        }
    }

    std::string image = folder.File("CHECK.DSK");
    uint32_t lostCluster = 0;
    BoxCatcher boxes{true};
};

TEST_F(CheckWindow, FixMendsTheListedFindingsSavesAndShowsTheMendedDisk) {
    MakeImage(true);
    const Bytes before = ReadBytes(image);
    Start();
    Texts findings;  // kind and place
    std::string foundSummary, mendedSummary;
    bool fixOffered = false, fixStillOffered = true;
    WithDialog(
        "Check disk",
        [&](HWND dialog) {
            HWND list = GetDlgItem(dialog, IDC_CHECK_FINDINGS);
            for (int row = 0; row < RowCount(list); ++row) {
                findings.push_back(RowText(list, row, 0) + " | " + RowText(list, row, 1));
                EXPECT_FALSE(RowText(list, row, 2).empty()) << "row " << row << " says no mend";
            }
            foundSummary = Text(dialog, IDC_CHECK_SUMMARY);
            // Selecting a finding says below the list what is wrong.
            EXPECT_EQ(Text(dialog, IDC_CHECK_DETAILS), "");
            ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
            EXPECT_NE(Text(dialog, IDC_CHECK_DETAILS), "");
            fixOffered = Enabled(dialog, IDC_CHECK_FIX);
            Click(dialog, IDC_CHECK_FIX);
            mendedSummary = Text(dialog, IDC_CHECK_SUMMARY);
            fixStillOffered = Enabled(dialog, IDC_CHECK_FIX);
            Click(dialog, IDCANCEL);
        },
        [&] { Command(ID_EXTRAS_CHECK_DISK); });

    Texts expected = {std::string(LoadText(kStrFindSizeLonger)) + " | README.TXT",
                      std::string(LoadText(kStrFindLostChain)) + " | " +
                          Expanded(kStrPlaceCluster, {std::to_string(lostCluster)})};
    std::sort(findings.begin(), findings.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(findings, expected);
    EXPECT_EQ(foundSummary, Expanded(kMsgCheckFindings, {"CHECK.DSK", "2"}));
    EXPECT_TRUE(fixOffered);
    EXPECT_EQ(mendedSummary, Expanded(kMsgCheckMended, {"CHECK.DSK", "2", "0"}));
    EXPECT_FALSE(fixStillOffered) << "nothing is left to mend";
    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes().front().text;
    // The lost chain is kept in FOUND.000, which the list and its count show.
    EXPECT_EQ(Items(), (Texts{"README.TXT", "DATA.BIN", "LAST.TXT", "FOUND.000"}));
    EXPECT_EQ(StatusPart(0), CountText());
    EXPECT_FALSE(win32::TheDocument().modified) << "Fix saves";

    const Bytes after = ReadBytes(image);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 0x200, after.begin())) << "boot sector written";
    ExpectSavedSoundWith("DATA.BIN", Pattern(kLarge, 2));
}

TEST_F(CheckWindow, FixIsOfferedOnlyWhenSomethingCanBeMendedAndSaved) {
    const struct {
        const char* name;
        bool damaged;
        bool readOnly;
        bool fix;
    } cases[] = {
        {"sound disk", false, false, false},
        {"damaged, opened read-only", true, true, false},
        {"damaged", true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MakeImage(c.damaged);
        const Bytes before = ReadBytes(image);
        Start(c.readOnly);
        WithDialog(
            "Check disk",
            [&](HWND dialog) {
                EXPECT_EQ(RowCount(GetDlgItem(dialog, IDC_CHECK_FINDINGS)) > 0, c.damaged);
                EXPECT_EQ(Enabled(dialog, IDC_CHECK_FIX), c.fix);
                if (!c.damaged) {
                    EXPECT_EQ(Text(dialog, IDC_CHECK_SUMMARY), Expanded(kMsgCheckSound, {"CHECK.DSK"}));
                }
                Click(dialog, IDCANCEL);
            },
            [&] { Command(ID_EXTRAS_CHECK_DISK); });
        EXPECT_EQ(ReadBytes(image), before) << "a check alone writes nothing";
        TearDown();
    }
}

TEST_F(CheckWindow, UndeleteBringsBackADeletedFileByteForByte) {
    MakeImage(false);
    Start();
    for (int item = 0; item < ItemCount(); ++item) Select(item, true);
    Command(ID_EDIT_DELETE);
    ASSERT_EQ(ItemCount(), 0);
    // A new file takes clusters 2 and 3: README.TXT and DATA.BIN, which
    // began there, cannot come back; LAST.TXT can.
    WriteBytes(folder.File("NEW.TXT"), Pattern(2000, 9));
    ASSERT_TRUE(AddHostFile(win32::TheDocument(), folder.File("NEW.TXT"), win32::CurrentFileOptions(), kRootDir).Done());
    win32::ShowChangedDisk(win32::TheDocument());

    Texts rows;  // name, state, check box before and after a tick
    bool offeredUnticked = true;
    int rowsLeft = -1;
    WithDialog(
        "Undelete",
        [&](HWND dialog) {
            HWND list = GetDlgItem(dialog, IDC_UNDELETE_LIST);
            offeredUnticked = Enabled(dialog, IDC_UNDELETE_RUN);
            for (int row = 0; row < RowCount(list); ++row) {
                const UINT box = CheckBox(list, row);
                Tick(list, row);
                rows.push_back(RowText(list, row, 0) + " " + RowText(list, row, 2) + " " + std::to_string(box) +
                               std::to_string(CheckBox(list, row)));
            }
            SetDlgItemTextA(dialog, IDC_UNDELETE_FIRST, "L");
            Click(dialog, IDC_UNDELETE_RUN);
            rowsLeft = RowCount(list);
            Click(dialog, IDCANCEL);
        },
        [&] { Command(ID_EXTRAS_UNDELETE); });

    EXPECT_FALSE(offeredUnticked) << "Undelete waits for a tick";
    // No check box on the rows that cannot come back, and no tick takes there.
    const std::string no(LoadText(kStrUndeleteNotRecoverable));
    EXPECT_EQ(rows, (Texts{"?EADME.TXT " + no + " 00", "?ATA.BIN " + no + " 00",
                           "?AST.TXT " + std::string(LoadText(kStrUndeleteRecoverable)) + " 12"}));
    EXPECT_EQ(rowsLeft, 2);
    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes().front().text;
    EXPECT_EQ(Items(), (Texts{"LAST.TXT", "NEW.TXT"}));
    EXPECT_EQ(StatusPart(0), CountText());
    Command(ID_FILE_SAVE);
    ExpectSavedSoundWith("LAST.TXT", Pattern(kSmall, 3));
}

TEST_F(CheckWindow, F1InEitherDialogAsksForItsHelp) {
    MakeImage(false);
    Start();
    // With the help control missing, each request ends in message 9 over the dialog that asked.
    win32::ResetHelpControl({HKEY_CURRENT_USER, "Software\\VolkarnCheckHelpTest\\InprocServer32", "no_such_help.ocx"});
    for (const auto& d : {std::make_pair("Check disk", ID_EXTRAS_CHECK_DISK), std::make_pair("Undelete", ID_EXTRAS_UNDELETE)}) {
        SCOPED_TRACE(d.first);
        const size_t before = boxes.Boxes().size();
        HWND shown = nullptr;
        WithDialog(
            d.first,
            [&](HWND dialog) {
                shown = dialog;
                PressF1(dialog, before);
                Click(dialog, IDCANCEL);
            },
            [&] { Command(d.second); });
        ASSERT_EQ(boxes.Boxes().size(), before + 1);
        EXPECT_EQ(boxes.Boxes().back().text, "Oops: failed to display help!");
        EXPECT_EQ(boxes.Boxes().back().owner, shown);
    }
    win32::ResetHelpControl(win32::SystemHelpControl());
}

}  // namespace
}  // namespace vk::test
