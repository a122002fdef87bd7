// An image and a script of operations decoded from the input: add, delete,
// rename, label, attributes, extract, save and reopen. After each step the
// image must be no less sound than before it.
#include <algorithm>
#include <cstddef>
#include <vector>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/core/document.h"
#include "engine/fat/ops/add_file.h"
#include "engine/fat/ops/delete_rename.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/extract.h"
#include "engine/fat/ops/file_properties.h"
#include "engine/fat/dir/fs_options.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/ops/volume_info.h"
#include "tests/fuzz/fuzz_checks.h"
#include "tests/fuzz/fuzz_ports.h"
#include "tests/fuzz/memory_host_files.h"

namespace {

using namespace vk;

// Names a user or a host may bring, the awkward ones on purpose.
const char* const kNames[] = {
    "A.TXT", "notes.txt", "Letter to Bob.doc", "archive.tar.gz", ".profile", "ABCDEFGHIJK.LMNOP",
    "a.b.c", "CON", "x\xE5y.z", "\x81\x82.BIN", "FILE1.TXT", "FILE2.TXT", "", " ", "..", "ABCDEFGH.",
    "ABC.", "VOLUME", "12345678.123", "lower", "%$#!.()~", "TAB\t.X", "WHAT?.TXT", "A*B.C", "Long File Name.txt",
    "longfi~1.txt", "My Folder", "myfold~1",
};
constexpr size_t kNameCount = sizeof kNames / sizeof kNames[0];

constexpr size_t kOpSize = 4;
constexpr const char* kImagePath = "/img.dsk";

// The listed entry the byte picks; false when nothing is listed.
bool PickEntry(const ImageDocument& doc, uint8_t byte, uint32_t& entry) {
    const std::vector<uint32_t> listed = ListedEntries(doc);
    if (listed.empty()) return false;
    entry = listed[byte % listed.size()];
    return true;
}

void Run(ImageDocument& doc, const uint8_t* op) {
    const uint8_t a = op[1], b = op[2], c = op[3];
    fuzz::SetAnswers(op + 3, 1);
    FileSystemOptions options;
    options.forceSwitch = (c & 0x80) != 0;
    options.nameStrength = (c & 0x40) ? NameStrength::kStrict : NameStrength::kRegular;
    switch (op[0] % 8) {
    case 0: {
        const std::string path = std::string("/host/") + kNames[a % kNameCount];
        fuzz::MemoryFile& f = fuzz::MemoryFiles()[path];
        f.data.assign(static_cast<size_t>(b) * 97 + (c & 7), static_cast<uint8_t>(a));
        f.attributes = (c & 1) ? kHostReadOnly | kHostArchive : kHostArchive;
        f.time = 0x01D5000000000000ULL + uint64_t{b} * 10000000ULL * 3600;
        Report(AddHostFile(doc, path, options));
        break;
    }
    case 1: {
        uint32_t entry = 0;
        Report(DeleteEntries(doc, PickEntry(doc, a, entry) ? std::vector<uint32_t>{entry}
                                                                            : std::vector<uint32_t>{},
                             options));
        break;
    }
    case 2: {
        uint32_t entry = 0;
        if (!PickEntry(doc, a, entry)) break;
        const std::string text = kNames[b % kNameCount];
        Report(RenameEntry(doc, entry, (c & 2) ? nullptr : &text, options));
        break;
    }
    case 3:
        Report(ApplyVolumeLabel(doc, ReadVolumeFigures(doc), (b & 1) ? "" : kNames[a % kNameCount]));
        break;
    case 4: {
        uint32_t entry = 0;
        if (PickEntry(doc, a, entry)) Report(ApplyFileAttributes(doc, entry, b & kAttrEditable));
        break;
    }
    case 5: {
        if (!doc.imageFile.IsOpen() || doc.readOnly || !fuzz::Shown(SaveImage(doc))) break;
        const std::vector<uint8_t> saved(doc.imageBuffer.data(), doc.imageBuffer.data() + doc.imageSize);
        if (fuzz::MemoryFiles()[kImagePath].data != saved) {
            std::fprintf(stderr, "saved file differs from the document\n");
            std::abort();
        }
        fuzz::OpenDocument(doc, kImagePath);
        break;
    }
    case 6: {
        uint32_t entry = 0;
        if (PickEntry(doc, a, entry)) Report(ExtractEntry(doc, entry, b & 1, "/x"));
        break;
    }
    case 7: {
        const std::string path = std::string("/host/") + kNames[a % kNameCount];
        fuzz::MemoryFiles()[path].attributes = kHostDirectory;
        Report(AddHostFile(doc, path, options));
        break;
    }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const size_t ops = data[0] % 16;
    if (size < 1 + ops * kOpSize) return 0;
    const uint8_t* script = data + 1;
    const uint8_t* image = script + ops * kOpSize;
    const size_t imageSize = size - 1 - ops * kOpSize;

    fuzz::ResetMemoryFiles();
    fuzz::MemoryFiles()[kImagePath].data.assign(image, image + imageSize);
    fuzz::SetAnswers(nullptr, 0);
    ImageDocument doc;
    if (fuzz::OpenDocument(doc, kImagePath)) {
        fuzz::Health health = fuzz::Examine(doc);
        // An image the engine keeps read-only never changes, in memory or on file.
        const bool refused = doc.changeBlock != ChangeBlock::kNone;
        const std::vector<uint8_t> opened(doc.imageBuffer.data(), doc.imageBuffer.data() + doc.imageSize);
        for (size_t i = 0; i < ops && doc.IsOpen(); ++i) {
            Run(doc, script + i * kOpSize);
            if (!doc.IsOpen()) break;
            if (refused && (doc.modified || !std::equal(opened.begin(), opened.end(), doc.imageBuffer.data()) ||
                            fuzz::MemoryFiles()[kImagePath].data != opened)) {
                std::fprintf(stderr, "an image kept read-only was changed\n");
                std::abort();
            }
            const fuzz::Health after = fuzz::Examine(doc);
            fuzz::RequireNoWorse(health, after, "an operation");
            health = after;
        }
    }
    doc.modified = false;
    fuzz::CloseDocument(doc);
    return 0;
}
