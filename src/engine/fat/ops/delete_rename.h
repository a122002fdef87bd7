// Deleting directory entries (one confirmed step per entry) and renaming
// one, in the root or in any folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/common/result.h"
#include "engine/fat/dir/fs_options.h"
#include "engine/fat/dir/short_names.h"
#include "engine/ports/prompts.h"

namespace vk {

struct ImageDocument;

// The Delete command over `entries` in the order given. Each directory gets
// a warning and is kept; each file is deleted after a Yes (or at once under
// /F), and with more than one entry the question also offers "Yes to all".
// No keeps the file and goes on, Cancel stops. Questions and warnings are
// shown as they come; `changes.removed` holds the deleted entries.
Result DeleteEntries(ImageDocument& doc, const std::vector<uint32_t>& entries, const FileSystemOptions& options);

// Checks the text typed in the label editor and stores it as the new 8.3
// name of the entry at `entryOffset`. `typed` is null when editing was
// cancelled (declined, nothing said). On success `changes.changed` holds the
// entry and `shown` the upper-cased name as the list shows it.
// Checks a name typed for an entry (too long, blank, no valid 8.3 name, or
// holding characters no DOS name may hold) and gives it upper-cased as a
// listing shows it, and packed as it is stored; `strength` says which
// characters a name may hold.
Result ParseTypedName(std::string typed, NameStrength strength, std::string& shown, PackedName& packed);

// The name must be free in the entry's own directory.
Result RenameEntry(ImageDocument& doc, uint32_t entryOffset, const std::string* typed, const FileSystemOptions& options,
                   std::string* shown = nullptr);

}  // namespace vk
