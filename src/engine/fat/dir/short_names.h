// 8.3 names: made from host names, packed into the 11 bytes of an entry,
// checked byte by byte under the current name strength.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/fat/dir/fs_options.h"
#include "engine/ports/host_files.h"

namespace vk {

using PackedName = std::array<uint8_t, 11>;

// The 8.3 display name of a host file ("NOTES.TXT", "README"), no blanks
// added. The extension follows the last dot; bytes no DOS opens in a short
// name become '_', as do leading blanks and an empty base; other dots leave.
std::string MakeShortName(const HostFindData& found);
// How many leading bytes of `text`, at most `limit`, can be kept without
// cutting a character in two: a name that is UTF-8 throughout is cut at a
// character's start, any other at `limit` (each byte a character of its
// code page).
size_t CutWithoutSplitting(std::string_view text, size_t limit);
// Blank-padded name and extension of a display name. A leading 0xE5 is
// stored as 0x05, as FAT does, so that the entry does not read as deleted.
PackedName PackShortName(std::string_view displayName);
// Whether every byte of a base name or extension is allowed; "" is valid.
bool IsValidNamePart(std::string_view part, NameStrength strength);

}  // namespace vk
