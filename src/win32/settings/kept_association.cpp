#include "win32/settings/kept_association.h"

#include <string>
#include <vector>

namespace vk {
namespace {

// The string `name` of `key` with its type; false when it is missing, no
// string, or cannot be read.
bool ReadString(HKEY key, const char* name, std::string& value, DWORD& type) {
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    // One byte more than stored, so that a value written without its
    // terminating zero still ends.
    std::vector<char> text(size + 1, '\0');
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    value = text.data();
    return true;
}

}  // namespace

LONG KeepReplacedAssociation(const char* extension, const char* progId) {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(HKEY_CLASSES_ROOT, extension, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
    if (result == ERROR_FILE_NOT_FOUND) {
        return ERROR_SUCCESS;
    }
    if (result != ERROR_SUCCESS) {
        return result;
    }
    std::string current;
    DWORD type = REG_NONE;
    if (ReadString(key, nullptr, current, type) && !current.empty() && lstrcmpiA(current.c_str(), progId) != 0) {
        result = RegQueryValueExA(key, kKeptAssociationValue, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_FILE_NOT_FOUND) {
            result = RegSetValueExA(key, kKeptAssociationValue, 0, type,
                                    reinterpret_cast<const BYTE*>(current.c_str()),
                                    static_cast<DWORD>(current.size() + 1));
        }
    } else {
        result = ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return result;
}

}  // namespace vk
