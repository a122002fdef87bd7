#include "win32/ui/folder_commands.h"

#include <commctrl.h>

#include "engine/core/document.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/dir_ops.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/list_texts.h"
#include "win32/ui/app_state.h"
#include "win32/ui/file_options.h"
#include "win32/ui/current_folder.h"
#include "win32/ui/document_view.h"
#include "win32/ui/list_sync.h"
#include "win32/ui/main_window.h"
#include "win32/ports/win32_prompts.h"

namespace vk::win32 {
namespace {

// The 8.3 base name of a new folder; a number replaces its tail when it is taken.
constexpr char kNewFolderName[] = "NEWFOLDR";
constexpr size_t kBaseNameLength = 8;
constexpr int kMaxNameNumber = 9999999;

bool IsFolderEntry(const ImageDocument& doc, uint32_t entryOffset) {
    return (doc.Area()[entryOffset + kDirAttr] & kAttrDirectory) != 0;
}

}  // namespace

std::string UniqueFolderName(const std::function<bool(const std::string&)>& taken) {
    if (!taken(kNewFolderName)) {
        return kNewFolderName;
    }
    for (int number = 2; number <= kMaxNameNumber; ++number) {
        const std::string digits = std::to_string(number);
        const std::string name = std::string(kNewFolderName, kBaseNameLength - digits.size()) + digits;
        if (!taken(name)) {
            return name;
        }
    }
    return std::string();
}

bool OpenListItem(HWND mainWindow, int index) {
    uint32_t entryOffset = 0;
    const ImageDocument& doc = TheDocument();
    if (!doc.IsOpen() || !ItemEntryOffset(MainParts().list, index, entryOffset) || !IsFolderEntry(doc, entryOffset)) {
        return false;
    }
    OpenFolderEntry(doc, mainWindow, entryOffset);
    return true;
}

bool SelectionIsFolders(HWND list, const ImageDocument& doc) {
    if (!doc.IsOpen()) {
        return false;
    }
    const std::vector<uint32_t> selected = SelectedEntries(list);
    for (const uint32_t entryOffset : selected) {
        if (!IsFolderEntry(doc, entryOffset)) {
            return false;
        }
    }
    return !selected.empty();
}

void NewFolderCommand(HWND mainWindow) {
    ImageDocument& doc = TheDocument();
    const DirRef dir = TheFolder().Dir();
    const std::string name = UniqueFolderName([&doc, dir](const std::string& candidate) {
        return FindShownEntry(VolumeOf(doc), dir, candidate) != 0;
    });
    const Result made = MakeFolderIn(doc, dir, name, CurrentFileOptions());
    HWND list = MainParts().list;
    ShowResult(mainWindow, list, doc, made);
    if (!made.Done() || made.changes.added.empty()) {
        return;
    }
    const int item = FindEntryItem(list, made.changes.added.front());
    if (item < 0) {
        return;
    }
    LVITEMA none = {};
    none.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    LVITEMA state = {};
    state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    state.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
    SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
    SetFocus(list);
    SendMessageA(list, LVM_EDITLABELA, static_cast<WPARAM>(item), 0);
}

void DeleteFolderCommand(HWND mainWindow) {
    ImageDocument& doc = TheDocument();
    HWND list = MainParts().list;
    const ScopedPromptOwner boxes(mainWindow);
    ShowResult(mainWindow, list, doc, RemoveFolders(doc, SelectedEntries(list), true, CurrentFileOptions()));
}

}  // namespace vk::win32
