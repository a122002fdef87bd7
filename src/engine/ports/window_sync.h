// The window-sync port: the calls through which the engine keeps the main
// window in step with the document. The console tool and the tests link
// implementations that do nothing or record the calls.
#pragma once

#include <cstdint>

namespace vk {

struct ImageDocument;

void UpdateTitle(const ImageDocument& doc);
void UpdateStatusText();
void EnableExplorerList(bool enable);
void RefreshList();
void RemoveAllListItems();

// Starts and ends the system wait cursor; use WaitCursor.
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

}  // namespace vk
