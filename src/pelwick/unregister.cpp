#include "pelwick/unregister.h"

#include <shlobj.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "pelwick/registry_tree.h"
#include "pelwick/string_ids.h"
#include "pelwick/tool_message.h"

namespace pelwick {
namespace {

constexpr const char* kExtensions[] = {".dsk", ".flp"};
constexpr char kOpenVerb[] = "OpenWithVolkarn";
constexpr char kWriteVerb[] = "WriteToDisk";

bool HasValue(const RegKey& key, const char* name) {
    return RegQueryValueExA(key.get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool KeyExists(const std::string& name) { return static_cast<bool>(OpenForReading(name.c_str())); }

// The file name of a DefaultIcon value, without quotes and icon index.
std::string IconFileName(std::string value) {
    // ",2" is the icon index; a comma inside a folder name is no index.
    const size_t comma = value.rfind(',');
    if (comma != std::string::npos &&
        value.find_first_not_of("-0123456789 ", comma + 1) == std::string::npos) {
        value.erase(comma);
    }
    value.erase(std::remove(value.begin(), value.end(), '"'), value.end());
    const size_t slash = value.find_last_of("\\/:");
    return slash == std::string::npos ? value : value.substr(slash + 1);
}

bool IsOneOf(const std::string& name, std::initializer_list<const char*> names) {
    for (const char* candidate : names) {
        if (lstrcmpiA(name.c_str(), candidate) == 0) {
            return true;
        }
    }
    return false;
}

// Gives the extension back to the program whose association the main
// program replaced, or takes our default value away when it replaced none;
// the key itself goes only when nothing of another program is left in it
// (an open-with list, a content type).
LONG RemoveExtension(const char* extension) {
    bool ours = false;
    bool kept = false;
    std::string previous;
    DWORD previousType = REG_NONE;
    {
        const RegKey key = OpenForReading(extension);
        if (!key) {
            return ERROR_SUCCESS;
        }
        ours = ValueIsDiskImage(key);
        kept = HasValue(key, kKeptValue);
        if (kept && !(ReadStringValue(key, kKeptValue, previous, previousType) && !previous.empty())) {
            previous.clear();
        }
    }
    if (!ours) {
        // Another program has taken the extension since: what we kept for
        // the one before is of no use any more.
        return kept ? DeleteValue(extension, kKeptValue) : ERROR_SUCCESS;
    }
    LONG result =
        previous.empty() ? DeleteDefaultValue(extension) : SetDefaultString(extension, previous, previousType);
    if (result == ERROR_SUCCESS && kept) {
        result = DeleteValue(extension, kKeptValue);
    }
    if (result != ERROR_SUCCESS || !previous.empty()) {
        return result;
    }
    const RegKey key = OpenForReading(extension);
    if (key && HasValues(key)) {
        return ERROR_SUCCESS;
    }
    return DeleteKeyTree(HKEY_CLASSES_ROOT, extension, false);
}

// True when the shell key's default verb is our open verb.
bool DefaultVerbIsOurs(const AssociationKeys& keys) {
    const RegKey shell = OpenForReading(keys.shell.c_str());
    std::string verb;
    DWORD type = REG_NONE;
    return shell && ReadStringValue(shell, nullptr, verb, type) && lstrcmpiA(verb.c_str(), kOpenVerb) == 0;
}

// True when `name` is missing or has neither subkeys nor values left.
bool IsEmptyOrMissing(const std::string& name) {
    const RegKey key = OpenForReading(name.c_str());
    return !key || (!HasSubkeys(key) && !HasValues(key));
}

}  // namespace

bool IconIsOurs(const AssociationKeys& keys) {
    std::string value;
    return ReadDefaultString(keys.icon.c_str(), value) && lstrcmpiA(IconFileName(value).c_str(), kProgramFile) == 0;
}

bool ProgIdHoldsOnlyOurs(const AssociationKeys& keys) {
    const RegKey progId = OpenForReading(kProgId);
    if (!progId) {
        return true;
    }
    std::vector<std::string> subkeys;
    if (!ListSubkeys(progId, subkeys) || HasNamedValues(progId)) {
        return false;
    }
    for (const std::string& subkey : subkeys) {
        if (IsOneOf(subkey, {"DefaultIcon"})) {
            if (!IconIsOurs(keys)) {
                return false;
            }
        } else if (!IsOneOf(subkey, {"shell"})) {
            return false;
        }
    }
    const RegKey shell = OpenForReading(keys.shell.c_str());
    if (!shell) {
        return true;
    }
    std::vector<std::string> verbs;
    if (!ListSubkeys(shell, verbs) || HasNamedValues(shell) || (HasValues(shell) && !DefaultVerbIsOurs(keys))) {
        return false;
    }
    for (const std::string& verb : verbs) {
        if (!IsOneOf(verb, {kOpenVerb, kWriteVerb})) {
            return false;
        }
    }
    return true;
}

AssociationKeys BuildAssociationKeys() {
    AssociationKeys keys;
    keys.shell = std::string(kProgId) + "\\shell";
    keys.openVerb = keys.shell + "\\" + kOpenVerb;
    keys.writeVerb = keys.shell + "\\" + kWriteVerb;
    keys.icon = std::string(kProgId) + "\\DefaultIcon";
    return keys;
}

// An extension naming "DiskImage" may be another program's: only our
// verbs and our icon tell that Volkarn registered itself here.
bool RegistrationPresent(const AssociationKeys& keys) {
    return KeyExists(keys.openVerb) || KeyExists(keys.writeVerb) || IconIsOurs(keys);
}

bool RemoveAssociations(const AssociationKeys& keys) {
    // The extensions lead to the ProgID: they go only with a ProgID that
    // holds nothing of another program, which then goes too.
    if (ProgIdHoldsOnlyOurs(keys)) {
        for (const char* extension : kExtensions) {
            if (RemoveExtension(extension) != ERROR_SUCCESS) {
                return false;
            }
        }
    }
    if (DeleteKeyTree(HKEY_CLASSES_ROOT, keys.openVerb.c_str(), true) != ERROR_SUCCESS ||
        DeleteKeyTree(HKEY_CLASSES_ROOT, keys.writeVerb.c_str(), true) != ERROR_SUCCESS) {
        return false;
    }
    // Our open verb as the default one goes with it. Another program's verb
    // or default verb keeps the shell key, and the icon with it; another
    // program's icon stays in any case.
    if (DefaultVerbIsOurs(keys) && DeleteDefaultValue(keys.shell.c_str()) != ERROR_SUCCESS) {
        return false;
    }
    if (IsEmptyOrMissing(keys.shell)) {
        if (DeleteKeyTree(HKEY_CLASSES_ROOT, keys.shell.c_str(), true) != ERROR_SUCCESS ||
            (IconIsOurs(keys) && DeleteKeyTree(HKEY_CLASSES_ROOT, keys.icon.c_str(), true) != ERROR_SUCCESS)) {
            return false;
        }
    }
    bool progIdEmpty = false;
    {
        const RegKey progId = OpenForReading(kProgId);
        progIdEmpty = progId && !HasSubkeys(progId) && !HasNamedValues(progId);
    }
    return !progIdEmpty || DeleteKeyTree(HKEY_CLASSES_ROOT, kProgId, true) == ERROR_SUCCESS;
}

void UnregisterAssociations(HINSTANCE instance) {
    const AssociationKeys keys = BuildAssociationKeys();
    if (!RegistrationPresent(keys)) {
        ShowToolMessage(instance, IDS_MSG_NOT_REGISTERED, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (ShowToolMessage(instance, IDS_MSG_CONFIRM_UNREGISTER, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        return;
    }
    const bool ok = RemoveAssociations(keys);
    // Also after a failure: keys removed before it are gone for the shell too.
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    ShowToolMessage(instance, ok ? IDS_MSG_UNREGISTERED : IDS_MSG_UNREGISTER_FAILED,
                    MB_OK | (ok ? MB_ICONINFORMATION : MB_ICONERROR));
}

}  // namespace pelwick
