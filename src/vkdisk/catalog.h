// The catalogue of a collection of images: what vkdisk catalog, find, and
// ls and info with --json tell of an image, gathered read-only, one image
// per document, so that several images may be read at once on their own
// threads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/core/document.h"
#include "engine/fat/dir/dir_walk.h"

namespace vk::cli {

// What a record is to tell beyond the image's fields and its files' names:
// a search by name needs neither digests nor a check, and a search by
// SHA-1 only that digest, so that each reads no more than it uses.
struct CatalogNeeds {
    bool check = true;  // the check's findings (otherwise `sound` stays false and `findings` 0)
    bool crc32 = true;
    bool sha1 = true;
};

// A file or folder of an image.
struct CatalogFile {
    std::string path;        // from the root, parts joined by '/'
    uint32_t size = 0;
    std::string date;        // "YYYY-MM-DD hh:mm:ss"; empty when never stamped or no calendar day
    std::string attributes;  // the letters R H A S D of the bits set
    bool folder = false;
    bool digested = false;   // crc32 and sha1 (those asked for) hold the file's bytes: not for a
                             // folder or a broken chain
    uint32_t crc32 = 0;
    std::string sha1;
    std::string error;       // why the bytes could not be read whole
};

struct CatalogRecord {
    std::string path;        // the image file as the walk found it
    uint32_t partition = 0;  // the partition described; 0 for none
    std::string member;      // the member of a zip holding several images; empty otherwise
    std::string container;   // "none", "gzip" or "zip": what the file's first bytes say, or,
                             // when it could not be opened, its extension
    uint64_t size = 0;       // the file's length
    bool readable = false;   // false: not opened, or a boot sector that describes no disk
    std::string error;       // why the image could not be opened
    // The rest when readable:
    std::string format;      // the format table's description, or "custom"
    std::string boot;        // "msx-dos1", "msx-dos2", "ms-dos" or "other"
    std::string oem;
    std::string label;
    std::string serial;      // "XXXX-XXXX"; empty without a volume id
    uint64_t freeBytes = 0;
    bool sound = false;      // the check found nothing
    size_t findings = 0;
    std::vector<std::string> findingKinds;  // each kind once, in the order first met
    std::vector<CatalogFile> files;         // every entry of the tree, depth first
};

// The boot sector's kind by its own marks: MSX-DOS 2's volume id, the jump
// to itself of an MSX boot sector (its code starts at 1Eh), an x86 jump.
std::string BootKind(const uint8_t* bootSector);

// The table row's description the geometry equals in its BPB fields, or "custom".
std::string FormatName(const DiskFormat& geometry, uint32_t mediaByte);

// The text of a notice, as the terminal would show it.
std::string NoticeString(const Notice& notice);

// The entries of the open document in `top` (`topPath` its path), and
// unless `deep` is false those of every folder below, with digests of each
// file's bytes as `needs` asks. Damaged folders are left out, as every walk
// leaves them.
std::vector<CatalogFile> CatalogFiles(const ImageDocument& doc, DirRef top = DirRef{},
                                      const std::string& topPath = std::string(), bool deep = true,
                                      const CatalogNeeds& needs = CatalogNeeds{});

// Fills the image fields of `record` from the open document `doc` (not the
// files), the check's only when `check` is true.
void DescribeVolume(const ImageDocument& doc, CatalogRecord& record, bool check = true);

// Opens `path` read-only in a document of its own and describes it, its
// files included unless `withFiles` is false. Asks nothing and prints nothing:
// a failure is the record's error.
// `partition` opens that partition of a partitioned image (an image with a
// table and none named is a record with an error), `member` that member of
// a zip.
CatalogRecord CatalogImage(const std::string& path, bool withFiles = true, uint32_t partition = 0,
                           const std::string& member = std::string(), const CatalogNeeds& needs = CatalogNeeds{});

// The records of the image file at `path`: one, or one per member whose
// name is an image's of a zip that holds several files, in name order.
std::vector<CatalogRecord> CatalogImageFile(const std::string& path, const CatalogNeeds& needs = CatalogNeeds{});

// The image files at or below `paths` (folders walked, links to folders not
// followed) whose extension names an image or a container, sorted by path
// and each once. A path named directly is taken whatever its extension.
// `missing` gets the named paths that do not exist.
std::vector<std::string> FindImageFiles(const std::vector<std::string>& paths, std::vector<std::string>& missing);

}  // namespace vk::cli
