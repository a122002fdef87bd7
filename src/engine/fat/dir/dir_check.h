// Whether a subdirectory can be entered: what is checked before any walk
// reads a folder's entries, so that a damaged or looping tree is reported
// and skipped instead of being followed.
#pragma once

#include <bitset>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/common/notice.h"
#include "engine/core/layout.h"
#include "engine/fat/table/volume.h"

namespace vk {

enum class FolderFault : uint8_t {
    kNone,
    kFirstCluster,  // the entry's first cluster is no data cluster (0, 1, past the last one)
    kBrokenChain,   // a link to 0, 1, a bad or reserved mark, past the last cluster, or back into the chain
    kPastImage,     // a cluster of the chain lies beyond the end of the image
    kNoDotEntry,    // its first slot is no "." entry naming the folder's own first cluster
    kRevisit,       // its chain reaches a folder cluster already walked: an ancestor's or another folder's
};

// The clusters of the folders a walk has entered, so that none is entered twice.
using FolderClusters = std::bitset<kFat16MaxCluster + 1>;

// Checks the folder whose chain begins at `firstCluster` against the area
// and against the folder clusters already in `entered`. On kNone, `chain`
// holds the folder's clusters in order; the caller adds them to `entered`
// when it goes in.
FolderFault CheckFolder(const ConstVolume& vol, uint32_t firstCluster, const FolderClusters& entered,
                        std::vector<uint32_t>& chain);

// What the user is told about the damaged folder at `path`: the message of
// a corrupted stored file, the same for every fault.
Notice FolderFaultNotice(std::string_view path);

}  // namespace vk
