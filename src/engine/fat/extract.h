// Writing files of the open image to the host: one entry to one path, the
// Extract file command's per-item step, and the two-pass extraction of a
// selection into one folder that dragging out needs. The image never changes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/common/bytes.h"
#include "engine/ports/prompts.h"

namespace vk {

struct ImageDocument;

// Bits of ExtractEntry's replace flag.
enum ReplaceFlags : unsigned {
    kReplaceAsk = 0,        // an existing host file is replaced after message 76
    kReplaceSilently = 1,   // an existing host file is replaced without a question
};

// Writes the entry at `entryOffset` to `targetPath` with its time stamp and
// attributes. True also when the user declined to replace an existing file.
bool ExtractEntry(const ImageDocument& doc, WindowRef owner, uint32_t entryOffset, unsigned replaceFlags,
                  const std::string& targetPath);

// Asks where to save an entry: `suggestedName` pre-filled; false when the
// user cancelled. VOLKARN shows its save dialog, vkdisk names a folder.
using SavePathChooser = std::function<bool(WindowRef owner, std::string_view suggestedName, std::string& path)>;

// The Extract file command's step for one selected item. False stops the
// command (cancelled dialog or failed extraction); directories and labels
// get message 82 and let it go on.
// `replaceFlags` is the Extract file command's kReplaceAsk unless a caller
// was told to overwrite.
bool SaveEntryAs(const ImageDocument& doc, WindowRef owner, const std::string& itemText, uint32_t entryOffset,
                 const SavePathChooser& choosePath, unsigned replaceFlags = 0);

// What the two passes of ExtractToFolder carry.
struct ExtractBatch {
    std::string folder;        // no trailing separator
    size_t folderLength = 0;   // folder plus one
    size_t total = 0;          // bytes the path list needs
    ByteBlock list;            // empty during the first pass
    size_t cursor = 0;
    bool ok = true;            // cleared by any failed extraction
    uint8_t attributes = 0;    // OR of the selected entries' attr bytes

    explicit ExtractBatch(std::string targetFolder);
};

// One selected item, first pass (sizing) or second pass (extracting into the
// folder, replacing silently). False stops the walk.
bool ExtractToFolder(const ImageDocument& doc, WindowRef owner, const std::string& itemText,
                     uint32_t entryOffset, ExtractBatch& batch);

// Between the passes: message 56 when a directory or label is selected,
// else the zeroed path list. False when the second pass must not run.
bool BeginSecondPass(ExtractBatch& batch);

// Both passes over the selection of `owner`'s list into batch.folder: the
// sizing pass, BeginSecondPass, the extracting pass. True when every
// selected entry was written; batch.list then holds the path list.
bool ExtractSelectionToFolder(const ImageDocument& doc, WindowRef owner, ExtractBatch& batch);

// `name` made safe as one host path component: the bytes no host allows in a
// name (\ / : * ? " < > | and control bytes) become '_', as do trailing dots
// and blanks, which Windows would drop; "." and ".." become "_" and "__",
// and device names such as CON or LPT1 get a leading '_'. An image may hold
// any bytes in its names; none may lead out of the target folder.
std::string SafeHostName(std::string_view name);

}  // namespace vk
