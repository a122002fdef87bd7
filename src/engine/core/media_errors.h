// The bad-sector list of an image: a 20-byte header and one bit per sector,
// kept in a .der file beside the image.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/common/bytes.h"
#include "engine/common/notice.h"

namespace vk {

struct ImageDocument;

// "DiskImage errors", CR, LF, EOF mark, NUL.
constexpr char kErrorListHeader[] = "DiskImage errors\r\n\x1A";
constexpr uint32_t kErrorListHeaderSize = 20;

// A fresh list for `sectors` sectors: the header and a clear bitmap. False
// (and an empty block) when no memory could be had.
bool CreateErrorList(uint32_t sectors, ByteBlock& list);
// Sets the bit of `sector`; a sector beyond the list is ignored.
void MarkBadSector(ByteBlock& list, uint32_t sector);
bool IsSectorMarked(const ByteBlock& list, uint32_t sector);
bool HasMediaErrors(const ImageDocument& doc);

// The .der path of an image path: the extension replaced, or appended when
// the last name has none.
std::string ErrorFileName(const std::string& imagePath);

// Creates the list of an opened document and loads its .der file. Returns
// what the user is to hear of a file that holds no list.
std::optional<Notice> LoadErrorFile(ImageDocument& doc);
// Writes or deletes the .der file after the image was saved. Returns what
// the user is to hear when the file could not be written or deleted, or
// was kept as it is.
std::optional<Notice> StoreErrorFile(ImageDocument& doc);
void CloseErrorFile(ImageDocument& doc);

}  // namespace vk
