// Any byte string opened as an image, then every listed entry extracted:
// once by itself, once all together into a folder, which reads every chain
// to its end, and once as a tree, folders and all, which must end on loops
// and write nothing outside its folder.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/document.h"
#include "engine/fat/ops/extract.h"
#include "engine/fat/ops/extract_tree.h"
#include "engine/fat/dir/list_texts.h"
#include "tests/fuzz/fuzz_ports.h"
#include "tests/fuzz/memory_host_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vk;
    fuzz::ResetMemoryFiles();
    fuzz::MemoryFiles()["/img.dsk"].data.assign(data, data + size);
    fuzz::SetAnswers(data, size < 8 ? size : 8);
    ImageDocument doc;
    if (fuzz::OpenDocument(doc, "/img.dsk")) {
        const std::vector<uint32_t> listed = ListedEntries(doc);
        for (uint32_t offset : listed) {
            Report(ExtractEntry(doc, offset, kReplaceSilently,
                                         "/one/" + SafeHostName(EntryDisplayName(doc.Area() + offset))));
        }
        // The image being read is never a target: its file keeps every byte.
        if (!listed.empty()) {
            Report(ExtractEntry(doc, listed.front(), kReplaceSilently, "/img.dsk"));
            const std::vector<uint8_t>& kept = fuzz::MemoryFiles()["/img.dsk"].data;
            if (kept.size() != size || !std::equal(kept.begin(), kept.end(), data)) {
                __builtin_trap();
            }
        }
        std::vector<std::string> paths;
        Report(ExtractEntriesToFolder(doc, listed, "/out", paths));
        fuzz::MemoryFiles()["/tree"].attributes = kHostDirectory;
        Report(ExtractTree(doc, listed, "/tree", kReplaceSilently));
        // Every new file took its target's place or was removed.
        if (fuzz::TempFilesLeft() != 0) {
            __builtin_trap();
        }
        for (const auto& file : fuzz::MemoryFiles()) {
            const std::string& path = file.first;
            if (path != "/img.dsk" && path.compare(0, 5, "/one/") != 0 && path.compare(0, 5, "/out/") != 0 &&
                path != "/tree" && path.compare(0, 6, "/tree/") != 0) {
                __builtin_trap();  // a name led out of its folder
            }
        }
    }
    doc.modified = false;
    fuzz::CloseDocument(doc);
    return 0;
}
