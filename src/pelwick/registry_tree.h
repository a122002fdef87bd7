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

// The value under an extension key where the main program keeps the
// default value it replaced (another program's ProgID).
constexpr char kKeptValue[] = "VolkarnPrevious";

// An open registry key, closed when its owner goes. Empty (null) when a
// key could not be opened.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    ~RegKey() { Close(); }
    RegKey(RegKey&& other) noexcept : key_(other.Release()) {}
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

private:
    HKEY Release();
    void Close();

    HKEY key_ = nullptr;
};

// Opens `subkey` of `parent` with `access`; `result` is 0 or the registry
// error, and the key is empty unless it is 0.
RegKey OpenKey(HKEY parent, const char* subkey, REGSAM access, LONG& result);

// True when `key`'s unnamed value is a string equal to "DiskImage",
// ignoring case.
bool ValueIsDiskImage(const RegKey& key);

// True when `key` has a subkey; an error enumerating counts as true, so
// that a key we cannot look into is never deleted.
bool HasSubkeys(const RegKey& key);

// True when `key` holds any value; an error counts as true.
bool HasValues(const RegKey& key);

// Deletes the unnamed value of HKEY_CLASSES_ROOT\`keyName`. Returns 0 or
// the registry error.
LONG DeleteDefaultValue(const char* keyName);

// Deletes the value `valueName` (null: the unnamed one) of
// HKEY_CLASSES_ROOT\`keyName`. Returns 0 or the registry error.
LONG DeleteValue(const char* keyName, const char* valueName);

// The string value `valueName` (null: the unnamed one) of `key` with its
// type (REG_SZ or REG_EXPAND_SZ), whatever its length; false when it is
// missing, of another type or cannot be read.
bool ReadStringValue(const RegKey& key, const char* valueName, std::string& value, DWORD& type);

// Sets the unnamed value of HKEY_CLASSES_ROOT\`keyName` to `value` of
// `type`. Returns 0 or the registry error.
LONG SetDefaultString(const char* keyName, const std::string& value, DWORD type);

// Deletes `subkey` of `parent`. Recursive: with all its subkeys. Not
// recursive: only when it has no subkeys, else it stays and 0 is returned.
// Returns 0 or the registry error.
LONG DeleteKeyTree(HKEY parent, const char* subkey, bool recursive);

// The unnamed value of HKEY_CLASSES_ROOT\`keyName` when it is a string;
// false when the key or the value is missing or of another type.
bool ReadDefaultString(const char* keyName, std::string& value);

// The names of `key`'s subkeys, and false when they could not all be read.
bool ListSubkeys(const RegKey& key, std::vector<std::string>& names);

// True when `key` holds a value besides the unnamed one; an error counts as
// true.
bool HasNamedValues(const RegKey& key);

// Opens HKEY_CLASSES_ROOT\`keyName` for reading; empty when it cannot.
RegKey OpenForReading(const char* keyName);

}  // namespace pelwick
