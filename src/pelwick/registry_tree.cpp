#include "pelwick/registry_tree.h"

namespace pelwick {
namespace {

constexpr DWORD kValueBufferSize = 256;    // bytes of the extension's default value read
constexpr DWORD kProbeNameLength = 256;    // characters, to see whether a subkey exists
constexpr DWORD kSubkeyNameLength = 260;   // characters, for the subkeys being deleted

LONG NotFoundAsSuccess(LONG result) { return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result; }

}  // namespace

RegKey& RegKey::operator=(RegKey&& other) noexcept {
    if (this != &other) {
        Close();
        key_ = other.Release();
    }
    return *this;
}

HKEY RegKey::Release() {
    const HKEY key = key_;
    key_ = nullptr;
    return key;
}

void RegKey::Close() {
    if (key_ != nullptr) {
        RegCloseKey(key_);
        key_ = nullptr;
    }
}

RegKey OpenKey(HKEY parent, const char* subkey, REGSAM access, LONG& result) {
    HKEY key = nullptr;
    result = RegOpenKeyExA(parent, subkey, 0, access, &key);
    return RegKey(result == ERROR_SUCCESS ? key : nullptr);
}

bool ValueIsDiskImage(const RegKey& key) {
    // One byte more than read, so that a value stored without its
    // terminating zero still ends.
    char value[kValueBufferSize + 1] = "";
    DWORD size = kValueBufferSize;
    DWORD type = REG_NONE;
    const LONG result =
        RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    value[size] = '\0';
    return lstrcmpiA(value, kProgId) == 0;
}

bool HasSubkeys(const RegKey& key) {
    char name[kProbeNameLength];
    DWORD length = kProbeNameLength;
    const LONG result = RegEnumKeyExA(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr);
    return result != ERROR_NO_MORE_ITEMS;
}

bool HasValues(const RegKey& key) {
    DWORD values = 0;
    const LONG result =
        RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr);
    return result != ERROR_SUCCESS || values != 0;
}

LONG DeleteDefaultValue(const char* keyName) { return DeleteValue(keyName, nullptr); }

LONG DeleteValue(const char* keyName, const char* valueName) {
    LONG result = ERROR_SUCCESS;
    const RegKey key = OpenKey(HKEY_CLASSES_ROOT, keyName, KEY_SET_VALUE, result);
    if (result != ERROR_SUCCESS) {
        return NotFoundAsSuccess(result);
    }
    return NotFoundAsSuccess(RegDeleteValueA(key.get(), valueName));
}

bool ReadStringValue(const RegKey& key, const char* valueName, std::string& value, DWORD& type) {
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    // One byte more than read, so that a value stored without its
    // terminating zero still ends.
    std::vector<char> text(size + 1, '\0');
    if (RegQueryValueExA(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    value = text.data();
    return true;
}

LONG SetDefaultString(const char* keyName, const std::string& value, DWORD type) {
    LONG result = ERROR_SUCCESS;
    const RegKey key = OpenKey(HKEY_CLASSES_ROOT, keyName, KEY_SET_VALUE, result);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    return RegSetValueExA(key.get(), nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

namespace {

// Empties `key` of its subkeys (recursive) or only looks whether it has
// any. 0 or the registry error.
LONG EmptyKey(HKEY key, bool recursive, bool& hasSubkeys) {
    hasSubkeys = false;
    char previous[kSubkeyNameLength] = "";
    for (;;) {
        char name[kSubkeyNameLength];
        DWORD length = kSubkeyNameLength;
        const LONG result = RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) {
            return ERROR_SUCCESS;
        }
        if (result != ERROR_SUCCESS) {
            return result;
        }
        hasSubkeys = true;
        if (!recursive) {
            return ERROR_SUCCESS;
        }
        // A subkey that "deleted" without going away (a link to a missing
        // key opens as not-found) would come back at index 0 for ever.
        if (lstrcmpiA(name, previous) == 0) {
            return ERROR_CANTWRITE;
        }
        const LONG deleted = DeleteKeyTree(key, name, true);
        if (deleted != ERROR_SUCCESS) {
            return deleted;
        }
        lstrcpyA(previous, name);
    }
}

}  // namespace

LONG DeleteKeyTree(HKEY parent, const char* subkey, bool recursive) {
    bool hasSubkeys = false;
    {
        LONG opened = ERROR_SUCCESS;
        const RegKey key = OpenKey(parent, subkey, KEY_ENUMERATE_SUB_KEYS | KEY_SET_VALUE, opened);
        if (opened != ERROR_SUCCESS) {
            return NotFoundAsSuccess(opened);
        }
        // The key is closed again before it is deleted.
        const LONG result = EmptyKey(key.get(), recursive, hasSubkeys);
        if (result != ERROR_SUCCESS) {
            return NotFoundAsSuccess(result);
        }
    }
    if (!recursive && hasSubkeys) {
        return ERROR_SUCCESS;
    }
    return NotFoundAsSuccess(RegDeleteKeyA(parent, subkey));
}

bool ReadDefaultString(const char* keyName, std::string& value) {
    const RegKey key = OpenForReading(keyName);
    if (!key) {
        return false;
    }
    char text[kValueBufferSize + 1] = "";
    DWORD size = kValueBufferSize;
    DWORD type = REG_NONE;
    const LONG result =
        RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    text[size] = '\0';
    value = text;
    return true;
}

bool ListSubkeys(const RegKey& key, std::vector<std::string>& names) {
    names.clear();
    LONG result = ERROR_SUCCESS;
    for (DWORD index = 0;; ++index) {
        char name[kSubkeyNameLength];
        DWORD length = kSubkeyNameLength;
        result = RegEnumKeyExA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    return result == ERROR_NO_MORE_ITEMS;
}

bool HasNamedValues(const RegKey& key) {
    for (DWORD index = 0;; ++index) {
        char name[kSubkeyNameLength];
        DWORD length = kSubkeyNameLength;
        const LONG result = RegEnumValueA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) {
            return false;
        }
        // A name too long for the buffer is a name all the same.
        if ((result != ERROR_SUCCESS && result != ERROR_MORE_DATA) || length != 0) {
            return true;
        }
    }
}

RegKey OpenForReading(const char* keyName) {
    LONG result = ERROR_SUCCESS;
    return OpenKey(HKEY_CLASSES_ROOT, keyName, KEY_READ, result);
}

}  // namespace pelwick
