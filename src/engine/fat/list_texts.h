// What the main list shows of the root directory.
#pragma once

#include <cstdint>

namespace vk {

struct ImageDocument;

// Appends a list item for every file and subdirectory of the root directory,
// up to its first never-used entry.
void FillList(const ImageDocument& doc);

// Inserts the item for the entry at `entryOffset` and refreshes the object
// count. A position past the last item appends.
bool AddListItem(const ImageDocument& doc, uint32_t entryOffset, int position);

}  // namespace vk
