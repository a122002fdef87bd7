// Writing files of the open image to the host: one entry to one path, the
// Extract file command's step for one entry, and the extraction of several
// entries into one folder that dragging out needs. The image never changes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/bytes.h"
#include "engine/common/result.h"
#include "engine/fat/ops/item_question.h"
#include "engine/ports/prompts.h"

namespace vk {

struct ImageDocument;

// Bits of ExtractEntry's replace flag.
enum ReplaceFlags : unsigned {
    kReplaceAsk = 0,        // an existing host file is replaced after the user agrees
    kReplaceSilently = 1,   // an existing host file is replaced without a question
};

// Writes the entry at `entryOffset` to `targetPath` with its time stamp and
// attributes, whole: the file is written beside its target and takes its
// place only when complete, so that a host failure leaves an existing file
// as it was and nothing half-written (what a corrupt chain held up to its
// fault is kept, with the warning). Whether to replace an existing host
// file is asked unless kReplaceSilently, through `replace` when the command
// extracts several files; keeping the existing file is declined, going on,
// and a cancelled question is declined, stopping. The image never changes:
// a done result has no changes.
Result ExtractEntry(const ImageDocument& doc, uint32_t entryOffset, unsigned replaceFlags,
                    const std::string& targetPath, ItemQuestion* replace = nullptr);

// The bytes of the file at `entryOffset`, read along its chain into
// `bytes`; a chain that breaks before the file's size fails as damaged with
// what it held up to the fault kept in `bytes`.
Result ReadEntryBytes(const ImageDocument& doc, uint32_t entryOffset, std::vector<uint8_t>& bytes);

// Asks where to save an entry: `suggestedName` pre-filled; false when the
// user cancelled. VOLKARN lets the user pick a file, vkdisk names a folder.
using SavePathChooser = std::function<bool(std::string_view suggestedName, std::string& path)>;

// The Extract file command for one entry: the chooser, then ExtractEntry.
// A directory or label cannot be saved as a file: it fails and lets a
// caller walking several entries go on; a cancelled chooser declines and
// stops it.
// `replaceFlags` is the Extract file command's kReplaceAsk unless a caller
// was told to overwrite.
Result SaveEntryAs(const ImageDocument& doc, uint32_t entryOffset, const SavePathChooser& choosePath,
                   unsigned replaceFlags = kReplaceAsk);

// Dragging out: every entry of `entries` into `folder` (no trailing
// separator), replacing silently, in the order given; `paths` gets the
// written paths, one per entry, in that order. Nothing is written when an entry is a directory or label (message
// 56); the first failed entry ends the walk. Entries of one host name get
// distinct ones (HostNameClaims), each tail said in the result's notices.
Result ExtractEntriesToFolder(const ImageDocument& doc, const std::vector<uint32_t>& entries,
                              const std::string& folder, std::vector<std::string>& paths);

// `name` made safe as one host path component: the bytes no host allows in a
// name (\ / : * ? " < > | and control bytes) become '_', as do trailing dots
// and blanks, which Windows would drop; "." and ".." become "_" and "__",
// and device names such as CON or LPT1 get a leading '_'. An image may hold
// any bytes in its names; none may lead out of the target folder.
std::string SafeHostName(std::string_view name);


// Why a new file or folder at `path` could not be made: the host's text, or,
// when access was denied, the folder that refused it, named.
Notice HostCreateFailure(const std::string& path, uint32_t hostCode);

}  // namespace vk
