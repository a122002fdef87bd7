// Any byte string opened as an image file (comment header, boot sector,
// backup FAT check, bad-sector file) and listed with every column text: the
// root, then every folder of the tree, which a loop must not keep walking.
#include <cstddef>
#include <cstdint>

#include "engine/core/document.h"
#include "engine/fat/dir/dir_tree.h"
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
        for (uint32_t offset : ListedEntries(doc)) {
            const ListColumns columns = EntryColumns(doc.Area() + offset);
            (void)columns;
        }
        const TreeWalkEnd end = WalkTree(VolumeOf(doc), kRootDir, "",
                                         [&](const TreeItem& item) {
                                             const ListColumns columns = EntryColumns(doc.Area() + item.entryOffset);
                                             (void)columns;
                                             return true;
                                         });
        (void)ProblemNotices(end);
    }
    doc.modified = false;
    fuzz::CloseDocument(doc);
    return 0;
}
