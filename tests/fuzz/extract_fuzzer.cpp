// Any byte string opened as an image, then every listed entry extracted:
// once by itself and once all together into a folder, which reads
// every chain to its end.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/document.h"
#include "engine/fat/extract.h"
#include "engine/fat/list_texts.h"
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
            Report(nullptr, ExtractEntry(doc, nullptr, offset, kReplaceSilently,
                                         "/one/" + SafeHostName(EntryDisplayName(doc.Area() + offset))));
        }
        // The image being read is never a target: its file keeps every byte.
        if (!listed.empty()) {
            Report(nullptr, ExtractEntry(doc, nullptr, listed.front(), kReplaceSilently, "/img.dsk"));
            const std::vector<uint8_t>& kept = fuzz::MemoryFiles()["/img.dsk"].data;
            if (kept.size() != size || !std::equal(kept.begin(), kept.end(), data)) {
                __builtin_trap();
            }
        }
        ByteBlock paths;
        Report(nullptr, ExtractEntriesToFolder(doc, listed, "/out", paths));
    }
    doc.modified = false;
    fuzz::CloseDocument(doc);
    return 0;
}
