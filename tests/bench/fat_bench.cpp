// Times the file operations on an empty 1.44 MB image: add 100 host files
// of mixed sizes, list them with every column text, extract them all into a
// folder, delete them all. Then the cluster map: its build on a full 1.44 MB
// and a full 32 MB image, and filling a disk with one map for the whole add
// against a map built for each file. Last, one add command of 500, 1000 and
// 2000 small files into a folder and into a large root, side by side, so that
// its growth with the count shows. Then the disk check on the full 1.44 MB
// disk and on a 32 MB one of 3,000 files in 200 folders. Prints one line per
// phase; not a test.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "engine/core/document.h"
#include "engine/core/new_image.h"
#include "engine/fat/check/disk_check.h"
#include "engine/fat/ops/add_file.h"
#include "engine/fat/ops/cluster_guard.h"
#include "engine/fat/dir/cluster_map.h"
#include "engine/fat/ops/dir_ops.h"
#include "engine/fat/ops/delete_rename.h"
#include "engine/fat/ops/extract.h"
#include "engine/fat/dir/fs_options.h"
#include "engine/fat/dir/list_texts.h"
#include "tests/fuzz/fuzz_ports.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Millis(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// 100 sizes from 0 to about 24 KB, 1.1 MB in all: fits a 1.44 MB disk.
std::vector<size_t> MixedSizes() {
    std::vector<size_t> sizes;
    for (size_t i = 0; i < 100; ++i) {
        sizes.push_back(i % 10 == 0 ? i : (i * 7919) % 24000);
    }
    return sizes;
}

// A 32 MB FAT12 disk: 65535 sectors in 2046 clusters of 16 KB, its root
// holding `rootEntries`.
bool Create32MegImage(vk::ImageDocument& doc, uint32_t rootEntries = 512) {
    vk::DiskFormat& row = vk::FormatRow(vk::kCustomFormatCode);
    row = vk::FormatRow(0xF0);
    row.descriptionId = 0;
    row.totalSectors = 65535;
    row.sectorsPerCluster = 32;
    row.sectorsPerFat = 6;
    row.rootEntries = rootEntries;
    row.heads = 2;
    row.sectorsPerTrack = 63;
    row.mediaByte = 0xF0;
    return vk::CreateEmptyImage(doc, vk::kCustomFormatCode, 2).Done();
}

// A 32 MB FAT12 disk of 4084 clusters of 8 KB, as many as FAT12 has: room
// for 3,000 small files and 200 folders, a cluster each.
bool CreateManyClusterImage(vk::ImageDocument& doc) {
    vk::DiskFormat& row = vk::FormatRow(vk::kCustomFormatCode);
    row = vk::FormatRow(0xF0);
    row.descriptionId = 0;
    row.totalSectors = 65401;
    row.sectorsPerCluster = 16;
    row.sectorsPerFat = 12;
    row.rootEntries = 512;
    row.heads = 2;
    row.sectorsPerTrack = 63;
    row.mediaByte = 0xF0;
    return vk::CreateEmptyImage(doc, vk::kCustomFormatCode, 2).Done();
}

// Mean milliseconds of checking `doc`; negative when it is not found sound.
double CheckTime(const vk::ImageDocument& doc, int rounds) {
    const auto t = Clock::now();
    for (int round = 0; round < rounds; ++round) {
        if (!vk::CheckDisk(doc).Sound()) return -1;
    }
    return Millis(t) / rounds;
}

// Every operation of the bench runs under /F: no questions while deleting.
const vk::FileSystemOptions kNoQuestions{vk::NameStrength::kRegular, true};

// A 32 MB layout whose root holds 2048 entries, room for the largest add.
bool CreateLargeRootImage(vk::ImageDocument& doc) { return Create32MegImage(doc, 2048); }

// Milliseconds of one add command of `paths` into a folder of a new 32 MB
// image, or into its root; negative when the add failed.
double OneAdd(const std::vector<std::string>& paths, bool intoFolder) {
    using namespace vk;
    ImageDocument doc;
    if (!CreateLargeRootImage(doc)) return -1;
    DirRef dir = kRootDir;
    if (intoFolder) {
        const Result made = MakeFolderIn(doc, kRootDir, "FOLDER", kNoQuestions);
        if (!made.Done()) return -1;
        dir = DirRef{Load16(doc.Area() + made.changes.added.front() + kDirFirstCluster)};
    }
    size_t added = 0;
    const auto t = Clock::now();
    AddFiles(doc, paths, [&](const Result& one) { added += one.changes.added.size(); }, kNoQuestions, dir);
    const double ms = Millis(t);
    doc.modified = false;
    return added == paths.size() ? ms : -1;
}

// Fills `doc` with `folders` folders of the files at `paths` (the root itself
// for 0), adding each file with `perFile` guards or one for each folder.
void Fill(vk::ImageDocument& doc, const std::vector<std::string>& paths, int folders, bool perFile) {
    using namespace vk;
    for (int f = 0; f < std::max(folders, 1); ++f) {
        DirRef dir = kRootDir;
        if (folders > 0) {
            const Result made = MakeFolderIn(doc, kRootDir, "D" + std::to_string(f), kNoQuestions);
            if (!made.Done()) return;
            dir = DirRef{Load16(doc.Area() + made.changes.added.front() + kDirFirstCluster)};
        }
        if (perFile) {
            for (const std::string& path : paths) AddHostFile(doc, path, kNoQuestions, dir);
        } else {
            AddFiles(doc, paths, [](const Result&) {}, kNoQuestions, dir);
        }
    }
}

// Mean milliseconds of building the map of `doc`, and its entries' count.
double MapBuild(const vk::ImageDocument& doc, int rounds, size_t& owned) {
    const auto t = Clock::now();
    for (int round = 0; round < rounds; ++round) {
        const vk::ClusterMap map = vk::ClusterMap::Build(doc);
        owned = 0;
        for (uint32_t c = 2; c <= map.LastCluster(); ++c) owned += map.Use(c) == vk::ClusterUse::kOwned;
    }
    return Millis(t) / rounds;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vk;
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const fs::path root = fs::temp_directory_path() / ("vk-bench-" + std::to_string(::getpid()));
    fs::create_directories(root / "in");
    std::vector<std::string> paths;
    size_t total = 0;
    for (size_t size : MixedSizes()) {
        const fs::path p = root / "in" / ("FILE" + std::to_string(paths.size()) + ".BIN");
        std::ofstream(p, std::ios::binary) << std::string(size, static_cast<char>('A' + paths.size() % 26));
        paths.push_back(p.string());
        total += size;
    }
    double add = 0, list = 0, extract = 0, remove = 0;
    for (int round = 0; round < rounds; ++round) {
        ImageDocument doc;
        if (!CreateEmptyImage(doc, 0xF0, 2).Done()) return 1;

        auto t = Clock::now();
        if (!AddFiles(doc, paths, [](const Result&) {}, kNoQuestions).Done()) return 1;
        add += Millis(t);

        t = Clock::now();
        const std::vector<uint32_t> listed = ListedEntries(doc);
        size_t characters = 0;
        for (uint32_t offset : listed) {
            const ListColumns c = EntryColumns(doc.Area() + offset);
            characters += c.name.size() + c.size.size() + c.lastChange.size() + c.attributes.size();
        }
        list += Millis(t);
        if (listed.size() != paths.size() || characters == 0) return 1;

        t = Clock::now();
        fs::remove_all(root / "out");
        fs::create_directories(root / "out");
        std::vector<std::string> written;
        if (!ExtractEntriesToFolder(doc, listed, (root / "out").string(), written).Done()) return 1;
        extract += Millis(t);

        t = Clock::now();
        const Result removed = DeleteEntries(doc, listed, kNoQuestions);
        remove += Millis(t);
        if (removed.changes.removed.size() != listed.size() || !ListedEntries(doc).empty()) return 1;
        doc.modified = false;
    }

    // The cluster map on full disks, and what building it costs an add.
    const int mapRounds = std::max(1, rounds / 4);
    double fillShared[2] = {0, 0}, fillPerFile[2] = {0, 0}, build[2] = {0, 0};
    size_t owned[2] = {0, 0};
    for (int big = 0; big < 2; ++big) {
        for (int round = 0; round < mapRounds; ++round) {
            for (int perFile = 0; perFile < 2; ++perFile) {
                ImageDocument doc;
                if (!(big ? Create32MegImage(doc) : CreateEmptyImage(doc, 0xF0, 2).Done())) return 1;
                const auto t = Clock::now();
                Fill(doc, paths, big ? 12 : 0, perFile != 0);
                (perFile ? fillPerFile : fillShared)[big] += Millis(t) / mapRounds;
                if (perFile) build[big] += MapBuild(doc, 5, owned[big]) / mapRounds;
                doc.modified = false;
            }
        }
    }
    // One add of many small files: each file's cost should not grow with those before it.
    const size_t counts[] = {500, 1000, 2000};
    std::vector<std::string> many;
    for (size_t i = 0; i < counts[2]; ++i) {
        const fs::path p = root / "many" / ("F" + std::to_string(i) + ".TXT");
        if (i == 0) fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << std::string(100 + i % 900, 'x');
        many.push_back(p.string());
    }
    const int addRounds = std::max(1, rounds / 10);
    double oneAdd[2][3] = {};
    for (int round = 0; round < addRounds; ++round) {
        for (int folder = 0; folder < 2; ++folder) {
            for (int c = 0; c < 3; ++c) {
                const double ms =
                    OneAdd(std::vector<std::string>(many.begin(), many.begin() + counts[c]), folder != 0);
                if (ms < 0) return 1;
                oneAdd[folder][c] += ms / addRounds;
            }
        }
    }
    // The disk check: a full 1.44 MB disk, and 3,000 files in 200 folders of 15 on 32 MB.
    double check[2] = {0, 0};
    {
        ImageDocument small;
        ImageDocument big;
        if (!CreateEmptyImage(small, 0xF0, 2).Done() || !CreateManyClusterImage(big)) return 1;
        Fill(small, paths, 0, false);
        const std::vector<std::string> fifteen(many.begin(), many.begin() + 15);
        Fill(big, fifteen, 200, false);
        if (ListedEntries(big).size() != 200) {
            std::fprintf(stderr, "fat_bench: the 32 MB disk holds %zu folders, not 200\n", ListedEntries(big).size());
            return 1;
        }
        check[0] = CheckTime(small, rounds);
        check[1] = CheckTime(big, rounds);
        if (check[0] < 0 || check[1] < 0) {
            std::fprintf(stderr, "fat_bench: the check finds damage on a disk the engine filled\n");
            return 1;
        }
        small.modified = big.modified = false;
    }
    fs::remove_all(root);
    std::printf("engine, %d rounds of 100 files (%zu bytes), mean per round:\n", rounds, total);
    std::printf("  add      %8.3f ms\n", add / rounds);
    std::printf("  list     %8.3f ms\n", list / rounds);
    std::printf("  extract  %8.3f ms\n", extract / rounds);
    std::printf("  delete   %8.3f ms\n", remove / rounds);
    std::printf("cluster map, %d rounds:             1.44 MB     32 MB\n", mapRounds);
    std::printf("  clusters owned                %10zu %9zu\n", owned[0], owned[1]);
    std::printf("  map build                     %7.3f ms %6.3f ms\n", build[0], build[1]);
    std::printf("  fill, one map per add command %7.3f ms %6.3f ms\n", fillShared[0], fillShared[1]);
    std::printf("  fill, one map per file        %7.3f ms %6.3f ms\n", fillPerFile[0], fillPerFile[1]);
    std::printf("one add command on a 32 MB image, %d rounds:  500 files  1000 files  2000 files\n", addRounds);
    for (int folder = 1; folder >= 0; --folder) {
        std::printf("  %-36s %7.1f ms %8.1f ms %8.1f ms\n", folder ? "into a folder" : "into a root of 2048 entries",
                    oneAdd[folder][0], oneAdd[folder][1], oneAdd[folder][2]);
    }
    std::printf("disk check, %d rounds:  full 1.44 MB %7.3f ms   32 MB, 3,000 files in 200 folders %7.3f ms\n",
                rounds, check[0], check[1]);
    return 0;
}
