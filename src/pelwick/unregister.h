// The whole run of PELWICK: find the main program's associations, ask, and
// remove them.
#pragma once

#include <windows.h>

#include <string>

namespace pelwick {

// HKEY_CLASSES_ROOT keys the main program writes (the same names, written
// again here: the two programs share no code).
struct AssociationKeys {
    std::string shell;       // DiskImage\shell
    std::string openVerb;    // DiskImage\shell\OpenWithVolkarn
    std::string writeVerb;   // DiskImage\shell\WriteToDisk
    std::string icon;        // DiskImage\DefaultIcon
};

AssociationKeys BuildAssociationKeys();

// True when an extension points at our ProgID or one of our verbs exists.
bool RegistrationPresent(const AssociationKeys& keys);

// Removes what the main program registered, step by step, stopping at the
// first registry error. True when every step succeeded.
bool RemoveAssociations(const AssociationKeys& keys);

// Detect, ask, remove and report, with the texts of `instance`'s string
// table.
void UnregisterAssociations(HINSTANCE instance);

}  // namespace pelwick
