// The window-sync port over the main window: its status bar and explorer
// list follow what the engine's operations change.
#include <windows.h>
#include <commctrl.h>

#include <climits>
#include <string>

#include "engine/common/text_format.h"
#include "engine/core/document.h"
#include "engine/fat/dir_entry.h"
#include "engine/fat/list_texts.h"
#include "win32/ports/win32_prompts.h"
#include "engine/ports/window_sync.h"
#include "engine/strings/string_ids.h"
#include "win32/ui/main_window.h"

namespace vk {
namespace {

using win32::MainParts;

// The status formats ("%lu Object(s)") are short; the filled text too.
constexpr int kStatusFormatLength = 64;
constexpr int kStatusTextLength = 128;
// An item's text is an 8.3 name: twelve characters and the terminator.
constexpr int kItemTextLength = 13;

int g_waitDepth = 0;

}  // namespace

void UpdateStatusText() {
    const win32::MainWindowParts& parts = MainParts();
    if (parts.list == nullptr || parts.statusBar == nullptr) {
        return;
    }
    // Without an image there is nothing to count: the bar stays empty.
    if (!IsWindowEnabled(parts.list)) {
        SetWindowTextA(parts.statusBar, "");
        return;
    }
    const auto selected = static_cast<unsigned long>(SendMessageA(parts.list, LVM_GETSELECTEDCOUNT, 0, 0));
    const UINT formatId = selected > 0 ? kStrSelectedCount : kStrObjectCount;
    const unsigned long count =
        selected > 0 ? selected : static_cast<unsigned long>(SendMessageA(parts.list, LVM_GETITEMCOUNT, 0, 0));
    char format[kStatusFormatLength] = "";
    LoadStringA(GetModuleHandleA(nullptr), formatId, format, sizeof format);
    char text[kStatusTextLength] = "";
    wsprintfA(text, format, count);
    SetWindowTextA(parts.statusBar, text);
}

void RefreshList() {
    if (MainParts().list != nullptr) {
        InvalidateRect(MainParts().list, nullptr, FALSE);
    }
}

bool InsertListItem(const ImageDocument& doc, uint32_t entryOffset, int position) {
    HWND list = MainParts().list;
    if (list == nullptr) {
        return false;
    }
    const uint8_t* entry = doc.Area() + entryOffset;
    std::string text = EntryDisplayName(entry);
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = position < 0 ? INT_MAX : position;
    item.pszText = &text[0];
    item.iImage = (entry[kDirAttr] & kAttrDirectory) ? win32::kImageFolder : win32::kImageFile;
    item.lParam = static_cast<LPARAM>(entryOffset);
    return SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) != -1;
}

void RemoveListItem(int index) {
    if (MainParts().list != nullptr) {
        SendMessageA(MainParts().list, LVM_DELETEITEM, index, 0);
    }
}

void ForEachSelected(WindowRef owner, SelectionVisitor visitor, void* context) {
    HWND list = MainParts().list;
    if (list == nullptr) {
        return;
    }
    int index = -1;
    for (;;) {
        index = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(index), LVNI_SELECTED));
        if (index < 0) {
            return;
        }
        char text[kItemTextLength] = "";
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = index;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) {
            continue;
        }
        if (!visitor(owner, text, index, static_cast<uint32_t>(item.lParam), context)) {
            return;
        }
    }
}

void BeginWaitCursor() {
    if (g_waitDepth++ == 0) {
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    }
}

void EndWaitCursor() {
    if (g_waitDepth > 0 && --g_waitDepth == 0) {
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    }
}

}  // namespace vk
