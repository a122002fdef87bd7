#include "tests/fuzz/fuzz_checks.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <vector>

#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/table/fat12.h"
#include "engine/fat/dir/folder.h"
#include "engine/fat/dir/long_names.h"
#include "engine/fat/dir/root_directory.h"

namespace vk::fuzz {
namespace {

// One directory's entries, copied into one span so that a long name that
// crosses a cluster boundary reads as one run.
struct Directory {
    std::vector<uint8_t> entries;
    uint32_t cluster = 0;  // 0 for the root
};

bool IsDotEntry(const uint8_t* e) { return e[kDirName] == '.'; }

void CountLooseLongNames(const Directory& dir, Health& h) {
    const uint32_t count = static_cast<uint32_t>(dir.entries.size() / kDirEntrySize);
    std::vector<uint8_t> belongs(count, 0);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = dir.entries.data() + i * kDirEntrySize;
        if (e[kDirName] == kEntryNeverUsed || e[kDirName] == kEntryDeleted || IsLongNameEntry(e)) continue;
        const uint32_t run = LongNameRunLength(dir.entries.data(), count, i);
        for (uint32_t k = 1; k <= run; ++k) belongs[i - k] = 1;
    }
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = dir.entries.data() + i * kDirEntrySize;
        if (e[kDirName] != kEntryNeverUsed && e[kDirName] != kEntryDeleted && IsLongNameEntry(e) && !belongs[i]) {
            ++h.looseLongNames;
        }
    }
}

}  // namespace

Health Examine(const ImageDocument& doc) {
    Health h;
    const Layout l = doc.GetLayout();
    const uint8_t* area = doc.Area();
    const uint32_t length = doc.AreaLength();
    std::vector<uint8_t> owned(l.lastCluster + 1u, 0);

    std::deque<Directory> pending(1);
    for (uint32_t i = 0;; ++i) {
        const uint32_t offset = RootEntryOffset(l, length, i);
        if (offset == 0) break;
        pending.front().entries.insert(pending.front().entries.end(), area + offset, area + offset + kDirEntrySize);
    }
    while (!pending.empty()) {
        const Directory dir = std::move(pending.front());
        pending.pop_front();
        CountLooseLongNames(dir, h);
        const uint32_t count = static_cast<uint32_t>(dir.entries.size() / kDirEntrySize);
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* e = dir.entries.data() + i * kDirEntrySize;
            // In the root every slot counts, also those behind the first
            // never-used one: a new entry there brings them into the scan of
            // the next reader. Subdirectories are read as readers do.
            if (e[kDirName] == kEntryNeverUsed && dir.cluster != 0) break;
            if (e[kDirName] == kEntryNeverUsed || e[kDirName] == kEntryDeleted || IsLongNameEntry(e) ||
                (e[kDirAttr] & kAttrVolume)) {
                continue;
            }
            if (dir.cluster != 0 && IsDotEntry(e)) continue;
            ++h.entries;
            const bool folder = (e[kDirAttr] & kAttrDirectory) != 0;
            uint32_t cluster = Load16(e + kDirFirstCluster);
            if (cluster == 0) {
                if (folder) {
                    ++h.unsoundFolders;  // every reader takes it for the root
                    if (h.problem.empty()) h.problem = "folder entry at cluster 0";
                }
                continue;
            }
            Directory sub;
            sub.cluster = cluster;
            bool whole = true;
            for (uint32_t steps = 0;; ++steps) {
                if (!l.IsDataCluster(cluster) || steps > l.lastCluster) {
                    if (h.chainsSound) h.problem = "chain of entry " + std::to_string(i) + " leaves the data clusters";
                    h.chainsSound = false;
                    whole = false;
                    break;
                }
                if (owned[cluster]) {
                    if (h.chainsSound) h.problem = "cluster " + std::to_string(cluster) + " in two chains";
                    h.chainsSound = false;
                    whole = false;
                    break;
                }
                owned[cluster] = 1;
                const uint64_t at = l.ClusterOffset(cluster);
                if (folder && at + l.clusterBytes <= length) {
                    sub.entries.insert(sub.entries.end(), area + at, area + at + l.clusterBytes);
                } else if (folder) {
                    whole = false;
                }
                const uint32_t next = ReadFatEntry(ConstVolume(l, area, length), cluster);
                if (l.IsEndMark(next)) break;
                cluster = next;
            }
            if (!folder) continue;
            if (!whole || !HasDotEntries(sub.entries.data(), sub.entries.size(), sub.cluster, dir.cluster)) {
                ++h.unsoundFolders;
                if (h.problem.empty()) h.problem = "folder at cluster " + std::to_string(sub.cluster) + " unsound";
            }
            if (whole) pending.push_back(std::move(sub));
        }
    }
    for (uint32_t c = kFirstDataCluster; c <= l.lastCluster; ++c) {
        const uint32_t value = ReadFatEntry(ConstVolume(l, area, length), c);
        if (value != kFatFree && value != l.BadMark() && !owned[c]) ++h.lostClusters;
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
    if (after.looseLongNames > before.looseLongNames) {
        std::fprintf(stderr, "%s left %u long-name entries without their file\n", step,
                     after.looseLongNames - before.looseLongNames);
        std::abort();
    }
    if (before.chainsSound && after.unsoundFolders > before.unsoundFolders) {
        std::fprintf(stderr, "%s made %u folders unsound: %s\n", step, after.unsoundFolders - before.unsoundFolders,
                     after.problem.c_str());
        std::abort();
    }
}

}  // namespace vk::fuzz
