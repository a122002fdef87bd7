#include "win32/settings/associations.h"

#include <shlobj.h>

#include "engine/ports/prompts.h"
#include "engine/strings/string_ids.h"
#include "win32/settings/kept_association.h"
#include "win32/ports/win32_prompts.h"

namespace vk {
namespace {

constexpr char kProgId[] = "DiskImage";
constexpr char kDefaultIconKey[] = "\\DefaultIcon";
constexpr char kShellKey[] = "\\shell";
// The open verb is the shell key's default: a shell that does not guess
// one would otherwise open an image with nothing.
constexpr char kOpenVerb[] = "OpenWithVolkarn";
constexpr char kWriteVerb[] = "WriteToDisk";
constexpr char kCommandKey[] = "\\command";

// The verbs' arguments behind the program path: the image in quotes, and
// for the second verb the write switch before it.
constexpr char kOpenArguments[] = "\"%1\"";
constexpr char kWriteArguments[] = "-W \"%1\"";
// The third icon group of the program file (resource 102).
constexpr unsigned kDiskImageIconIndex = 2;

constexpr unsigned kFirstVersionRefused = 0x0501;  // Windows XP
constexpr int kStringLength = 80;

struct KeyRow {
    std::string key;
    std::string value;
};

std::string LoadString80(unsigned id) {
    char text[kStringLength] = "";
    LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return text;
}

// Creates or opens `key` and sets its unnamed value; the length stored
// counts the terminating zero.
LONG WriteRow(const KeyRow& row) {
    HKEY key = nullptr;
    LONG result = RegCreateKeyExA(HKEY_CLASSES_ROOT, row.key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_SET_VALUE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    result = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(row.value.c_str()),
                            static_cast<DWORD>(row.value.size() + 1));
    RegCloseKey(key);
    return result;
}

}  // namespace

PlatformVersion QueryPlatformVersion() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) {
        return {};
    }
    return {static_cast<unsigned>(info.dwMajorVersion), static_cast<unsigned>(info.dwMinorVersion)};
}

bool RegistrationAllowed(PlatformVersion version) {
    return version.major * 256 + version.minor < kFirstVersionRefused;
}

LONG WriteAssociationKeys(const std::string& programPath, const char* openArguments, const char* extension,
                          const char* progId, bool full, unsigned iconIndex, unsigned descriptionId,
                          const char* writeArguments) {
    const std::string id(progId);
    // The commands quote the program path: unquoted, the shell tries the
    // shorter prefixes of a path with blanks first and may start another
    // program. The icon value stays plain, the form the shell reads there.
    const std::string program = "\"" + programPath + "\"";
    const std::string shell = id + kShellKey;
    const std::string openVerb = shell + "\\" + kOpenVerb;
    const std::string writeVerb = shell + "\\" + kWriteVerb;
    const KeyRow rows[] = {
        {extension, id},
        {id, LoadString80(descriptionId)},
        {id + kDefaultIconKey, programPath + "," + std::to_string(iconIndex)},
        {openVerb, LoadString80(kStrVerbOpen)},
        {openVerb + kCommandKey, program + " " + openArguments},
        {shell, kOpenVerb},
        {writeVerb, LoadString80(kStrVerbWriteToDisk)},
        {writeVerb + kCommandKey, program + " " + writeArguments},
    };
    // Another program's association on the extension is kept before ours
    // replaces it, so that PELWICK can give it back.
    const LONG kept = KeepReplacedAssociation(extension, progId);
    if (kept != ERROR_SUCCESS) {
        return kept;
    }
    const size_t count = full ? sizeof rows / sizeof rows[0] : 1;
    for (size_t i = 0; i < count; ++i) {
        const LONG result = WriteRow(rows[i]);
        if (result != ERROR_SUCCESS) {
            return result;
        }
    }
    return ERROR_SUCCESS;
}

std::string RunningProgramPath() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    // A path that filled the buffer was cut: registering it would point the
    // shell at a file that does not exist.
    if (length == 0 || length >= sizeof path) {
        return {};
    }
    return std::string(path, length);
}

bool RegisterAssociations(HWND owner) {
    return RegisterAssociations(owner, QueryPlatformVersion(), RunningProgramPath());
}

bool RegisterAssociations(HWND owner, PlatformVersion version, const std::string& programPath) {
    if (!RegistrationAllowed(version)) {
        Tell(owner, TextNotice(kMsgRegisterUnsupported, Tone::kError));
        return false;
    }
    // Without our own path there is nothing to point the shell at; saying
    // "successful" then would hide that nothing was written.
    LONG result = ERROR_INVALID_NAME;
    if (!programPath.empty()) {
        result = WriteAssociationKeys(programPath, kOpenArguments, ".dsk", kProgId, true, kDiskImageIconIndex,
                                      kStrProgIdDescription, kWriteArguments);
        if (result == ERROR_SUCCESS) {
            result = WriteAssociationKeys(programPath, kOpenArguments, ".flp", kProgId, false, kDiskImageIconIndex,
                                          kStrProgIdDescription, kWriteArguments);
        }
    }
    if (result != ERROR_SUCCESS) {
        Tell(owner, TextNotice(kMsgRegisterFailed, Tone::kError));
        return false;
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    Tell(owner, TextNotice(kMsgRegisterOk, Tone::kInformation));
    return true;
}

}  // namespace vk
