// Making a folder inside any directory: an entry with the directory bit and
// one zeroed cluster holding "." and ".." (".." is 0 under the root). All
// checks come first and write nothing; the write that follows cannot fail.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "engine/common/result.h"
#include "engine/core/layout.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/dir/dir_slot.h"
#include "engine/fat/dir/dir_walk.h"

namespace vk {

struct FolderPlan {
    DirRef parent;
    NewSlot slot;          // the entry's slot, and the parent's growth if it needs one
    uint32_t cluster = 0;  // the new folder's one cluster
    std::array<uint8_t, kDirFullNameLength> name{};  // as stored

    // Every byte WriteFolder changes.
    WriteRanges Writes(const Layout& layout) const;
};

// Checks what making the folder `displayName` (a valid 8.3 name; the caller
// checks it) in `parent` needs, writing nothing: no shown entry of that name
// there (else the name is taken), a slot (PlanNewSlot, whose failures it
// passes on) and one more free cluster, none of `keep` (else the disk is
// full), that lies inside the image (else the image is too small).
Result PlanFolder(const ConstVolume& vol, DirRef parent, std::string_view parentPath, std::string_view displayName,
                  FolderPlan& plan, const ClusterSet* keep = nullptr);

// Writes a planned folder stamped `date` and `time`; the offset of its entry.
uint32_t WriteFolder(const Volume& vol, const FolderPlan& plan, uint16_t date, uint16_t time);

// PlanFolder, then WriteFolder: done with the new entry in `changes.added`,
// or failed having written nothing.
Result MakeFolder(const Volume& vol, DirRef parent, std::string_view parentPath, std::string_view displayName,
                  uint16_t date, uint16_t time, const ClusterSet* keep = nullptr);

}  // namespace vk
