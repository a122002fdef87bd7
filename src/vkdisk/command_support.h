// What every vkdisk command shares: parsing with the common options, and the
// one open document.
#pragma once

#include <cstdint>
#include <string>

#include "vkdisk/commands.h"
#include "engine/core/document.h"
#include "engine/fat/dir/fs_options.h"
#include "vkdisk/options.h"

namespace vk::cli {

// The options of a command that works on an image: `known` and
// --partition N (-p N), the partition of a partitioned image to work on, and
// --member NAME, the member of a zip to work on.
KnownOptions ImageCommand(KnownOptions known);

// Parses `args` with `known` plus --help, --yes and --no. Returns false when
// the command must end now with `exitCode` (help shown, or a usage error).
bool PrepareCommand(const Args& args, KnownOptions known, const char* usage, size_t minPositional,
                    size_t maxPositional, ParsedArgs& parsed, int& exitCode);

// The file-system options a command's switches ask for: --force (-f) skips
// the replace and delete questions, --strict checks names strictly.
FileSystemOptions OptionsFrom(const ParsedArgs& parsed);

// The document vkdisk works on.
ImageDocument& Document();

// A standard format's code from its hex text ("F9"); false for anything else.
bool ParseFormatCode(const std::string& text, uint32_t& code);

// The .der file beside a new image at `imagePath`: one that is there stays
// unless `force`; false (already said) when it stops the command.
bool ErrorFileMayGo(const std::string& imagePath, bool force, bool& existed);
// After the new image was saved: says what became of a .der that was there.
void TellErrorFileFate(const std::string& imagePath, bool existed);

// Prints "vkdisk: text" to stderr.
void Complain(const std::string& text);

// Shows what `result` has to say, as the terminal shows it; true when it is done.
bool Shown(const Result& result);

// The zip member --member names; empty when none is named.
std::string MemberOption(const ParsedArgs& parsed);

// The partition --partition names; 0 when none is named.
uint32_t PartitionOption(const ParsedArgs& parsed);

// The document's opening and closing as vkdisk shows them: the image is the
// first positional argument, in the partition --partition names; the result
// reported and the backup FAT checked after an open.
bool OpenDocument(const ParsedArgs& parsed, bool readOnly);
void CloseDocument();

// Opens the image for a change. False, already reported and closed again,
// when the file is write-protected or the image refuses every change.
bool OpenForChange(const ParsedArgs& parsed);

// Saves a changed image once and closes it; unless `keep`, the changes are
// dropped. Gives `exitCode`, or kExitFailure when the save failed.
int SaveAndClose(bool keep, int exitCode);

}  // namespace vk::cli
