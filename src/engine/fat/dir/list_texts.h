// What the main list shows of a directory: which entries, with which
// item text and column texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/fat/dir/dir_walk.h"

namespace vk {

struct ImageDocument;

// A live file or subdirectory: what a listing shows of a root entry.
bool IsListedEntry(const uint8_t* entry);

// The entries a listing of `dir` shows, in directory order: every file and
// subdirectory up to the first never-used entry, a folder's "." and ".."
// left out. A folder's chain that breaks gives what lies before the break.
std::vector<uint32_t> ListedEntries(const ImageDocument& doc, DirRef dir = kRootDir);

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
