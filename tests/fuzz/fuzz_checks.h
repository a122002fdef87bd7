// What must hold of an image after any operation of ours, when it held
// before: every chain of a live entry ends inside the data clusters, no
// cluster belongs to two chains, and no cluster is lost; no long-name entry
// is left without the short entry it belongs to; every folder has a cluster
// of its own that begins with its dot entries.
#pragma once

#include <cstdint>
#include <string>

namespace vk {
struct ImageDocument;
}

namespace vk::fuzz {

struct Health {
    bool chainsSound = true;     // every chain ends properly, none shares a cluster
    uint32_t lostClusters = 0;   // allocated, but in no chain
    uint32_t entries = 0;        // live entries seen
    uint32_t looseLongNames = 0; // live long-name entries that belong to no short entry
    uint32_t unsoundFolders = 0; // folders at cluster 0, or without sound dot entries
    std::string problem;         // the first defect found, for the report
};

Health Examine(const ImageDocument& doc);

// Aborts (a finding for the fuzzer) when `after` is worse than `before`.
void RequireNoWorse(const Health& before, const Health& after, const char* step);

}  // namespace vk::fuzz
