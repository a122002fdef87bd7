// Small services every dialog of VOLKARN shares.
#pragma once

#include <windows.h>

namespace vk {

// Loads filter text `id` ("name|pattern|...|") from the program's string
// table and turns every '|' into a zero, giving the double-zero-terminated
// list of the common file dialogs. Returns the loaded length.
int LoadFilterString(UINT id, char* buffer, int size);

}  // namespace vk
