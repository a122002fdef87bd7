// Saving an image in place with a rollback journal beside it. Before a save
// overwrites sectors of the image, their old bytes go to IMAGE-journal,
// which is flushed; then the new bytes are written in place and flushed;
// then the journal goes. A save broken off at any moment leaves the old
// image whole, or the new one, once the next opening has rolled a journal
// it finds back. The image file itself stays: its inode, owner, group, mode
// and hard links.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/common/bytes.h"
#include "engine/ports/host_files.h"

namespace vk {

// The journal that belongs to the image at `imagePath`: beside the file the
// path leads to, so that every way of naming the image finds the same one.
std::string JournalPathFor(const std::string& imagePath);

// How an in-place save ended.
struct JournalSave {
    enum class Stage : uint8_t {
        kDone,
        kNoJournal,  // the journal could not be created: the image was not touched
        kJournal,    // writing the journal failed: the image was not touched
        kImage,    // writing the image failed; it holds its old bytes again, or
                   // the journal that restores them is left for the next opening
    };
    Stage stage = Stage::kDone;
    uint32_t hostCode = 0;
    uint64_t bytesWritten = 0;  // bytes of the image overwritten
};

// Writes the parts of `data` (`size` bytes, the whole file) within
// `candidates` that differ from `image` to it in place, journalled.
JournalSave SaveInPlace(const HostFile& image, const std::string& journalPath, const uint8_t* data, uint32_t size,
                        const std::vector<ByteRange>& candidates);

// What opening an image found of a save that did not end.
struct JournalRecovery {
    enum class Found : uint8_t {
        kNothing,     // no journal, or one of a save that had finished or never began
        kRolledBack,  // the image was put back as it was before that save
        kReadOnly,    // the image could not be written: `restore` puts it back in memory
        kFailed,      // rolling back failed; `hostCode` says why, `path` of what
    };
    Found found = Found::kNothing;
    uint32_t hostCode = 0;
    std::string path;
    // The old bytes of an unfinished save, for a reader that may not write.
    struct Piece {
        uint64_t offset = 0;
        std::vector<uint8_t> bytes;
    };
    std::vector<Piece> restore;
};

// Looks for a journal beside `image` and settles it: one whose save had not
// begun to write the image, or had finished, is removed; one of a save
// broken off in the middle is rolled back when `writable`, else its old
// bytes are handed back for the caller to put over what it reads. The
// caller holds the image's lock, so no writer is alive to own the journal.
JournalRecovery RecoverImage(const HostFile& image, const std::string& journalPath, bool writable);

}  // namespace vk
