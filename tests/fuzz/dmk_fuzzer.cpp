// Any byte string as a DMK track image: headers and pointer tables that
// point anywhere. The decoder reads nothing outside the input (the
// sanitizers judge that), allocates no more than about the input's size,
// gives a geometry that matches its image and a bad-sector list inside it;
// the document then opens the same bytes and lists its root.
#include <sanitizer/allocator_interface.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/core/dmk.h"
#include "engine/core/document.h"
#include "engine/fat/dir/list_texts.h"
#include "tests/fuzz/fuzz_ports.h"
#include "tests/fuzz/memory_host_files.h"

namespace {

bool counting = false;
size_t allocated = 0;

void OnMalloc(const volatile void*, size_t size) {
    if (counting) allocated += size;
}
void OnFree(const volatile void*) {}

void CheckDecoded(const vk::DmkResult& r, size_t size) {
    using namespace vk;
    if (r.status != DmkStatus::kOk) {
        if (!r.image.empty() || !r.badSectors.empty()) std::abort();
        return;
    }
    const size_t sectors = size_t{r.cylinders} * r.heads * r.sectorsPerTrack;
    if (sectors == 0 || r.heads > 2 || r.image.size() != sectors * kDmkSectorSize || r.image.size() > size) {
        std::abort();
    }
    uint32_t last = 0;
    for (size_t i = 0; i < r.badSectors.size(); ++i) {
        const DmkBadSector& b = r.badSectors[i];
        if (b.sector >= sectors || (i > 0 && b.sector <= last) || b.record < 1 || b.record > r.sectorsPerTrack ||
            (size_t{b.cylinder} * r.heads + b.head) * r.sectorsPerTrack + b.record - 1 != b.sector) {
            std::abort();
        }
        last = b.sector;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vk;
    allocated = 0;
    counting = true;
    const DmkResult decoded = DecodeDmk(data, size);
    counting = false;
    // The image, a byte per sector for its best read, the bad-sector list.
    if (allocated > size + size / 8 + 4096) std::abort();
    if (decoded.status != DmkStatus::kNotDmk && !LooksLikeDmk(data, size)) std::abort();
    CheckDecoded(decoded, size);

    fuzz::ResetMemoryFiles();
    fuzz::MemoryFiles()["/disk.dmk"].data.assign(data, data + size);
    fuzz::SetAnswers(data, size < 8 ? size : 8);
    ImageDocument doc;
    if (fuzz::OpenDocument(doc, "/disk.dmk")) {
        for (uint32_t offset : ListedEntries(doc)) {
            const ListColumns columns = EntryColumns(doc.Area() + offset);
            (void)columns;
        }
    }
    doc.modified = false;
    fuzz::CloseDocument(doc);
    return 0;
}
