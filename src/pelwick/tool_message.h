// PELWICK's message boxes: texts of the tool's own string table under its
// caption, no owner window.
#pragma once

#include <windows.h>

namespace pelwick {

// Shows text `id` with the box style `style` (buttons, icon, default
// button). Returns the button chosen, or 0 when the text could not be
// formatted (the tool then only beeps).
int ShowToolMessage(HINSTANCE instance, UINT id, UINT style);

}  // namespace pelwick
