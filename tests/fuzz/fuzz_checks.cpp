#include "fuzz_checks.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/bytes.h"
#include "core/document.h"
#include "fat/dir_entry.h"
#include "fat/fat12.h"
#include "fat/root_directory.h"

namespace vk::fuzz {

Health Examine(const ImageDocument& doc) {
    Health h;
    const Layout l = doc.GetLayout();
    const uint8_t* area = doc.Area();
    const uint32_t length = doc.AreaLength();
    std::vector<uint8_t> owned(l.lastCluster + 1u, 0);
    for (uint32_t i = 0;; ++i) {
        const uint32_t offset = RootEntryOffset(l, length, i);
        if (offset == 0) break;
        const uint8_t* e = area + offset;
        // Every slot counts, also those behind the first never-used one: a
        // new entry there brings them into the scan of the next reader.
        if (e[kDirName] == kEntryNeverUsed || e[kDirName] == kEntryDeleted || IsLongNameEntry(e) || (e[kDirAttr] & kAttrVolume)) continue;
        ++h.entries;
        uint32_t cluster = Load16(e + kDirFirstCluster);
        if (cluster == 0) continue;
        for (uint32_t steps = 0;; ++steps) {
            if (!l.IsDataCluster(cluster) || steps > l.lastCluster) {
                if (h.chainsSound) h.problem = "chain of entry " + std::to_string(i) + " leaves the data clusters";
                h.chainsSound = false;
                break;
            }
            if (owned[cluster]) {
                if (h.chainsSound) h.problem = "cluster " + std::to_string(cluster) + " in two chains";
                h.chainsSound = false;
                break;
            }
            owned[cluster] = 1;
            const uint32_t next = ReadFatEntry(l, area, length, cluster);
            if (l.IsEndMark(next)) break;
            cluster = next;
        }
    }
    for (uint32_t c = kFirstDataCluster; c <= l.lastCluster; ++c) {
        const uint32_t value = ReadFatEntry(l, area, length, c);
        if (value != kFatFree && value != kFatBadCluster && !owned[c]) ++h.lostClusters;
    }
    return h;
}

void RequireNoWorse(const Health& before, const Health& after, const char* step) {
    if (before.chainsSound && !after.chainsSound) {
        std::fprintf(stderr, "%s broke the image: %s\n", step, after.problem.c_str());
        std::abort();
    }
    if (before.chainsSound && after.lostClusters > before.lostClusters) {
        std::fprintf(stderr, "%s lost %u clusters\n", step, after.lostClusters - before.lostClusters);
        std::abort();
    }
}

}  // namespace vk::fuzz
