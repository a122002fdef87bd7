// The association /R replaces on an extension, kept beside ours: PELWICK
// gives it back to its program when it takes our registration away.
#pragma once

#include <windows.h>

namespace vk {

// The value under the extension key that holds the replaced default value.
// PELWICK reads it under the same name.
constexpr char kKeptAssociationValue[] = "VolkarnPrevious";

// Keeps the default value of HKEY_CLASSES_ROOT\`extension` in
// kKeptAssociationValue when it names a ProgID other than `progId`. A value
// kept by an earlier run stays: it is the association from before Volkarn.
// A missing key, an empty or non-string value and our own ProgID keep
// nothing. Returns 0 or the registry error.
LONG KeepReplacedAssociation(const char* extension, const char* progId);

}  // namespace vk
