#include "pelwick/registry_tree.h"

namespace pelwick {
namespace {

constexpr DWORD kValueBufferSize = 256;    // bytes of the extension's default value read
constexpr DWORD kProbeNameLength = 256;    // characters, to see whether a subkey exists
constexpr DWORD kSubkeyNameLength = 260;   // characters, for the subkeys being deleted

LONG NotFoundAsSuccess(LONG result) { return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result; }

}  // namespace

bool ValueIsDiskImage(HKEY key) {
    // One byte more than read, so that a value stored without its
    // terminating zero still ends.
    char value[kValueBufferSize + 1] = "";
    DWORD size = kValueBufferSize;
    DWORD type = REG_NONE;
    const LONG result = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    value[size] = '\0';
    return lstrcmpiA(value, kProgId) == 0;
}

bool HasSubkeys(HKEY key) {
    char name[kProbeNameLength];
    DWORD length = kProbeNameLength;
    const LONG result = RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return result != ERROR_NO_MORE_ITEMS;
}

bool HasValues(HKEY key) {
    DWORD values = 0;
    const LONG result =
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr);
    RegCloseKey(key);
    return result != ERROR_SUCCESS || values != 0;
}

LONG DeleteDefaultValue(const char* keyName) {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName, 0, KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS) {
        return NotFoundAsSuccess(result);
    }
    result = RegDeleteValueA(key, nullptr);
    RegCloseKey(key);
    return NotFoundAsSuccess(result);
}

LONG DeleteKeyTree(HKEY parent, const char* subkey, bool recursive) {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(parent, subkey, 0, KEY_ENUMERATE_SUB_KEYS | KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS) {
        return NotFoundAsSuccess(result);
    }

    bool hasSubkeys = false;
    char previous[kSubkeyNameLength] = "";
    for (;;) {
        char name[kSubkeyNameLength];
        DWORD length = kSubkeyNameLength;
        result = RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) {
            result = ERROR_SUCCESS;
            break;
        }
        if (result != ERROR_SUCCESS) {
            break;
        }
        hasSubkeys = true;
        if (!recursive) {
            break;
        }
        // A subkey that "deleted" without going away (a link to a missing
        // key opens as not-found) would come back at index 0 for ever.
        if (lstrcmpiA(name, previous) == 0) {
            result = ERROR_CANTWRITE;
            break;
        }
        result = DeleteKeyTree(key, name, true);
        if (result != ERROR_SUCCESS) {
            break;
        }
        lstrcpyA(previous, name);
    }
    RegCloseKey(key);

    if (result != ERROR_SUCCESS) {
        return NotFoundAsSuccess(result);
    }
    if (!recursive && hasSubkeys) {
        return ERROR_SUCCESS;
    }
    return NotFoundAsSuccess(RegDeleteKeyA(parent, subkey));
}

bool ReadDefaultString(const char* keyName, std::string& value) {
    HKEY key = OpenForReading(keyName);
    if (key == nullptr) {
        return false;
    }
    char text[kValueBufferSize + 1] = "";
    DWORD size = kValueBufferSize;
    DWORD type = REG_NONE;
    const LONG result = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    text[size] = '\0';
    value = text;
    return true;
}

bool ListSubkeys(HKEY key, std::vector<std::string>& names) {
    names.clear();
    LONG result = ERROR_SUCCESS;
    for (DWORD index = 0;; ++index) {
        char name[kSubkeyNameLength];
        DWORD length = kSubkeyNameLength;
        result = RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return result == ERROR_NO_MORE_ITEMS;
}

bool HasNamedValues(HKEY key) {
    for (DWORD index = 0;; ++index) {
        char name[kSubkeyNameLength];
        DWORD length = kSubkeyNameLength;
        const LONG result = RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) {
            RegCloseKey(key);
            return false;
        }
        // A name too long for the buffer is a name all the same.
        if ((result != ERROR_SUCCESS && result != ERROR_MORE_DATA) || length != 0) {
            RegCloseKey(key);
            return true;
        }
    }
}

HKEY OpenForReading(const char* keyName) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

}  // namespace pelwick
