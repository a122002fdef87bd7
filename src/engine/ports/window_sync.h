// The window-sync port: the calls through which the engine keeps the main
// window in step with the document. The console tool and the tests link
// implementations that do nothing or record the calls.
#pragma once

#include "engine/ports/prompts.h"

namespace vk {

struct ImageDocument;

void UpdateTitle(const ImageDocument& doc);
void UpdateStatusText();
void EnableExplorerList(bool enable);
// Lists the entries ListedEntries (fat/list_texts.h) gives for `doc`, after
// an image was opened or made.
void FillList(const ImageDocument& doc);
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
