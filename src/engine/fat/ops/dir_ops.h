// Folder operations on the open document: where an entry lives, a folder's
// path, making folders and removing them. Entries are named by their offset
// from the boot sector wherever they lie, as every other operation names them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/result.h"
#include "engine/core/layout.h"
#include "engine/fat/dir/dir_walk.h"
#include "engine/fat/dir/fs_options.h"
#include "engine/fat/dir/short_names.h"
#include "engine/ports/prompts.h"

namespace vk {

struct ImageDocument;

// The directory whose slots hold `entryOffset`: the root for a slot of the
// root area, else the folder whose chain holds the slot's cluster (followed
// back through the FAT to its first cluster).
DirRef DirectoryOfEntry(const ConstVolume& vol, uint32_t entryOffset);
DirRef DirectoryOf(const ImageDocument& doc, uint32_t entryOffset);

// The path of `dir` from the root ("" for the root), found by walking the
// tree; "" too when no folder of the tree begins there.
std::string DirectoryPath(const ConstVolume& vol, DirRef dir);

// The live entry of `dir` stored under `packed`, whatever kind; 0 when there
// is none.
uint32_t FindPackedEntry(const ConstVolume& vol, DirRef dir, const PackedName& packed);

// Marks the long name in front of the entry at `entryOffset` of `dir` deleted.
void DeleteLongNameIn(const Volume& vol, DirRef dir, uint32_t entryOffset);

// Makes the empty folder `name` in `dir`, stamped now. The name is checked
// as a name typed for a rename (ParseTypedName); one that exists there
// fails as a taken folder name. Done with the new entry in `changes.added`.
Result MakeFolderIn(ImageDocument& doc, DirRef dir, std::string_view name, const FileSystemOptions& options);

// Removes the folders of `entries`, each after a question (none under /F):
// an empty one asks whether to delete it, a non-empty one cannot be deleted
// unless `recursive`, and then the question names how many files it holds.
// An entry that is no folder cannot be deleted either. No goes on with the
// next entry, Cancel stops; `changes.removed` holds the removed folders'
// entries.
Result RemoveFolders(ImageDocument& doc, const std::vector<uint32_t>& entries, bool recursive,
                     const FileSystemOptions& options);

}  // namespace vk
