// Deleting root-directory entries (one confirmed step per selected list
// item) and renaming one in the list's label editor.
#pragma once

#include <cstdint>
#include <string>

#include "engine/ports/prompts.h"

namespace vk {

struct ImageDocument;

// The per-item step of the Delete command, a SelectionVisitor whose context
// is the ImageDocument. Directories are refused with a warning; files are
// deleted after a Yes (or at once under /F). Cancel stops the walk.
bool DeleteEntry(WindowRef owner, const std::string& itemText, int& index, uint32_t entryOffset, void* context);

// The Delete command: DeleteEntry over the selected items in list order;
// with more than one selected the question also offers "Yes to all".
void DeleteSelected(ImageDocument& doc, WindowRef owner);

enum class RenameVerdict {
    kReject,  // the old name stays; any reason has been shown
    kAccept,  // the entry has the new name; `editedText` is what the list shows
};

// Checks the text typed in the label editor and stores it as the entry's new
// 8.3 name. `editedText` is null when editing was cancelled; on acceptance
// it holds the upper-cased name as the list shows it.
RenameVerdict RenameEntry(ImageDocument& doc, WindowRef owner, std::string* editedText, uint32_t entryOffset);

}  // namespace vk
