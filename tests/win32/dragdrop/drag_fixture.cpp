#include "tests/win32/dragdrop/drag_fixture.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "engine/core/new_image.h"
#include "win32/dragdrop/com_shared.h"
#include "win32/dragdrop/dragdrop.h"
#include "engine/fat/ops/add_file.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/extract.h"
#include "engine/fat/dir/root_directory.h"
#include "win32/ui/list_sync.h"

namespace vk::test {
namespace {

constexpr char kDropWindowClass[] = "VkDropTestWindow";
constexpr int kWindowWidth = 320;
constexpr int kWindowHeight = 220;

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n - 1 : 0);
    return wide;
}

HWND g_listOwner = nullptr;
HWND g_list = nullptr;

}  // namespace

HWND TestList() { return g_list; }

DropWindow::DropWindow(ImageDocument* targetDoc, int left, int top) : target(targetDoc) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kDropWindowClass;
    RegisterClassA(&wc);  // the second time it is already there
    hwnd_ = CreateWindowExA(WS_EX_TOPMOST, kDropWindowClass, "drop test", WS_POPUP | WS_BORDER | WS_VISIBLE, left,
                            top, kWindowWidth, kWindowHeight, nullptr, nullptr, wc.hInstance, this);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    UpdateWindow(hwnd_);
    Pump();
}

DropWindow::~DropWindow() {
    DestroyWindow(hwnd_);
    Pump();
}

POINT DropWindow::Center() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

LRESULT CALLBACK DropWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<DropWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self != nullptr && message == win32::kDroppedFilesMessage) {
        // As the main window does: a file dropped without an image is opened.
        const std::string image =
            win32::HandleDroppedFiles(reinterpret_cast<HDROP>(wParam), hwnd, TestList(), *self->target,
                                      self->options);
        if (!image.empty() && test::Open(*self->target, hwnd, image)) {
            win32::FillEntryList(TestList(), *self->target);
        }
        return 0;
    }
    if (self != nullptr && message == kTestCallMessage && self->onCall != nullptr) {
        self->onCall(*self);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

IDataObject* ShellDataObject(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return nullptr;
    }
    const std::string& first = paths.front();
    const std::string folder = first.substr(0, first.find_last_of('\\'));
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop))) {
        return nullptr;
    }
    IDataObject* data = nullptr;
    LPITEMIDLIST folderId = nullptr;
    IShellFolder* parent = nullptr;
    std::wstring wideFolder = Wide(folder);
    if (SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, &wideFolder[0], nullptr, &folderId, nullptr)) &&
        SUCCEEDED(desktop->BindToObject(folderId, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&parent)))) {
        std::vector<LPITEMIDLIST> children;
        bool parsed = true;
        for (const std::string& path : paths) {
            std::wstring name = Wide(path.substr(path.find_last_of('\\') + 1));
            LPITEMIDLIST child = nullptr;
            parsed = parsed && SUCCEEDED(parent->ParseDisplayName(nullptr, nullptr, &name[0], nullptr, &child, nullptr));
            if (child != nullptr) {
                children.push_back(child);
            }
        }
        if (parsed) {
            parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()),
                                  const_cast<LPCITEMIDLIST*>(reinterpret_cast<LPITEMIDLIST*>(children.data())),
                                  IID_IDataObject, nullptr, reinterpret_cast<void**>(&data));
        }
        for (LPITEMIDLIST child : children) {
            CoTaskMemFree(child);
        }
        parent->Release();
    }
    CoTaskMemFree(folderId);
    desktop->Release();
    return data;
}

void Pump() {
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

void DragDropTest::SetUpTestSuite() {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    // A hidden owner keeps the list off screen and out of the drops.
    g_listOwner = CreateWindowExA(0, "STATIC", "list owner", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    g_list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 200, 200,
                             g_listOwner, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(g_list, nullptr);
}

void DragDropTest::TearDownTestSuite() {
    DestroyWindow(g_listOwner);
    g_listOwner = g_list = nullptr;
    OleUninitialize();
}

void DragDropTest::SetUp() {
    EngineTest::SetUp();
    ASSERT_TRUE(test::Shown(CreateEmptyImage(doc, 0xF9, kBootMsDos6), test::TestOwner()));
    SendMessageA(g_list, LVM_DELETEALLITEMS, 0, 0);
    window.Reset();
}

std::vector<uint32_t> DragDropTest::ListEntries() {
    std::vector<uint32_t> entries;
    const int count = static_cast<int>(SendMessageA(g_list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        SendMessageA(g_list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        entries.push_back(static_cast<uint32_t>(item.lParam));
    }
    return entries;
}

std::vector<std::string> DragDropTest::ListTexts() {
    std::vector<std::string> texts;
    const int count = static_cast<int>(SendMessageA(g_list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[32] = "";
        LVITEMA item = {};
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(g_list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        texts.emplace_back(text);
    }
    return texts;
}

void DragDropTest::Select(std::initializer_list<int> indices) {
    LVITEMA none = {};
    none.stateMask = LVIS_SELECTED;
    SendMessageA(g_list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    for (int index : indices) {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        SendMessageA(g_list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    }
}

std::vector<uint32_t> DragDropTest::Selected() { return win32::SelectedEntries(g_list); }

void DragDropTest::TearDown() {
    win32::ReleaseDropTarget();
    win32::RemoveDragTempDirectory();
    EXPECT_EQ(win32::LiveComObjects(), 0) << "a reference was not given back";
    EngineTest::TearDown();
}

Bytes DragDropTest::Pattern(size_t size, uint8_t seed) {
    Bytes b(size);
    for (size_t i = 0; i < size; ++i) b[i] = static_cast<uint8_t>(seed + i * 13 + i / 512);
    return b;
}

std::string DragDropTest::HostFile(const std::string& name, size_t size, uint8_t seed) {
    const std::string path = dir.Path(name);
    WriteFile(path, Pattern(size, seed));
    return path;
}

void DragDropTest::AddToImage(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        const Result added = AddHostFile(doc, path, options);
        win32::ShowResult(nullptr, g_list, doc, added);
        ASSERT_TRUE(added.Done()) << path;
    }
}

void DragDropTest::AddLabelItem(const char* label11) {
    const Layout layout = doc.GetLayout();
    for (uint32_t i = 0;; ++i) {
        const uint32_t offset = RootEntryOffset(layout, doc.AreaLength(), i);
        ASSERT_NE(offset, 0u) << "root directory full";
        uint8_t* e = doc.Area() + offset;
        if (e[0] == kEntryNeverUsed) {
            std::memset(e, 0, 32);
            std::memcpy(e, label11, 11);
            e[kDirAttr] = kAttrVolume | kAttrArchive;
            ASSERT_TRUE(win32::InsertEntryItem(g_list, doc, offset, INT_MAX));
            return;
        }
    }
}

Bytes DragDropTest::EntryBytes(const ImageDocument& from, uint32_t entryOffset) {
    static unsigned counter = 0;
    const std::string out = dir.Path("entry-" + std::to_string(counter++) + ".out");
    EXPECT_TRUE(ExtractEntry(from, entryOffset, kReplaceSilently, out).Done());
    return ReadFile(out);
}

std::vector<std::string> DragDropTest::FolderFiles(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.push_back(found.cFileName);
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace vk::test
