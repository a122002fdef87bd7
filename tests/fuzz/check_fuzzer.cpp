// Any byte string opened as an image, checked, mended, saved and opened
// again: a fix never writes the boot sector, mends what the check said it
// would, and leaves a disk that a second check finds sound (unless the check
// said some finding cannot be mended); a fix of a sound disk changes nothing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/core/document.h"
#include "engine/fat/check/disk_check.h"
#include "tests/fuzz/fuzz_ports.h"
#include "tests/fuzz/memory_host_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vk;
    fuzz::ResetMemoryFiles();
    fuzz::MemoryFiles()["/img.dsk"].data.assign(data, data + size);
    fuzz::SetAnswers(nullptr, 0);
    CheckOptions options;
    options.freeLostChains = (size & 1) != 0;
    ImageDocument doc;
    if (OpenImage(doc, "/img.dsk").Done()) {
        const CheckReport first = CheckDisk(doc, options);
        const bool mayChange = doc.changeBlock == ChangeBlock::kNone && !doc.readOnly;
        if (first.readable && mayChange) {
            const uint32_t boot = std::min<uint32_t>(512, doc.AreaLength());
            const std::vector<uint8_t> bootBefore(doc.Area(), doc.Area() + boot);
            CheckReport mended;
            CheckReport left;
            FixDisk(doc, options, mended, left);
            const bool allMendable = std::all_of(first.findings.begin(), first.findings.end(),
                                                 [](const Finding& f) { return f.mendable; });
            if (mended.findings.size() != first.findings.size()) __builtin_trap();  // the check foretold another fix
            if (allMendable && !left.Sound()) __builtin_trap();                    // a fix that leaves findings
            if (first.Sound() && doc.modified) __builtin_trap();                   // a sound disk changed
            if (std::memcmp(bootBefore.data(), doc.Area(), boot) != 0) __builtin_trap();
            // What the save writes reads back as sound.
            if (allMendable && doc.modified && SaveImage(doc).Done()) {
                doc.Discard();
                if (OpenImage(doc, "/img.dsk").Done() && !CheckDisk(doc, options).Sound()) __builtin_trap();
            }
        }
    }
    doc.modified = false;
    fuzz::CloseDocument(doc);
    return 0;
}
