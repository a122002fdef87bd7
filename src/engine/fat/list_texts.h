// What the main list shows of the root directory: which entries, with which
// item text and column texts.
#pragma once

#include <cstdint>
#include <string>

namespace vk {

struct ImageDocument;

// Appends a list item for every file and subdirectory of the root directory,
// up to its first never-used entry.
void FillList(const ImageDocument& doc);

// Inserts the item for the entry at `entryOffset` and refreshes the object
// count. A position past the last item appends.
bool AddListItem(const ImageDocument& doc, uint32_t entryOffset, int position);

// "NAME.EXT", or "NAME" when the extension is all blanks.
std::string EntryDisplayName(const uint8_t* entry);

// Five positions R, H, A, S, D, each its letter when the bit is set, else a blank.
std::string AttributeText(uint8_t attr);

// The four column texts of a list item.
struct ListColumns {
    std::string name;
    std::string size;        // grouped digits; empty for a directory
    std::string lastChange;  // short date form and time
    std::string attributes;
};
ListColumns EntryColumns(const uint8_t* entry);

}  // namespace vk
