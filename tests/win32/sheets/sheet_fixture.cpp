#include "tests/win32/sheets/sheet_fixture.h"

#include <algorithm>
#include <cstring>

#include "engine/common/bytes.h"
#include "engine/core/layout.h"
#include "engine/core/new_image.h"
#include "engine/fat/dir/dir_entry.h"
#include "win32/ports/main_window.h"
#include "win32/ui/document_view.h"

namespace vk::test {
namespace {

constexpr int kTextLength = 512;

INT_PTR CALLBACK BareProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

ModelessSheet::~ModelessSheet() {
    if (IsWindow(hwnd_)) {
        DestroyWindow(hwnd_);
    }
}

int ModelessSheet::PageCount() const { return TabCtrl_GetItemCount(PropSheet_GetTabControl(hwnd_)); }

std::string ModelessSheet::TabText(int index) const {
    char text[kTextLength] = "";
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(PropSheet_GetTabControl(hwnd_), TCM_GETITEMA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
    return text;
}

std::string ModelessSheet::Caption() const {
    char text[kTextLength] = "";
    GetWindowTextA(hwnd_, text, sizeof text);
    return text;
}

HWND ModelessSheet::Page(int index) const {
    PropSheet_SetCurSel(hwnd_, nullptr, index);
    return PropSheet_IndexToHwnd(hwnd_, index);
}

bool ModelessSheet::ApplyEnabled() const {
    constexpr int kApplyButton = 0x3021;
    return IsWindowEnabled(GetDlgItem(hwnd_, kApplyButton)) != FALSE;
}

bool ModelessSheet::HelpEnabled() const {
    constexpr int kHelpButton = 0x0009;
    HWND button = GetDlgItem(hwnd_, kHelpButton);
    return button != nullptr && IsWindowVisible(button) && IsWindowEnabled(button);
}

bool ModelessSheet::Ended() const { return PropSheet_GetCurrentPageHwnd(hwnd_) == nullptr; }

void ModelessSheet::PressButton(int button) const {
    // The sheet may carry the press out through its message queue.
    PropSheet_PressButton(hwnd_, button);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!PropSheet_IsDialogMessage(hwnd_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

ScratchFolder::ScratchFolder() {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    char name[MAX_PATH] = "";
    GetTempFileNameA(temp, "vks", 0, name);
    DeleteFileA(name);
    CreateDirectoryA(name, nullptr);
    path_ = name;
}

ScratchFolder::~ScratchFolder() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileA(File(found.cFileName).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
}

void SheetTest::SetUp() { SetMainWindow(owner.Handle()); }

void SheetTest::TearDown() {
    // No save question may hold the test up.
    doc.modified = false;
    win32::CloseDocument(doc, false);
    SetMainWindow(nullptr);
}

void SheetTest::OpenFreshImage(uint32_t code, const char* name) {
    imagePath_ = folder.File(name);
    ImageDocument fresh;
    ASSERT_TRUE(win32::Shown(owner.Handle(), CreateEmptyImage(fresh, code, 0)));
    ASSERT_TRUE(win32::Shown(owner.Handle(), SaveImageAsPath(fresh, imagePath_)));
    ASSERT_TRUE(win32::SaveDocument(fresh));
    ASSERT_TRUE(win32::CloseDocument(fresh, false));
    ASSERT_TRUE(win32::OpenDocument(doc, owner.Handle(), imagePath_));
    ASSERT_FALSE(doc.errorList.empty());
}

uint32_t SheetTest::SlotOffset(int slot) const {
    return static_cast<uint32_t>(doc.GetLayout().rootStart) + static_cast<uint32_t>(slot) * kDirEntrySize;
}

uint32_t SheetTest::PutEntry(int slot, const EntrySpec& entry) {
    const uint32_t offset = SlotOffset(slot);
    uint8_t* e = doc.Area() + offset;
    std::fill(e, e + kDirEntrySize, uint8_t{0});
    std::memcpy(e + kDirName, entry.name11, kDirFullNameLength);
    e[kDirAttr] = entry.attr;
    Store16(e + kDirTime, entry.time);
    Store16(e + kDirDate, entry.date);
    Store32(e + kDirSize, entry.size);
    return offset;
}

HWND CreateBareDialog(UINT templateId, HWND parent) {
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), parent, BareProc, 0);
}

std::vector<std::string> ListRows(HWND list) {
    std::vector<std::string> rows;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        char text[kTextLength] = "";
        LVITEMA item = {};
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        rows.emplace_back(text);
    }
    return rows;
}

void SelectRow(HWND list, int row) {
    LVITEMA clear = {};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    if (row >= 0) {
        LVITEMA set = {};
        set.state = LVIS_SELECTED | LVIS_FOCUSED;
        set.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&set));
    }
}

std::string ControlText(HWND dialog, int control) {
    char text[kTextLength] = "";
    GetDlgItemTextA(dialog, control, text, sizeof text);
    return text;
}

std::vector<std::string> ComboRows(HWND dialog, int control) {
    std::vector<std::string> rows;
    const int count = static_cast<int>(SendDlgItemMessageA(dialog, control, CB_GETCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        char text[kTextLength] = "";
        SendDlgItemMessageA(dialog, control, CB_GETLBTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
        rows.emplace_back(text);
    }
    return rows;
}

int ComboSelection(HWND dialog, int control) {
    return static_cast<int>(SendDlgItemMessageA(dialog, control, CB_GETCURSEL, 0, 0));
}

void PickComboRow(HWND dialog, int control, int row) {
    SendDlgItemMessageA(dialog, control, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(control, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, control)));
}

void Click(HWND dialog, int control) { SendDlgItemMessageA(dialog, control, BM_CLICK, 0, 0); }

void TypeText(HWND dialog, int control, const char* text) { SetDlgItemTextA(dialog, control, text); }

}  // namespace vk::test
