#include "win32/ui/list_sync.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <string>

#include "engine/core/document.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/ports/prompts.h"
#include "engine/ports/window_sync.h"
#include "win32/ui/current_folder.h"
#include "win32/ui/explorer_list.h"
#include "win32/ports/win32_prompts.h"

namespace vk::win32 {
namespace {

// The list shows the listed entries in directory order: a new entry's item
// goes after the items of the entries listed before it. A folder's chain
// may run backwards through the disk, so that order is the listing's, not
// the offsets'.
int PositionFor(const std::vector<uint32_t>& listed, uint32_t entryOffset) {
    return static_cast<int>(std::find(listed.begin(), listed.end(), entryOffset) - listed.begin());
}

}  // namespace

int FindEntryItem(HWND list, uint32_t entryOffset) {
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = static_cast<LPARAM>(entryOffset);
    return static_cast<int>(SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

bool InsertEntryItem(HWND list, const ImageDocument& doc, uint32_t entryOffset, int position) {
    if (list == nullptr) {
        return false;
    }
    const uint8_t* entry = doc.Area() + entryOffset;
    std::string text = EntryDisplayName(entry);
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = position < 0 ? INT_MAX : position;
    item.pszText = &text[0];
    item.iImage = (entry[kDirAttr] & kAttrDirectory) ? kImageFolder : kImageFile;
    item.lParam = static_cast<LPARAM>(entryOffset);
    return SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) != -1;
}

void FillEntryList(HWND list, const ImageDocument& doc) {
    for (const uint32_t entryOffset : ListedEntries(doc, TheFolder().Dir())) {
        InsertEntryItem(list, doc, entryOffset, INT_MAX);
    }
}

std::vector<uint32_t> SelectedEntries(HWND list) {
    std::vector<uint32_t> entries;
    if (list == nullptr) {
        return entries;
    }
    for (int index = -1;;) {
        index = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(index), LVNI_SELECTED));
        if (index < 0) {
            return entries;
        }
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        if (SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) {
            entries.push_back(static_cast<uint32_t>(item.lParam));
        }
    }
}

void SelectAllEntries(HWND list) {
    if (list == nullptr) {
        return;
    }
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    // Item -1 stands for every item.
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
}

void ApplyEntryChanges(HWND list, const ImageDocument& doc, const EntryChanges& changes) {
    if (list == nullptr || changes.Empty()) {
        return;
    }
    for (const uint32_t entryOffset : changes.removed) {
        const int index = FindEntryItem(list, entryOffset);
        if (index >= 0) {
            SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
        }
    }
    const std::vector<uint32_t> listed = ListedEntries(doc, TheFolder().Dir());
    for (const uint32_t entryOffset : changes.added) {
        if (IsListedEntry(doc.Area() + entryOffset)) {
            InsertEntryItem(list, doc, entryOffset, PositionFor(listed, entryOffset));
        }
    }
    if (!changes.changed.empty()) {
        InvalidateRect(list, nullptr, FALSE);
    }
    UpdateStatusText();
}

void ShowResult(HWND owner, HWND list, const ImageDocument& doc, const Result& result) {
    ApplyEntryChanges(list, doc, result.changes);
    Report(owner, result);
}

}  // namespace vk::win32
