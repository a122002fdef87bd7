// The one pass that finds and mends everything a check looks at, on any
// volume: the document's own for a fix, a scratch copy for a check. Each
// mend is made as soon as its fault is met, so that what comes later sees
// the disk as mended (an entry removed leaves a lost chain, a renamed entry
// leaves its long name stray), and one pass leaves a disk a second finds sound.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/common/bytes.h"
#include "engine/common/result.h"
#include "engine/fat/check/disk_check.h"
#include "engine/fat/table/volume.h"

namespace vk {

struct RepairTarget {
    Volume vol;
    ByteBlock* errorList = nullptr;  // the bad-sector list, changed with the FAT; null or empty: none to compare
    bool listHasErrors = false;      // the list marks a sector: clusters marked bad must be in it
    bool firstFatInForce = false;    // the document was changed: FAT copy 1 is the FAT, the save writes it over the others
    uint16_t date = 0;               // the stamp of FOUND.nnn and its files
    uint16_t time = 0;
};

struct RepairOutcome {
    std::vector<Finding> findings;
    EntryChanges changes;
};

// Finds and mends; every write goes into `target`. The boot sector is never
// written: the FATs, the root, the clusters and the list only.
RepairOutcome RunRepair(const RepairTarget& target, const CheckOptions& options);

}  // namespace vk
