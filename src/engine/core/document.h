// The one disk image the program has open: the file's bytes in memory (read
// as they are reached where the host maps files), its geometry, its open
// files and its bad-sector list.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/common/bytes.h"
#include "engine/common/notice.h"
#include "engine/common/result.h"
#include "engine/core/containers.h"
#include "engine/core/disk_format.h"
#include "engine/core/layout.h"
#include "engine/core/partition_table.h"
#include "engine/core/write_safety.h"
#include "engine/ports/host_files.h"
#include "engine/ports/prompts.h"

namespace vk {

constexpr size_t kMaxPath = 260;

struct ImageDocument {
    ByteBlock imageBuffer;   // the whole image, comment header included; empty: no document
    uint32_t imageSize = 0;
    uint32_t dataOffset = 0; // the boot sector's position: the comment header's length, plus
                             // the partition's start when a partition is open
    uint32_t areaEnd = 0;    // the end of the open partition; 0: the file system runs to the image's end
    PartitionTable partitions;  // the image's partition table; no table for a floppy
    uint32_t partition = 0;  // the open partition's number; 0 without a table
    DiskFormat geometry;
    HostFile imageFile;      // kept open with read sharing while the document lives: the
                             // container when the image is packed in one
    ContainerInfo container; // what holds the image; kNone for a plain image file
    HostFile errorFile;      // the open .der file
    std::string fileName;    // full path; "Untitled" without a file; empty without a document
    bool readOnly = false;
    bool modified = false;
    ChangeBlock changeBlock = ChangeBlock::kNone;  // why every change is refused, if it is
    bool geometryGuessed = false;  // the boot sector was invalid: the geometry is a guess
    ByteBlock errorList;     // the bad-sector list; empty when it could not be had
    bool imageWritable = false;     // imageFile was opened for writing: a save may replace it
    bool savesInPlace = false;      // imageFile holds the bytes the buffer was read from: a save
                                    // writes only what changed, in place and journalled
    bool errorFileReadOnly = false; // errorFile could be opened for reading only
    bool errorFileKept = false;     // a .der file is there that could not be read: it is never touched

    bool IsOpen() const { return !imageBuffer.empty(); }
    size_t ErrorListSize() const { return errorList.size(); }

    // The file-system area: from the boot sector to the end of the partition,
    // or of the image.
    uint8_t* Area() { return imageBuffer.data() + dataOffset; }
    const uint8_t* Area() const { return imageBuffer.data() + dataOffset; }
    uint32_t AreaEnd() const { return areaEnd == 0 ? imageSize : areaEnd; }
    uint32_t AreaLength() const { return AreaEnd() - dataOffset; }
    Layout GetLayout() const { return ComputeLayout(geometry); }

    // Closes the document without saving it and without asking: its changes
    // are dropped.
    void Discard();
};

// Opens the image file at `path` (read only when `readOnlyRequested`) as the
// document, with every check on the way; closes the document first (see
// CloseImage). The result's notices are what the opening has to say, in the
// order it found it: the read-only fallback, the image's comment, the boot
// sector's warnings, why changes are refused, an unknown .der file. After a
// successful open the caller shows them, brings its view of the entries up
// to date and then calls CheckBackupFat. A journal of a save that was
// broken off is rolled back first (or, read only, in memory only). An empty
// path fails at once, without a failure to show.
struct OpenOptions {
    bool readOnly = false;
    // The partition to open, counted from 1 as MSX-DOS counts them. 0 names
    // none: an image with a partition table is then refused
    // (FailureKind::kNoPartitionChosen) with its partitions listed. Ignored
    // by an image without a table.
    uint32_t partition = 0;
    // The zip member to open. Empty names none: a zip holding several files
    // that may be images is then refused (FailureKind::kNoMemberChosen)
    // with its files listed. Ignored by anything but a zip.
    std::string member;
};
Result OpenImage(ImageDocument& doc, const std::string& path, const OpenOptions& options);
inline Result OpenImage(ImageDocument& doc, const std::string& path, bool readOnlyRequested = false) {
    return OpenImage(doc, path, OpenOptions{readOnlyRequested, 0, {}});
}

// The partition table of the image at `path`, read without loading the
// image (a table alone: no partition is opened); an image packed in a gzip
// or zip file (`member` of a zip, as OpenOptions::member) is unpacked for
// it. An image without a table gives one of kind kNone.
Result ReadImagePartitions(const std::string& path, PartitionTable& table, const std::string& member = {});

// The files of the zip at `path` that an opening may be asked to choose
// from, read from its directory alone. `mustChoose` when it holds several
// that may be images, so that OpenOptions::member must name one; a file
// that is no zip gives none.
Result ReadImageMembers(const std::string& path, ContainerInfo& info, bool& mustChoose);

// One line per partition: number, type, start and size, as the refusal of
// an image opened without a partition lists them.
std::string PartitionListText(const PartitionTable& table);

// The comment header some images carry in front of the boot sector.
struct CommentHeader {
    uint32_t length = 0;             // bytes before the boot sector; 0 without a header
    std::string comment;             // its text, shown at opening
    std::optional<Notice> refusal;   // the file cannot be taken as an image
};
CommentHeader CheckCommentHeader(const uint8_t* bytes, uint32_t count);

// Compares FAT copies 1 and 2 and asks whether to repair copy
// 2. Nothing is asked of an image whose changes are refused or whose
// geometry is a guess.
void CheckBackupFat(ImageDocument& doc);
// Whether CheckBackupFat would ask: FAT copy 2 differs from copy 1 on an
// image that may be changed. A reader that never saves states it instead.
bool BackupFatDiffers(const ImageDocument& doc);

// Writes the document to its file (asking for one when it has none). A file
// the document was read from gets only the sectors that changed, in place,
// with a rollback journal beside it (save_journal.h); a new file, and a
// container with the image packed again, is written whole beside it and
// renamed over it. A .der file that could not be stored is a notice of a save that
// succeeded.
Result SaveImage(ImageDocument& doc);

// Lets the user choose a new file for the document and creates it: a
// plain image, also of an image that came from a container. Writes no
// data: the caller saves next. Declined when the user cancelled. The
// question proposes SaveAsProposal.
Result SaveImageAs(ImageDocument& doc);

// The path Save as proposes: the image's own, or of an image from a
// container or a track image the plain image's name beside it (game.dsk.gz:
// game.dsk; a zip's member by its own name). Empty for an untitled image.
std::string SaveAsProposal(const ImageDocument& doc);

// The same with the path already chosen. An existing file keeps its bytes
// until the save replaces them whole.
Result SaveImageAsPath(ImageDocument& doc, const std::string& path);

// Save as `path`, then save, for a caller that ends afterwards: when the save
// fails, a file that the Save as had to create is removed again.
Result SaveImageToPath(ImageDocument& doc, const std::string& path);

// Closes the document, first asking over the main window whether to save a
// modified one. Done when no document is left open; Declined or Failed
// (with the save's failure) when it was kept.
Result CloseImage(ImageDocument& doc);

}  // namespace vk
