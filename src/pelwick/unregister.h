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

// The program file the main program's DefaultIcon names.
constexpr char kProgramFile[] = "VOLKARN.EXE";

// True when the ProgID's DefaultIcon names the main program's file.
bool IconIsOurs(const AssociationKeys& keys);

// True when the ProgID is missing or holds nothing but the main program's
// entries: its description, our icon, our two verbs and the open verb as
// the default one.
bool ProgIdHoldsOnlyOurs(const AssociationKeys& keys);

// True when one of our verbs exists or the icon is ours.
bool RegistrationPresent(const AssociationKeys& keys);

// Removes what the main program registered, step by step, stopping at the
// first registry error: an extension whose association the main program
// replaced gets it back. True when every step succeeded.
bool RemoveAssociations(const AssociationKeys& keys);

// Detect, ask, remove and report, with the texts of `instance`'s string
// table.
void UnregisterAssociations(HINSTANCE instance);

}  // namespace pelwick
