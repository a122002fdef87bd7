// Copying host files into a directory of the open image, the root or a folder. A failed add
// leaves the image exactly as it was: everything an add changes is saved in
// an undo journal first and put back when a step fails.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/result.h"
#include "engine/core/layout.h"
#include "engine/fat/dir/dir_slot.h"
#include "engine/fat/dir/dir_walk.h"
#include "engine/fat/table/fat12.h"
#include "engine/fat/dir/fs_options.h"
#include "engine/fat/ops/item_question.h"
#include "engine/ports/host_files.h"
#include "engine/ports/prompts.h"

namespace vk {

struct ImageDocument;

// Adds the host file or folder at `hostPath`: `changes` holds its entry,
// added, or changed when it replaced a listed entry of its name. Whether to
// replace an entry of that name is asked over `owner`; declining it, or a
// folder that is there already, changes nothing. A failure is returned with
// the image as it was; `goOn` tells a multi-file caller whether to try its
// next file.
// The entry goes into `dir`; a folder that is full grows by one cluster. A
// host folder becomes an empty folder whose ".." names `dir`. The entry's
// 8.3 name is `shortName` when given (ShortNameClaims gave it), else the
// one made from the host file's name. A replaced file whose clusters another
// entry shares is refused; no cluster a chain still reaches is taken.
// `guard` is the caller's when it adds several files to one image (it is
// told what each add frees); without one, the add builds its own. So are
// `slots`: an add command carries the slots of each directory it fills
// from one file to the next, instead of walking the directory for each.
// `options` says whether /F replaces without asking. `listed` is what the
// host said of the path when the command planned its names (Plan): the add
// does not ask again; a file that changed since is found out by its read.
// `replace` is the command's own replace question when it adds several
// files (Yes to all, Cancel); without one, one file's Yes/No is asked.
class ClusterGuard;
Result AddHostFile(ImageDocument& doc, std::string_view hostPath, const FileSystemOptions& options, DirRef dir = kRootDir,
                   std::string_view shortName = {}, ClusterGuard* guard = nullptr, CommandSlots* slots = nullptr,
                   const HostFindData* listed = nullptr, ItemQuestion* replace = nullptr);

class UndoJournal;

// Copies `byteCount` bytes of `file` into free clusters of the area and links
// them from the entry at `slotOffset` (firstCluster 0 for an empty file).
// Each cluster's old bytes, and its FAT entry's, go to `journal` before they
// are overwritten; no cluster of `keep` is taken. Clusters are taken first
// fit from `freeFrom` (below it none is free), which is left past the last
// one taken. Returns why it failed, or nothing.
std::optional<Fault> CopyFileToClusters(const Volume& vol, const HostFile& file, std::string_view hostPath,
                                         uint32_t slotOffset, uint32_t byteCount, UndoJournal& journal,
                                         uint32_t& freeFrom, const ClusterSet* keep = nullptr);

// The multi-file add of the Add file command over already chosen paths: one
// path is added on its own, several go on until one says stop. `tell` gets
// each file's result as soon as it is known, before the next file asks
// anything, to show it and bring its view up to date. The result returned
// sums the changes; it is done when any file was added, and its failures
// were handed to `tell` already. Files of one 8.3 name get numeric tails
// (ShortNameClaims), each said in its result's notices: the host file went
// in under the tailed name. Replacing asks Yes, Yes to all, No or Cancel
// when several paths are added; Cancel ends the add, and a notice counts
// the files added before it.
Result AddFiles(ImageDocument& doc, const std::vector<std::string>& paths,
                const std::function<void(const Result&)>& tell, const FileSystemOptions& options,
                DirRef dir = kRootDir);

}  // namespace vk
