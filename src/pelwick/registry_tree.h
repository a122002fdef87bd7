// The registry steps of PELWICK, each on HKEY_CLASSES_ROOT or a key the
// caller opened. Not-found is never an error: a key or value that is
// already gone is what removal wants.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace pelwick {

// The ProgID the main program writes as the extensions' default value.
constexpr char kProgId[] = "DiskImage";

// True when `key`'s unnamed value is a string equal to "DiskImage",
// ignoring case. Closes `key`.
bool ValueIsDiskImage(HKEY key);

// True when `key` has a subkey; an error enumerating counts as true, so
// that a key we cannot look into is never deleted. Closes `key`.
bool HasSubkeys(HKEY key);

// True when `key` holds any value; an error counts as true. Closes `key`.
bool HasValues(HKEY key);

// Deletes the unnamed value of HKEY_CLASSES_ROOT\`keyName`. Returns 0 or
// the registry error.
LONG DeleteDefaultValue(const char* keyName);

// Deletes `subkey` of `parent`. Recursive: with all its subkeys. Not
// recursive: only when it has no subkeys, else it stays and 0 is returned.
// Returns 0 or the registry error.
LONG DeleteKeyTree(HKEY parent, const char* subkey, bool recursive);

// The unnamed value of HKEY_CLASSES_ROOT\`keyName` when it is a string;
// false when the key or the value is missing or of another type.
bool ReadDefaultString(const char* keyName, std::string& value);

// The names of `key`'s subkeys, and false when they could not all be read.
// Closes `key`.
bool ListSubkeys(HKEY key, std::vector<std::string>& names);

// True when `key` holds a value besides the unnamed one; an error counts as
// true. Closes `key`.
bool HasNamedValues(HKEY key);

// Opens HKEY_CLASSES_ROOT\`keyName` for reading; nullptr when it cannot.
HKEY OpenForReading(const char* keyName);

}  // namespace pelwick
