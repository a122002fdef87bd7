// The figures of the file properties page and its Apply: one entry's name,
// type, size texts, stamp and the four attribute bits the user may change.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/common/result.h"

namespace vk {

struct ImageDocument;

// The type-names file beside the program, and its section.
constexpr char kTypeNamesFile[] = "VOLKARN.INI";
constexpr char kTypeNamesSection[] = "Extensions";

struct FileProperties {
    std::string file;      // display name
    std::string type;
    std::string location;  // the folder holding the entry: \ for the root, \GAMES\SHOOT in a folder
    std::string size;      // a folder's: the sum of its files' sizes, empty when it is damaged
    std::string changed;   // long date form and time
    uint8_t attributes = 0;
    bool isDirectory = false;
};

// `iniPath` is the full path of the type-names file (in the program's folder);
// `folderPath` the path of the folder holding the entry, empty for the root.
FileProperties ReadFileProperties(const ImageDocument& doc, uint32_t entryOffset, const std::string& iniPath,
                                  std::string_view folderPath = {});

// "Directory"; the INI's text for the extension; "XYZ file"; or empty without an extension.
std::string FileTypeText(const uint8_t* entry, const std::string& iniPath);

// "1.50 KB (1,536 Byte), 2,048 Byte allocated" for 1536 bytes on 1024-byte clusters.
std::string FileSizeText(uint32_t size, uint64_t clusterBytes);

// Sets the editable bits of the entry to `bits` (the rest of `attr` stays)
// and marks the document modified; `changes.changed` holds the entry. Done
// without changes when the bits are already so.
Result ApplyFileAttributes(ImageDocument& doc, uint32_t entryOffset, uint8_t bits);

}  // namespace vk
