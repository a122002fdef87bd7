#include "tests/win32/associations/class_registry.h"

#include <sddl.h>
#include <shlwapi.h>

#include <algorithm>

#include <gtest/gtest.h>

namespace vk::test {
namespace {

constexpr const char* kRoots[] = {".dsk", ".flp", "DiskImage", kStandInProgId};
constexpr DWORD kNameLength = 260;

void ApplyDacl(HKEY key, const std::string& sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                                     nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor));
    LocalFree(descriptor);
}

std::vector<std::string> SubkeyNames(HKEY key) {
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        char name[kNameLength];
        DWORD length = kNameLength;
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        names.push_back(name);
    }
    return names;
}

// Deletes `name` and everything below it whatever a run left there: keys
// denied to everyone, and links (deleted as links, not followed).
void DeleteTree(HKEY parent, const std::string& name) {
    using DeleteKeyFunction = LONG(NTAPI*)(HANDLE);
    static const auto deleteKey = reinterpret_cast<DeleteKeyFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name.c_str(), REG_OPTION_OPEN_LINK, WRITE_DAC, &key) != ERROR_SUCCESS) {
        return;
    }
    ApplyDacl(key, "D:(A;;KA;;;WD)");
    RegCloseKey(key);
    if (RegOpenKeyExA(parent, name.c_str(), REG_OPTION_OPEN_LINK, KEY_READ | DELETE, &key) != ERROR_SUCCESS) {
        return;
    }
    for (const std::string& sub : SubkeyNames(key)) {
        DeleteTree(key, sub);
    }
    EXPECT_EQ(0, deleteKey(key)) << name;
    RegCloseKey(key);
}

void CollectTree(HKEY parent, const std::string& name, const std::string& fullName,
                 std::vector<std::string>& out) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    out.push_back(fullName);
    for (const std::string& sub : SubkeyNames(key)) {
        CollectTree(key, sub, fullName + "\\" + sub, out);
    }
    RegCloseKey(key);
}

std::string DumpValues(const std::string& keyName) {
    HKEY key = nullptr;
    std::string dump;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return dump;
    }
    for (DWORD i = 0;; ++i) {
        char name[kNameLength];
        DWORD nameLength = kNameLength;
        BYTE data[1024];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) {
            break;
        }
        dump += "  [" + std::string(name) + "] type " + std::to_string(type) + " = " +
                std::string(reinterpret_cast<char*>(data), dataSize) + "\n";
    }
    RegCloseKey(key);
    return dump;
}

}  // namespace

ClassKey ReadClassKey(const std::string& keyName) {
    ClassKey result;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return result;
    }
    result.exists = true;
    char value[1024] = "";
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS) {
        result.hasDefault = true;
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            value[size] = '\0';
            result.value = value;
        }
    }
    RegCloseKey(key);
    return result;
}

std::vector<std::string> ClassKeyTree(const std::string& key) {
    std::vector<std::string> names;
    CollectTree(HKEY_CLASSES_ROOT, key, key, names);
    std::sort(names.begin(), names.end());
    return names;
}

std::string AssociationSnapshot() {
    std::string snapshot;
    for (const char* root : kRoots) {
        for (const std::string& key : ClassKeyTree(root)) {
            snapshot += key + "\n" + DumpValues(key);
        }
    }
    return snapshot;
}

void PutClassKey(const std::string& keyName) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, keyName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr))
        << keyName;
    RegCloseKey(key);
}

ClassValue ReadClassValue(const std::string& keyName, const std::string& name) {
    ClassValue result;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return result;
    }
    char value[1024] = "";
    DWORD size = sizeof value - 1;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &result.type, reinterpret_cast<BYTE*>(value), &size) ==
        ERROR_SUCCESS) {
        result.exists = true;
        value[size] = '\0';
        result.value = value;
    }
    RegCloseKey(key);
    return result;
}

void PutClassKey(const std::string& keyName, const std::string& defaultValue) {
    PutClassValue(keyName, "", defaultValue);
}

void PutClassValue(const std::string& keyName, const std::string& name, const std::string& value, DWORD type) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, keyName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr))
        << keyName;
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name.empty() ? nullptr : name.c_str(), 0, type,
                                            reinterpret_cast<const BYTE*>(value.c_str()),
                                            static_cast<DWORD>(value.size() + 1)));
    RegCloseKey(key);
}

void DenyClassKey(const std::string& keyName, DWORD access) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName.c_str(), 0, WRITE_DAC, &key)) << keyName;
    char deny[16];
    wsprintfA(deny, "0x%lx", access);
    ApplyDacl(key, std::string("D:(D;;") + deny + ";;;WD)(A;;KA;;;WD)");
    RegCloseKey(key);
}

void RemoveAssociationKeys() {
    for (const char* root : kRoots) {
        DeleteTree(HKEY_CLASSES_ROOT, root);
        EXPECT_FALSE(ReadClassKey(root).exists) << root << " could not be removed";
    }
}

void PutFullRegistration(const std::string& programPath) {
    PutClassKey(".dsk", "DiskImage");
    PutClassKey("DiskImage", "Disk image");
    PutClassKey("DiskImage\\DefaultIcon", programPath + ",2");
    PutClassKey("DiskImage\\shell\\OpenWithVolkarn", "Open with &Volkarn");
    PutClassKey("DiskImage\\shell\\OpenWithVolkarn\\command", "\"" + programPath + "\" \"%1\"");
    PutClassKey("DiskImage\\shell", "OpenWithVolkarn");
    PutClassKey("DiskImage\\shell\\WriteToDisk", "&Write image to disk");
    PutClassKey("DiskImage\\shell\\WriteToDisk\\command", "\"" + programPath + "\" -W \"%1\"");
    PutClassKey(".flp", "DiskImage");
}

std::string AssociatedCommand(const char* extension) {
    char command[1024] = "";
    DWORD length = sizeof command;
    if (AssocQueryStringA(ASSOCF_NONE, ASSOCSTR_COMMAND, extension, nullptr, command, &length) != S_OK) {
        return {};
    }
    return command;
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace vk::test
