// Times the file operations on an empty 1.44 MB image: add 100 host files
// of mixed sizes, list them with every column text, extract them all into a
// folder, delete them all. Prints one line per phase; not a test.
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
#include "engine/fat/add_file.h"
#include "engine/fat/delete_rename.h"
#include "engine/fat/extract.h"
#include "engine/fat/fs_options.h"
#include "engine/fat/list_texts.h"
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
    FsOptions().forceSwitch = true;  // no questions while deleting

    double add = 0, list = 0, extract = 0, remove = 0;
    for (int round = 0; round < rounds; ++round) {
        ImageDocument doc;
        if (!CreateEmptyImage(doc, 0xF0, 2).Done()) return 1;

        auto t = Clock::now();
        if (!AddFiles(doc, nullptr, paths, [](const Result&) {}).Done()) return 1;
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
        ByteBlock written;
        if (!ExtractEntriesToFolder(doc, listed, (root / "out").string(), written).Done()) return 1;
        extract += Millis(t);

        t = Clock::now();
        const Result removed = DeleteEntries(doc, nullptr, listed);
        remove += Millis(t);
        if (removed.changes.removed.size() != listed.size() || !ListedEntries(doc).empty()) return 1;
        doc.modified = false;
    }
    fs::remove_all(root);
    std::printf("engine, %d rounds of 100 files (%zu bytes), mean per round:\n", rounds, total);
    std::printf("  add      %8.3f ms\n", add / rounds);
    std::printf("  list     %8.3f ms\n", list / rounds);
    std::printf("  extract  %8.3f ms\n", extract / rounds);
    std::printf("  delete   %8.3f ms\n", remove / rounds);
    return 0;
}
