// Drag and drop wired into the real main window: dropped files reach its
// list, a drag start with a directory selected is refused, the drag-out
// folder goes with Close, New, Exit and the window's close, and - when the
// xdotool script drives it - a real mouse drag of two files from the list
// onto a second window.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "tests/win32/box_catcher.h"
#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "engine/core/new_image.h"
#include "win32/dragdrop/dragdrop.h"
#include "win32/dragdrop/raw_drop_target.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/table/fat12.h"
#include <gtest/gtest.h>
#include "win32/resources/command_ids.h"
#include "win32/ui/app_state.h"
#include "win32/ui/list_sync.h"
#include "win32/ui/main_window.h"
#include "tests/win32/main_window/window_fixture.h"
#include "win32/ui/document_view.h"

namespace vk::test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Pattern(size_t size, uint8_t seed) {
    Bytes b(size);
    for (size_t i = 0; i < size; ++i) b[i] = static_cast<uint8_t>(seed + i * 11 + i / 700);
    return b;
}

struct ImageFile {
    const char* name11;
    const char* shown;
    uint8_t attr;
    Bytes data;
};

// A 720 KB image holding `files` with their data, each in whole clusters
// one after the other.
void WriteImageWithData(const std::string& path, const std::vector<ImageFile>& files) {
    ImageDocument doc;
    ASSERT_TRUE(win32::Shown(nullptr, CreateEmptyImage(doc, 0xF9, 0)));
    const Layout layout = doc.GetLayout();
    uint8_t* entry = doc.Area() + layout.rootStart;
    uint32_t cluster = 2;
    for (const ImageFile& f : files) {
        std::memcpy(entry + kDirName, f.name11, kDirFullNameLength);
        entry[kDirAttr] = f.attr;
        Store16(entry + kDirDate, (2003 - 1980) << 9 | 4 << 5 | 5);
        Store32(entry + kDirSize, static_cast<uint32_t>(f.data.size()));
        Store16(entry + kDirFirstCluster, f.data.empty() ? 0 : cluster);
        for (size_t done = 0; done < f.data.size(); done += layout.clusterBytes, ++cluster) {
            const size_t piece = std::min<size_t>(layout.clusterBytes, f.data.size() - done);
            std::memcpy(doc.Area() + layout.ClusterOffset(cluster), f.data.data() + done, piece);
            const bool last = done + piece >= f.data.size();
            ASSERT_TRUE(WriteFatEntry(Volume(layout, doc.Area(), doc.AreaLength()), cluster, last ? kFatEnd : cluster + 1));
        }
        entry += kDirEntrySize;
    }
    // Both FAT copies alike, or opening offers to repair the second.
    for (uint32_t copy = 1; copy < layout.fatCount; ++copy) {
        std::memcpy(doc.Area() + layout.FatCopyStart(copy), doc.Area() + layout.fatStart, layout.fatBytes);
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(doc.imageBuffer.data()), doc.imageSize);
    ASSERT_TRUE(out.good());
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> FolderFiles(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void Pump(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message != WM_QUIT) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        Sleep(10);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

// A second window standing in for a shell folder: files dropped on it are
// copied into `folder`, as a folder window would copy them.
class FolderWindow {
public:
    FolderWindow(const std::string& folder, int left, int top) : folder_(folder) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
        wc.lpszClassName = "VkFolderTestWindow";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "folder", WS_POPUP | WS_BORDER | WS_VISIBLE, left,
                                top, 260, 200, nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        target_ = new win32::RawDropTarget;
        target_->AddRef();
        registered_ = target_->Register(hwnd_);
    }
    ~FolderWindow() {
        target_->Revoke();
        target_->Release();
        DestroyWindow(hwnd_);
    }
    HWND Handle() const { return hwnd_; }
    bool Registered() const { return registered_; }
    int drops = 0;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<FolderWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self != nullptr && message == win32::kDroppedFilesMessage) {
            auto drop = reinterpret_cast<HDROP>(wParam);
            const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count; ++i) {
                char path[MAX_PATH] = "";
                DragQueryFileA(drop, i, path, sizeof path);
                const char* name = std::strrchr(path, '\\');
                CopyFileA(path, (self->folder_ + (name != nullptr ? name : "\\?")).c_str(), FALSE);
            }
            ++self->drops;
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    std::string folder_;
    HWND hwnd_ = nullptr;
    win32::RawDropTarget* target_ = nullptr;
    bool registered_ = false;
};

class MainWindowDragTest : public MainWindowTest {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    static void TearDownTestSuite() { OleUninitialize(); }
    void TearDown() override {
        win32::ReleaseDropTarget();
        win32::RemoveDragTempDirectory();
        MainWindowTest::TearDown();
    }
    // The main window on an image with two files and a directory.
    void StartOnImage() {
        image = folder.File("TWO.DSK");
        WriteImageWithData(image, {{"ALPHA   TXT", "ALPHA.TXT", kAttrArchive, Pattern(1500, 1)},
                                   {"BRAVO   BIN", "BRAVO.BIN", kAttrArchive, Pattern(3000, 2)},
                                   {"SUB        ", "SUB", kAttrDirectory, {}}});
        win32::CommandLine line;
        line.imagePath = image;
        ASSERT_TRUE(StartWindow(line));
        ASSERT_EQ(ItemCount(), 3);
    }
    std::string image;
};

struct Leaving {
    const char* name;
    UINT command;  // 0: the window's own close
};
void PrintTo(const Leaving& c, std::ostream* os) { *os << c.name; }

class DragFolderRemoval : public MainWindowDragTest, public ::testing::WithParamInterface<Leaving> {};

TEST_P(DragFolderRemoval, TheDragFolderGoes) {
    BoxCatcher boxes;  // a dialog that comes up after closing is cancelled
    StartOnImage();
    Select(0, true);
    ByteBlock list;
    ASSERT_TRUE(win32::ExtractDragFiles(Window(), win32::TheDocument(), win32::SelectedEntries(win32::MainParts().list), list));
    const std::string dragFolder = win32::DragTempDirectory();
    ASSERT_TRUE(IsFolder(dragFolder));
    if (GetParam().command != 0) {
        Command(GetParam().command);
    } else {
        SendMessageA(Window(), WM_CLOSE, 0, 0);
    }
    Pump(50);
    EXPECT_FALSE(IsFolder(dragFolder));
    EXPECT_TRUE(win32::DragTempDirectory().empty());
}

INSTANTIATE_TEST_SUITE_P(Leaving, DragFolderRemoval,
                         ::testing::Values(Leaving{"Close", ID_FILE_CLOSE}, Leaving{"New", ID_FILE_NEW},
                                           Leaving{"Exit", ID_FILE_EXIT}, Leaving{"WindowClose", 0}),
                         [](const ::testing::TestParamInfo<Leaving>& info) { return std::string(info.param.name); });

TEST_F(MainWindowDragTest, ADragStartWithTheDirectorySelectedIsRefused) {
    BoxCatcher boxes;
    StartOnImage();
    Select(0, true);
    Select(2, true);
    NMLISTVIEW begin = {};
    begin.hdr.hwndFrom = List();
    begin.hdr.idFrom = IDC_EXPLORER_LIST;
    begin.hdr.code = LVN_BEGINDRAG;
    begin.iItem = 0;
    SendMessageA(Window(), WM_NOTIFY, IDC_EXPLORER_LIST, reinterpret_cast<LPARAM>(&begin));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "File(s) cannot be saved (directory or volume-label)!");
    EXPECT_TRUE(FolderFiles(win32::DragTempDirectory()).empty()) << "nothing is written";
}

IDataObject* ShellDataObjectFor(const std::string& folderPath, const std::vector<std::wstring>& names) {
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop))) return nullptr;
    std::wstring wide(folderPath.begin(), folderPath.end());
    LPITEMIDLIST folderId = nullptr;
    IShellFolder* parent = nullptr;
    IDataObject* data = nullptr;
    if (SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, &wide[0], nullptr, &folderId, nullptr)) &&
        SUCCEEDED(desktop->BindToObject(folderId, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&parent)))) {
        std::vector<LPITEMIDLIST> children;
        for (std::wstring name : names) {
            LPITEMIDLIST child = nullptr;
            if (SUCCEEDED(parent->ParseDisplayName(nullptr, nullptr, &name[0], nullptr, &child, nullptr))) {
                children.push_back(child);
            }
        }
        if (children.size() == names.size()) {
            parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()),
                                  const_cast<LPCITEMIDLIST*>(reinterpret_cast<LPITEMIDLIST*>(children.data())),
                                  IID_IDataObject, nullptr, reinterpret_cast<void**>(&data));
        }
        for (LPITEMIDLIST child : children) CoTaskMemFree(child);
        parent->Release();
    }
    CoTaskMemFree(folderId);
    desktop->Release();
    return data;
}

TEST_F(MainWindowDragTest, DroppedFilesReachTheMainList) {
    StartOnImage();
    win32::RegisterDropTarget(Window());
    ASSERT_NE(win32::RegisteredDropTarget(), nullptr);
    for (const char* name : {"NEWONE.TXT", "NEWTWO.TXT"}) {
        std::ofstream(folder.File(name), std::ios::binary) << name;
    }
    IDataObject* data = ShellDataObjectFor(folder.File(""), {L"NEWONE.TXT", L"NEWTWO.TXT"});
    ASSERT_NE(data, nullptr);
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    const POINTL at = {10, 10};
    IDropTarget* target = win32::RegisteredDropTarget();
    ASSERT_EQ(target->DragEnter(data, MK_LBUTTON, at, &effect), S_OK);
    ASSERT_EQ(target->Drop(data, 0, at, &effect), S_OK);
    data->Release();
    ASSERT_EQ(ItemCount(), 5);
    EXPECT_EQ(ItemText(3, 0), "NEWONE.TXT");
    EXPECT_EQ(ItemText(4, 0), "NEWTWO.TXT");
    EXPECT_TRUE(win32::TheDocument().modified);
}

// Driven from outside by xdotool_drag.sh: the list's two files are selected,
// their screen points written to the handshake file, and the test waits
// for the script's mouse to drag them onto the folder window.
TEST_F(MainWindowDragTest, XdotoolDragsTwoFilesOntoAFolderWindow) {
    const char* handshake = std::getenv("VOLKARN_DRAG_HANDSHAKE");
    if (handshake == nullptr) {
        GTEST_SKIP() << "run by xdotool_drag.sh";
    }
    StartOnImage();
    win32::RegisterDropTarget(Window());
    SetWindowPos(Window(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(Window());
    Select(0, true);
    Select(1, true);
    const std::string dropFolder = folder.File("dropped");
    CreateDirectoryA(dropFolder.c_str(), nullptr);
    FolderWindow target(dropFolder, 600, 300);
    ASSERT_TRUE(target.Registered());
    Pump(300);

    RECT item = {};
    item.left = LVIR_LABEL;
    ASSERT_TRUE(SendMessageA(List(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item)));
    POINT from = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(List(), &from);
    RECT folderRect;
    GetWindowRect(target.Handle(), &folderRect);
    const POINT to = {(folderRect.left + folderRect.right) / 2, (folderRect.top + folderRect.bottom) / 2};
    {
        std::ofstream out(std::string(handshake) + ".tmp");
        out << from.x << ' ' << from.y << ' ' << to.x << ' ' << to.y << '\n';
    }
    MoveFileA((std::string(handshake) + ".tmp").c_str(), handshake);

    // The drag loop runs inside this pump, in the list's button-down handling.
    const DWORD deadline = GetTickCount() + 30000;
    while (target.drops == 0 && static_cast<LONG>(deadline - GetTickCount()) > 0) {
        Pump(50);
    }
    ASSERT_EQ(target.drops, 1) << "no drop arrived at the folder window";
    EXPECT_EQ(FolderFiles(dropFolder), (std::vector<std::string>{"ALPHA.TXT", "BRAVO.BIN"}));
    EXPECT_EQ(ReadBytes(dropFolder + "\\ALPHA.TXT"), Pattern(1500, 1));
    EXPECT_EQ(ReadBytes(dropFolder + "\\BRAVO.BIN"), Pattern(3000, 2));
    EXPECT_EQ(FolderFiles(win32::DragTempDirectory()), (std::vector<std::string>{"ALPHA.TXT", "BRAVO.BIN"}));
    EXPECT_EQ(ItemCount(), 3) << "the image is unchanged";
    EXPECT_FALSE(win32::TheDocument().modified);
    for (const char* name : {"ALPHA.TXT", "BRAVO.BIN"}) DeleteFileA((dropFolder + "\\" + name).c_str());
    RemoveDirectoryA(dropFolder.c_str());
}

}  // namespace
}  // namespace vk::test
