// Folders in the real main window: opening one in the list and going back
// up, the path in the title and the status bar, a damaged folder refused,
// New folder, Delete folder, a drop into a folder and a folder dragged out.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "engine/core/new_image.h"
#include "engine/fat/ops/add_file.h"
#include "engine/fat/ops/dir_ops.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/table/fat12.h"
#include "tests/support/box_flags.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "tests/win32/box_catcher.h"
#include "tests/win32/main_window/window_fixture.h"
#include "win32/dragdrop/dragdrop.h"
#include "win32/resources/command_ids.h"
#include "win32/ui/app_state.h"
#include "win32/ui/document_view.h"
#include "win32/ui/explorer_list.h"
#include "win32/ui/file_options.h"
#include "win32/ui/folder_commands.h"
#include "win32/ui/list_sync.h"

namespace vk::test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Pattern(size_t size, uint8_t seed) {
    Bytes b(size);
    for (size_t i = 0; i < size; ++i) b[i] = static_cast<uint8_t>(seed + i * 7 + i / 512);
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

// A message as its box shows it: the inserts in, each line break CR LF.
std::string Expanded(unsigned id, std::initializer_list<std::string_view> inserts) {
    std::string text;
    ExpandInserts(LoadText(id), inserts, text);
    std::string shown;
    for (const char c : text) {
        if (c == '\n') shown += '\r';
        shown += c;
    }
    return shown;
}

// The host files the image's files come from: name, size, pattern seed.
struct HostSource {
    const char* name;
    size_t size;
    uint8_t seed;
};
const HostSource kReadme = {"README.TXT", 700, 1};
const HostSource kPlay = {"PLAY.TXT", 1500, 2};
const HostSource kData = {"DATA.BIN", 3000, 3};

// The main window on FOLDERS.DSK:
//   README.TXT  GAMES\PLAY.TXT  GAMES\SHOOT\DATA.BIN  BAD (its "." names
//   another cluster, so it cannot be entered)
class FolderWindow : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        UseProgramAccelerators();
        image = folder.File("FOLDERS.DSK");
        ImageDocument doc;
        ASSERT_TRUE(win32::Shown(nullptr, CreateEmptyImage(doc, 0xF9, 0)));
        Add(doc, kReadme, kRootDir);
        const DirRef games = MakeIn(doc, kRootDir, "GAMES");
        const DirRef shoot = MakeIn(doc, games, "SHOOT");
        Add(doc, kPlay, games);
        Add(doc, kData, shoot);
        const DirRef bad = MakeIn(doc, kRootDir, "BAD");
        const Layout layout = doc.GetLayout();
        Store16(doc.Area() + layout.ClusterOffset(bad.cluster) + kDirFirstCluster, shoot.cluster);
        for (uint32_t copy = 1; copy < layout.fatCount; ++copy) {
            std::memcpy(doc.Area() + layout.FatCopyStart(copy), doc.Area() + layout.fatStart, layout.fatBytes);
        }
        WriteBytes(image, Bytes(doc.imageBuffer.data(), doc.imageBuffer.data() + doc.imageSize));
        win32::CommandLine line;
        line.imagePath = image;
        ASSERT_TRUE(StartWindow(line));
    }

    std::string HostPath(const HostSource& source) { return folder.File(source.name); }

    void Add(ImageDocument& doc, const HostSource& source, DirRef dir) {
        WriteBytes(HostPath(source), Pattern(source.size, source.seed));
        ASSERT_TRUE(win32::Shown(nullptr, AddHostFile(doc, HostPath(source), win32::CurrentFileOptions(), dir)));
    }

    static DirRef MakeIn(ImageDocument& doc, DirRef dir, const char* name) {
        const Result made = MakeFolderIn(doc, dir, name, win32::CurrentFileOptions());
        EXPECT_TRUE(made.Done() && made.changes.added.size() == 1u) << name;
        return made.Done() ? DirRef{Load16(doc.Area() + made.changes.added.front() + kDirFirstCluster)} : kRootDir;
    }

    std::vector<std::string> Items() const {
        std::vector<std::string> texts;
        for (int i = 0; i < ItemCount(); ++i) texts.push_back(ItemText(i, 0));
        return texts;
    }
    int IndexOf(const std::string& text) const {
        for (int i = 0; i < ItemCount(); ++i) {
            if (ItemText(i, 0) == text) return i;
        }
        ADD_FAILURE() << text << " is not listed";
        return -1;
    }
    std::vector<std::string> SelectedItems() const {
        std::vector<std::string> texts;
        for (int i = -1; (i = static_cast<int>(SendMessageA(List(), LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0;) {
            texts.push_back(ItemText(i, 0));
        }
        return texts;
    }
    // Focuses and selects the item named `text` alone.
    void Pick(const std::string& text) {
        for (int i = 0; i < ItemCount(); ++i) Select(i, false);
        Select(IndexOf(text), true);
    }
    void DoubleClick(const std::string& text) {
        RECT item = {};
        item.left = LVIR_LABEL;
        SendMessageA(List(), LVM_GETITEMRECT, IndexOf(text), reinterpret_cast<LPARAM>(&item));
        const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        SendMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(List(), WM_LBUTTONUP, 0, at);
        SendMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageA(List(), WM_LBUTTONUP, 0, at);
    }
    HWND LabelEditor() const { return reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETEDITCONTROL, 0, 0)); }

    std::string image;
    const std::vector<std::string> kRootItems = {"README.TXT", "GAMES", "BAD"};
};

TEST_F(FolderWindow, FoldersOpenInTheListAndTheTitleAndStatusBarFollow) {
    ASSERT_EQ(kRootItems, Items());
    EXPECT_EQ("", StatusPart(1)) << "at the root the bar is the count alone";
    Pick("GAMES");
    PressKey(VK_RETURN, false, false, false);
    EXPECT_EQ((std::vector<std::string>{"SHOOT", "PLAY.TXT"}), Items());
    EXPECT_EQ("FOLDERS.DSK\\GAMES - Volkarn", Title());
    EXPECT_EQ("\\GAMES", StatusPart(1));
    EXPECT_EQ("2 Object(s)", StatusText());

    DoubleClick("SHOOT");
    EXPECT_EQ(std::vector<std::string>{"DATA.BIN"}, Items());
    EXPECT_EQ("FOLDERS.DSK\\GAMES\\SHOOT - Volkarn", Title());
    EXPECT_EQ("\\GAMES\\SHOOT", StatusPart(1));

    PressKey(VK_BACK, false, false, false);
    EXPECT_EQ("FOLDERS.DSK\\GAMES - Volkarn", Title());
    EXPECT_EQ(std::vector<std::string>{"SHOOT"}, SelectedItems()) << "the folder left is selected";

    PressKey(VK_UP, false, true, false);
    EXPECT_EQ(kRootItems, Items());
    EXPECT_EQ("FOLDERS.DSK - Volkarn", Title());
    EXPECT_EQ("", StatusPart(1));
    EXPECT_EQ(std::vector<std::string>{"GAMES"}, SelectedItems());

    RecordCommands();
    PressKey(VK_BACK, false, false, false);
    EXPECT_TRUE(Commands().empty()) << "Parent folder is grayed at the root";
    EXPECT_EQ(kRootItems, Items());
}

TEST_F(FolderWindow, AltDoubleClickStillShowsPropertiesAndAFileOpensNothing) {
    BoxCatcher boxes;  // the properties sheet is closed as it shows
    RecordCommands();
    BYTE keys[256] = {};
    keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
    DoubleClick("GAMES");
    BYTE none[256] = {};
    SetKeyboardState(none);
    EXPECT_EQ(std::vector<UINT>{ID_EDIT_PROPERTIES}, Commands());
    DoubleClick("README.TXT");
    EXPECT_EQ(kRootItems, Items());
    EXPECT_EQ("FOLDERS.DSK - Volkarn", Title());
}

TEST_F(FolderWindow, ADamagedFolderIsNamedAndNotEntered) {
    BoxCatcher boxes;
    Pick("BAD");
    PressKey(VK_RETURN, false, false, false);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(Expanded(kMsgStoredFileCorrupt, {"BAD"}), boxes.Boxes()[0].text);
    EXPECT_EQ(unsigned(kBoxOk), boxes.Boxes()[0].buttons);
    EXPECT_EQ(unsigned(kIconError), boxes.Boxes()[0].icon);
    EXPECT_EQ(kRootItems, Items());
    EXPECT_EQ("FOLDERS.DSK - Volkarn", Title());
}

TEST_F(FolderWindow, OpeningAnImageStartsAtItsRoot) {
    Pick("GAMES");
    PressKey(VK_RETURN, false, false, false);
    const std::string other = folder.File("OTHER.DSK");
    WriteImageFile(other, {{"ONE     TXT"}});
    ASSERT_TRUE(win32::OpenDocument(win32::TheDocument(), Window(), other));
    EXPECT_EQ("OTHER.DSK - Volkarn", Title());
    EXPECT_EQ(std::vector<std::string>{"ONE.TXT"}, Items());
    EXPECT_EQ("", StatusPart(1));
}

TEST_F(FolderWindow, NewFolderTakesAFreeNameAndOpensItsLabelEditor) {
    Pick("GAMES");
    PressKey(VK_RETURN, false, false, false);
    Command(ID_EDIT_NEW_FOLDER);
    EXPECT_EQ((std::vector<std::string>{"SHOOT", "PLAY.TXT", "NEWFOLDR"}), Items());
    EXPECT_EQ(std::vector<std::string>{"NEWFOLDR"}, SelectedItems());
    ASSERT_NE(nullptr, LabelEditor());
    SendMessageA(LabelEditor(), WM_KEYDOWN, VK_ESCAPE, 0);

    Command(ID_EDIT_NEW_FOLDER);
    EXPECT_EQ(std::vector<std::string>{"NEWFOLD2"}, SelectedItems());
    ASSERT_NE(nullptr, LabelEditor());
    {
        // A refused name is said, and the editor opens again with it, all selected.
        BoxCatcher boxes;
        SetWindowTextA(LabelEditor(), "my games");
        SendMessageA(LabelEditor(), WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_EQ(1u, boxes.Boxes().size());
    }
    DrainMessages();
    ASSERT_NE(nullptr, LabelEditor()) << "the editor is open again";
    char typed[32] = "";
    GetWindowTextA(LabelEditor(), typed, sizeof typed);
    EXPECT_STREQ("my games", typed);
    DWORD from = 1, to = 0;
    SendMessageA(LabelEditor(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(0u, from);
    EXPECT_EQ(8u, to);
    EXPECT_EQ(std::vector<std::string>{"NEWFOLD2"}, SelectedItems());
    SetWindowTextA(LabelEditor(), "levels");
    SendMessageA(LabelEditor(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ((std::vector<std::string>{"SHOOT", "PLAY.TXT", "NEWFOLDR", "LEVELS"}), Items());
    EXPECT_TRUE(win32::TheDocument().modified);

    DoubleClick("LEVELS");
    EXPECT_EQ("FOLDERS.DSK\\GAMES\\LEVELS - Volkarn", Title());
    EXPECT_EQ(0, ItemCount()) << "no \".\" or \"..\" row";
    PressKey(VK_BACK, false, false, false);
    PressKey(VK_BACK, false, false, false);
    EXPECT_EQ(kRootItems, Items()) << "the new folders are GAMES's";
}

TEST_F(FolderWindow, DeleteKeepsAFolderAndDeleteFolderRemovesItsTreeAfterOneQuestion) {
    ImageDocument& doc = win32::TheDocument();
    Pick("GAMES");
    uint32_t entry = 0;
    ASSERT_TRUE(win32::ItemEntryOffset(List(), IndexOf("GAMES"), entry));
    const uint32_t cluster = Load16(doc.Area() + entry + kDirFirstCluster);
    {
        BoxCatcher boxes;
        Command(ID_EDIT_DELETE);
        ASSERT_EQ(1u, boxes.Boxes().size());
        EXPECT_EQ(Expanded(kMsgCannotDeleteDir, {"GAMES"}), boxes.Boxes()[0].text);
        EXPECT_EQ(kRootItems, Items());
    }
    BoxCatcher boxes;
    boxes.Answer(IDYES);
    Command(ID_EDIT_DELETE_FOLDER);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(Expanded(kMsgDeleteFolderTree, {"GAMES", "2"}), boxes.Boxes()[0].text);
    EXPECT_EQ(unsigned(kBoxYesNoCancel), boxes.Boxes()[0].buttons);
    EXPECT_EQ(unsigned(kIconQuestion), boxes.Boxes()[0].icon);
    EXPECT_EQ((std::vector<std::string>{"README.TXT", "BAD"}), Items());
    EXPECT_EQ(0u, ReadFatEntry(VolumeOf(doc), cluster));
    EXPECT_TRUE(doc.modified);
}

TEST_F(FolderWindow, ADropGoesIntoTheFolderShown) {
    BoxCatcher boxes;  // none is expected; one would be cancelled, not wait
    Pick("GAMES");
    PressKey(VK_RETURN, false, false, false);
    const HostSource dropped = {"NEW.TXT", 900, 4};
    WriteBytes(HostPath(dropped), Pattern(dropped.size, dropped.seed));
    // The shell's drop list: a DROPFILES header, the path, two zeros.
    const std::string path = HostPath(dropped);
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + path.size() + 2);
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), path.c_str(), path.size());
    GlobalUnlock(drop);
    SendMessageA(Window(), win32::kDroppedFilesMessage, reinterpret_cast<WPARAM>(drop), 0);
    GlobalFree(drop);
    EXPECT_EQ((std::vector<std::string>{"SHOOT", "PLAY.TXT", "NEW.TXT"}), Items());
    EXPECT_TRUE(boxes.Boxes().empty());
    PressKey(VK_BACK, false, false, false);
    EXPECT_EQ(kRootItems, Items());
}

TEST_F(FolderWindow, DraggingAFolderOutExtractsItsTree) {
    BoxCatcher boxes;  // none is expected; one would be cancelled, not wait
    Pick("GAMES");
    ByteBlock fileList;
    ASSERT_TRUE(win32::ExtractDragFiles(Window(), win32::TheDocument(), win32::SelectedEntries(List()), fileList));
    const std::string games = win32::DragTempDirectory() + "\\GAMES";
    EXPECT_EQ(games, std::string(reinterpret_cast<const char*>(fileList.data())));
    EXPECT_EQ(Pattern(kPlay.size, kPlay.seed), ReadBytes(games + "\\PLAY.TXT"));
    EXPECT_EQ(Pattern(kData.size, kData.seed), ReadBytes(games + "\\SHOOT\\DATA.BIN"));
    EXPECT_TRUE(boxes.Boxes().empty());
    win32::RemoveDragTempDirectory();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(games.c_str())) << "the drag-out folder goes whole";
}

TEST(NewFolderName, TheFirstFreeOfTheNumberedNames) {
    const struct {
        std::set<std::string> taken;
        const char* expected;
    } kCases[] = {
        {{}, "NEWFOLDR"},
        {{"NEWFOLDR"}, "NEWFOLD2"},
        {{"NEWFOLDR", "NEWFOLD2", "NEWFOLD3"}, "NEWFOLD4"},
        {{"NEWFOLDR", "NEWFOLD2", "NEWFOLD3", "NEWFOLD4", "NEWFOLD5", "NEWFOLD6", "NEWFOLD7", "NEWFOLD8",
          "NEWFOLD9"},
         "NEWFOL10"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(c.expected,
                  win32::UniqueFolderName([&c](const std::string& name) { return c.taken.count(name) > 0; }));
    }
}

}  // namespace
}  // namespace vk::test
