// The window-sync port: the calls through which the engine keeps the main
// window in step with the document. The console tool and the tests link
// implementations that do nothing or record the calls.
#pragma once

#include <cstdint>
#include <string>

#include "engine/ports/prompts.h"

namespace vk {

struct ImageDocument;

// The count of entries shown or chosen has changed.
void UpdateStatusText();
void RefreshList();

// Marks the time of a long step as busy (the system wait cursor in
// VOLKARN); use WaitCursor.
void BeginWaitCursor();
void EndWaitCursor();

class WaitCursor {
public:
    WaitCursor() { BeginWaitCursor(); }
    ~WaitCursor() { EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace vk

namespace vk {

// Inserts a list item for the directory entry at `entryOffset` (bytes from
// the boot sector) at `position`; a position past the end appends. False
// when the list refused it.
bool InsertListItem(const ImageDocument& doc, uint32_t entryOffset, int position);
// Removes the list item at `index`.
void RemoveListItem(int index);

// One step over a selected list item: the owner window, the item's text, the
// item's index (a step that removes its item lowers it by one, so that the
// walk does not skip the item moving into its place), the item's entry
// offset and the caller's context. Returns true to go on, false to stop.
using SelectionVisitor = bool (*)(WindowRef owner, const std::string& itemText, int& index, uint32_t entryOffset,
                                  void* context);

// Runs `visitor` over the selected items in list order. The window owns the
// selection.
void ForEachSelected(WindowRef owner, SelectionVisitor visitor, void* context);

}  // namespace vk
