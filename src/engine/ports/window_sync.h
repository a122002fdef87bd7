// The window-sync port: the calls through which the engine keeps the main
// window in step with the document. The console tool and the tests link
// implementations that do nothing or record the calls.
#pragma once

#include "engine/ports/prompts.h"

namespace vk {

struct ImageDocument;

// The count of entries shown or chosen has changed.
void UpdateStatusText();

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
