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

constexpr char kCheckCaption[] = "Check disk";
constexpr char kUndeleteCaption[] = "Undelete";
constexpr uint32_t kBootBytes = 0x200;
constexpr uint32_t kReadmeSize = 700;
constexpr uint32_t kDataSize = 3000;

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
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
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

std::string ControlText(HWND dialog, int control) {
    char text[300] = "";
    GetDlgItemTextA(dialog, control, text, sizeof text);
    return text;
}

bool Enabled(HWND dialog, int control) { return IsWindowEnabled(GetDlgItem(dialog, control)) != FALSE; }

void Click(HWND dialog, int control) { SendDlgItemMessageA(dialog, control, BM_CLICK, 0, 0); }

// Ticks or unticks a row as a click on its check box does.
void Tick(HWND list, int row, bool ticked) {
    LVITEMA state = {};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
}

UINT StateImage(HWND list, int row) {
    return static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK)) >>
           12;
}

// The damage a test image gets after its files are in.
enum class Damage { kNone, kLostChainAndLongSize };

// The main window over CHECK.DSK: README.TXT, DATA.BIN and LAST.TXT in the root,
// damaged as the test asks, its FAT copies equal.
class CheckWindow : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        image = folder.File("CHECK.DSK");
    }

    void MakeImage(Damage damage) {
        ImageDocument doc;
        ASSERT_TRUE(win32::Shown(nullptr, CreateEmptyImage(doc, 0xF9, 0)));
        AddSource(doc, "README.TXT", Pattern(kReadmeSize, 1));
        AddSource(doc, "DATA.BIN", Pattern(kDataSize, 2));
        AddSource(doc, "LAST.TXT", Pattern(kReadmeSize, 3));
        const Layout layout = doc.GetLayout();
        if (damage == Damage::kLostChainAndLongSize) {
            const Volume vol = VolumeOf(doc);
            lostCluster = FindFreeCluster(vol);
            ASSERT_TRUE(WriteFatEntry(vol, lostCluster, lostCluster + 1));
            ASSERT_TRUE(WriteFatEntry(vol, lostCluster + 1, 0xFFF));
            // README.TXT's one cluster cannot hold 5000 bytes.
            Store32(doc.Area() + layout.rootStart + kDirSize, 5000);
        }
        for (uint32_t copy = 1; copy < layout.fatCount; ++copy) {
            std::memcpy(doc.Area() + layout.FatCopyStart(copy), doc.Area() + layout.fatStart, layout.fatBytes);
        }
        WriteBytes(image, Bytes(doc.imageBuffer.data(), doc.imageBuffer.data() + doc.imageSize));
    }

    void AddSource(ImageDocument& doc, const char* name, const Bytes& bytes) {
        WriteBytes(folder.File(name), bytes);
        ASSERT_TRUE(win32::Shown(nullptr, AddHostFile(doc, folder.File(name), win32::CurrentFileOptions(), kRootDir)));
    }

    void Start(bool readOnly = false, bool force = false) {
        win32::CommandLine line;
        line.forceSwitch = force;
        if (!readOnly) {
            line.imagePath = image;
        }
        ASSERT_TRUE(StartWindow(line));
        if (readOnly) {
            ASSERT_TRUE(win32::OpenDocument(win32::TheDocument(), Window(), image, true));
        }
    }

    std::vector<std::string> Items() const {
        std::vector<std::string> texts;
        for (int i = 0; i < ItemCount(); ++i) texts.push_back(ItemText(i, 0));
        return texts;
    }

    std::string CountText() const {
        char text[64] = "";
        wsprintfA(text, std::string(LoadText(kStrObjectCount)).c_str(), static_cast<unsigned long>(ItemCount()));
        return text;
    }

    // Closes the window's document and opens the saved image on its own for
    // `judge`.
    template <typename Judge>
    void JudgeSavedImage(Judge judge) {
        ASSERT_TRUE(win32::CloseDocument(win32::TheDocument(), false));
        ImageDocument saved;
        ASSERT_TRUE(OpenImage(saved, image, true).Done());
        judge(saved);
        CloseImage(saved);
    }

    // Extracts `path` of `doc` and compares it with `expected`.
    void ExpectExtracts(const ImageDocument& doc, const char* path, const Bytes& expected) {
        PathTarget target;
        ASSERT_TRUE(ResolvePath(VolumeOf(doc), path, target).Done()) << path;
        const std::string out = folder.File(std::string("out_") + path);
        ASSERT_TRUE(ExtractEntry(doc, target.entryOffset, kReplaceSilently, out).Done()) << path;
        EXPECT_EQ(ReadBytes(out), expected) << path;
    }

    // F1 typed on the keyboard, the dialog's own loop standing in for the
    // modal loop until help has answered (a box) or a second has passed.
    void PressF1(HWND dialog, size_t boxesBefore) {
        SetForegroundWindow(dialog);
        INPUT keys[2] = {};
        keys[0].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = VK_F1;
        keys[1] = keys[0];
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
        const DWORD start = GetTickCount();
        while (boxes.Boxes().size() == boxesBefore && GetTickCount() - start < 1000) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!IsDialogMessageA(dialog, &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageA(&msg);
                }
            }
            Sleep(10);
        }
    }

    std::string image;
    uint32_t lostCluster = 0;
    BoxCatcher boxes{true};
};

TEST_F(CheckWindow, FixMendsTheListedFindingsSavesAndShowsTheMendedDisk) {
    MakeImage(Damage::kLostChainAndLongSize);
    const Bytes before = ReadBytes(image);
    Start();
    std::vector<std::string> kinds;
    std::vector<std::string> places;
    std::string mendedSummary;
    bool fixOffered = false;
    bool fixLeftOffered = true;
    WithDialog(
        kCheckCaption,
        [&](HWND dialog) {
            HWND list = GetDlgItem(dialog, IDC_CHECK_FINDINGS);
            for (int row = 0; row < RowCount(list); ++row) {
                kinds.push_back(RowText(list, row, 0));
                places.push_back(RowText(list, row, 1));
                EXPECT_FALSE(RowText(list, row, 2).empty()) << "row " << row << " says no mend";
            }
            EXPECT_EQ(ControlText(dialog, IDC_CHECK_SUMMARY), Expanded(kMsgCheckFindings, {"CHECK.DSK", "2"}));
            fixOffered = Enabled(dialog, IDC_CHECK_FIX);
            Click(dialog, IDC_CHECK_FIX);
            mendedSummary = ControlText(dialog, IDC_CHECK_SUMMARY);
            fixLeftOffered = Enabled(dialog, IDC_CHECK_FIX);
            Click(dialog, IDCANCEL);
        },
        [&] { Command(ID_EXTRAS_CHECK_DISK); });

    std::sort(kinds.begin(), kinds.end());
    std::vector<std::string> expectedKinds = {std::string(LoadText(kStrFindLostChain)),
                                              std::string(LoadText(kStrFindSizeLonger))};
    std::sort(expectedKinds.begin(), expectedKinds.end());
    EXPECT_EQ(kinds, expectedKinds);
    EXPECT_NE(std::find(places.begin(), places.end(), "README.TXT"), places.end());
    EXPECT_NE(std::find(places.begin(), places.end(), Expanded(kStrPlaceCluster, {std::to_string(lostCluster)})),
              places.end());
    EXPECT_TRUE(fixOffered);
    EXPECT_EQ(mendedSummary, Expanded(kMsgCheckMended, {"CHECK.DSK", "2", "0"}));
    EXPECT_FALSE(fixLeftOffered) << "nothing is left to mend";
    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes().front().text;

    // The lost chain is kept in FOUND.000, which the list and its count show.
    EXPECT_EQ(Items(), (std::vector<std::string>{"README.TXT", "DATA.BIN", "LAST.TXT", "FOUND.000"}));
    EXPECT_EQ(StatusPart(0), CountText());
    EXPECT_FALSE(win32::TheDocument().modified) << "Fix saves";

    const Bytes after = ReadBytes(image);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + kBootBytes, after.begin())) << "boot sector written";
    JudgeSavedImage([&](const ImageDocument& saved) {
        EXPECT_TRUE(CheckDisk(saved).Sound());
        ExpectExtracts(saved, "DATA.BIN", Pattern(kDataSize, 2));
        PathTarget kept;
        EXPECT_TRUE(ResolvePath(VolumeOf(saved), "FOUND.000\\FILE0000.CHK", kept).Done());
    });
}

TEST_F(CheckWindow, FixIsOfferedOnlyWhenSomethingCanBeMendedAndSaved) {
    const struct {
        const char* name;
        Damage damage;
        bool readOnly;
        bool rows;
        bool fix;
    } cases[] = {
        {"sound disk", Damage::kNone, false, false, false},
        {"damaged, opened read-only", Damage::kLostChainAndLongSize, true, true, false},
        {"damaged", Damage::kLostChainAndLongSize, false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MakeImage(c.damage);
        const Bytes before = ReadBytes(image);
        Start(c.readOnly);
        WithDialog(
            kCheckCaption,
            [&](HWND dialog) {
                EXPECT_EQ(RowCount(GetDlgItem(dialog, IDC_CHECK_FINDINGS)) > 0, c.rows);
                EXPECT_EQ(Enabled(dialog, IDC_CHECK_FIX), c.fix);
                if (!c.rows) {
                    EXPECT_EQ(ControlText(dialog, IDC_CHECK_SUMMARY), Expanded(kMsgCheckSound, {"CHECK.DSK"}));
                }
                Click(dialog, IDCANCEL);
            },
            [&] { Command(ID_EXTRAS_CHECK_DISK); });
        EXPECT_EQ(ReadBytes(image), before) << "a check alone writes nothing";
        TearDown();
    }
}

TEST_F(CheckWindow, UndeleteBringsBackADeletedFileByteForByte) {
    MakeImage(Damage::kNone);
    Start(false, true);
    for (int item = 0; item < ItemCount(); ++item) Select(item, true);
    Command(ID_EDIT_DELETE);
    ASSERT_EQ(ItemCount(), 0);
    // A new file takes clusters 2 and 3: README.TXT and DATA.BIN, which
    // began there, cannot come back; LAST.TXT can.
    WriteBytes(folder.File("NEW.TXT"), Pattern(2000, 9));
    ASSERT_TRUE(win32::Shown(nullptr, AddHostFile(win32::TheDocument(), folder.File("NEW.TXT"),
                                                  win32::CurrentFileOptions(), kRootDir)));
    win32::ShowChangedDisk(win32::TheDocument());

    std::vector<std::string> names;
    std::vector<std::string> states;
    std::vector<UINT> checkBoxes;
    std::vector<UINT> ticked;
    bool offeredUnticked = true;
    int rowsLeft = -1;
    WithDialog(
        kUndeleteCaption,
        [&](HWND dialog) {
            HWND list = GetDlgItem(dialog, IDC_UNDELETE_LIST);
            offeredUnticked = Enabled(dialog, IDC_UNDELETE_RUN);
            for (int row = 0; row < RowCount(list); ++row) {
                names.push_back(RowText(list, row, 0));
                states.push_back(RowText(list, row, 2));
                checkBoxes.push_back(StateImage(list, row));
                Tick(list, row, true);
                ticked.push_back(StateImage(list, row));
            }
            SetDlgItemTextA(dialog, IDC_UNDELETE_FIRST, "L");
            Click(dialog, IDC_UNDELETE_RUN);
            rowsLeft = RowCount(list);
            Click(dialog, IDCANCEL);
        },
        [&] { Command(ID_EXTRAS_UNDELETE); });

    EXPECT_FALSE(offeredUnticked) << "Undelete waits for a tick";
    const std::string no(LoadText(kStrUndeleteNotRecoverable));
    EXPECT_EQ(names, (std::vector<std::string>{"?EADME.TXT", "?ATA.BIN", "?AST.TXT"}));
    EXPECT_EQ(states, (std::vector<std::string>{no, no, std::string(LoadText(kStrUndeleteRecoverable))}));
    // No check box on the rows that cannot come back, and no tick takes there.
    EXPECT_EQ(checkBoxes, (std::vector<UINT>{0, 0, 1}));
    EXPECT_EQ(ticked, (std::vector<UINT>{0, 0, 2}));
    EXPECT_EQ(rowsLeft, 2);
    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes().front().text;
    EXPECT_EQ(Items(), (std::vector<std::string>{"LAST.TXT", "NEW.TXT"}));
    EXPECT_EQ(StatusPart(0), CountText());

    Command(ID_FILE_SAVE);
    JudgeSavedImage([&](const ImageDocument& saved) {
        ExpectExtracts(saved, "LAST.TXT", Pattern(kReadmeSize, 3));
        EXPECT_TRUE(CheckDisk(saved).Sound());
    });
}

constexpr char kMissingServerKey[] = "Software\\VolkarnCheckHelpTest\\InprocServer32";

TEST_F(CheckWindow, F1InEitherDialogAsksForItsHelp) {
    MakeImage(Damage::kNone);
    Start();
    win32::ResetHelpControl({HKEY_CURRENT_USER, kMissingServerKey, "volkarn_no_such_help.ocx"});
    for (const auto& d : {std::make_pair(kCheckCaption, ID_EXTRAS_CHECK_DISK),
                          std::make_pair(kUndeleteCaption, ID_EXTRAS_UNDELETE)}) {
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
