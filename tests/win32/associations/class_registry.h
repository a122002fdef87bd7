// The HKEY_CLASSES_ROOT keys of the shell associations, as the tests set
// them up and read them back in Wine's real registry.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vk::test {

struct ClassKey {
    bool exists = false;
    bool hasDefault = false;
    std::string value;  // the unnamed value, when it is a string
};

ClassKey ReadClassKey(const std::string& key);

struct ClassValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::string value;  // without its terminating zero
};

// The value `name` of `key`; "" names the unnamed one.
ClassValue ReadClassValue(const std::string& key, const std::string& name);

// The ProgID of another program, which the tests give a verb of its own.
constexpr char kStandInProgId[] = "StandInImage";

// `key` and every key below it, as full names, sorted.
std::vector<std::string> ClassKeyTree(const std::string& key);

// Every key and value of .dsk, .flp, DiskImage and the stand-in ProgID as
// one text, to show that a run changed nothing.
std::string AssociationSnapshot();

void PutClassKey(const std::string& key);
void PutClassKey(const std::string& key, const std::string& defaultValue);
void PutClassValue(const std::string& key, const std::string& name, const std::string& value,
                   DWORD type = REG_SZ);

// Denies `access` on an existing key to everyone, as a key of another
// owner would.
void DenyClassKey(const std::string& key, DWORD access);

// Removes .dsk, .flp, DiskImage and the stand-in ProgID with every key
// below them, lifting any denial first.
void RemoveAssociationKeys();

// Writes the keys and values the main program registers, for `programPath`.
void PutFullRegistration(const std::string& programPath);

// The command the shell finds for `extension` with no verb named, as a
// double click would run it; empty when it finds none.
std::string AssociatedCommand(const char* extension);

// True when running under Wine, whose per-program settings the tests use.
bool RunningUnderWine();

}  // namespace vk::test
