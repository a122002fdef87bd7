// The explorer list kept in step with the document: its items are the
// entries a listing of the current folder (current_folder.h) shows, each
// item's lParam the entry's offset. The engine
// answers with entry offsets; this turns a selection into offsets and an
// operation's changes into inserted, removed and redrawn items.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "engine/common/result.h"

namespace vk {
struct ImageDocument;
}  // namespace vk

namespace vk::win32 {

// The index of the item of the entry at `entryOffset`; -1 when it has none.
int FindEntryItem(HWND list, uint32_t entryOffset);

// Inserts the item for the entry at `entryOffset` at `position` (past the
// end appends). False when the list refused it.
bool InsertEntryItem(HWND list, const ImageDocument& doc, uint32_t entryOffset, int position);

// Appends an item for every entry ListedEntries gives for the current folder.
void FillEntryList(HWND list, const ImageDocument& doc);

// The entry offsets of the selected items, in list order.
std::vector<uint32_t> SelectedEntries(HWND list);

// Selects every item, as Edit > Select all does.
void SelectAllEntries(HWND list);

// Brings the list in step with `changes`: the items of removed entries go,
// added entries a listing shows come in where directory order puts them
// among the listed entries, changed ones are redrawn. The status bar's
// count follows.
void ApplyEntryChanges(HWND list, const ImageDocument& doc, const EntryChanges& changes);

// What a front end does after an operation: the list follows its changes,
// then its notices and failure are shown over `owner`.
void ShowResult(HWND owner, HWND list, const ImageDocument& doc, const Result& result);

}  // namespace vk::win32
