// Checking a disk as MSX-DOS reads it, and mending it in the document: the
// FAT copies, every chain, every folder and entry, lost clusters and the
// bad-sector list. The check runs the mends on a scratch copy of the image,
// so that what it reports is exactly what a fix will do. A fix changes the
// document only; the normal save writes it, whole or not at all. Neither
// ever writes the boot sector: boot code, BPB and signature stay as they are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/notice.h"
#include "engine/common/result.h"

namespace vk {

struct ImageDocument;

enum class FindingKind : uint8_t {
    kBootSector,          // the boot sector describes no disk that can exist: nothing is mended
    kFatCopiesDiffer,     // FAT copy `other` differs from the copy that agrees with the folders (`cluster`: first entry that differs)
    kLostChain,           // `count` clusters from `cluster` that the FAT marks used and no entry reaches
    kCrossLink,           // entry `entry` shares cluster `cluster` with the earlier entry `other`
    kSharedFolder,        // folder `entry` begins at the folder `other` begins at: one folder under two parents
    kChainIntoFree,       // the chain reaches `cluster`, which the FAT marks free
    kChainIntoReserved,   // the chain links from `cluster` to 1 or a reserved value
    kChainIntoBad,        // the chain links from `cluster` to the bad-cluster mark
    kChainOutOfRange,     // the chain links from `cluster` past the disk's last cluster (or the image's end)
    kLoop,                // the chain links from `cluster` back into itself
    kSizeLongerThanChain, // the size needs more than the `count` clusters of the chain
    kChainLongerThanSize, // the chain holds `count` clusters, more than the size needs
    kDotEntries,          // the "." or ".." entry of folder `entry` points elsewhere
    kInvalidFolder,       // folder `entry` begins at `cluster`, which is no data cluster or holds no folder
    kBadName,             // the name of `entry` holds bytes no DOS accepts
    kBadAttributes,       // `entry` has attributes no entry can have
    kStrayLongName,       // long-name entries at `entry` without their short entry, out of sequence or with a wrong checksum
    kBadSectorNotInFat,   // sector `count` is in the bad-sector list, its cluster `cluster` is not marked bad
    kBadClusterNotListed, // cluster `cluster` is marked bad in the FAT, none of its sectors is in the bad-sector list
};

struct Finding {
    FindingKind kind = FindingKind::kBootSector;
    uint32_t entry = 0;    // an entry's offset from the boot sector; 0 for none
    uint32_t other = 0;    // the second entry of a cross-link or shared folder; a FAT copy (1 = the first)
    uint32_t cluster = 0;  // where it shows
    uint32_t count = 0;    // clusters or a sector, as the kind says
    std::string place;     // the entry's path from the root, or "cluster N", "FAT copy N" (strings 320, 321)
    Notice what;           // what is wrong, a sentence of the string table
    Notice mend;           // what a fix does (or did) about it
    bool mendable = true;  // false: a fix leaves it (a boot sector, a bad sector inside a file)
};

struct CheckOptions {
    bool freeLostChains = false;  // free lost chains instead of keeping them as FOUND.000\FILEnnnn.CHK
};

struct CheckReport {
    std::vector<Finding> findings;  // in the order a fix meets them
    bool readable = true;           // false: the disk cannot be checked at all (`reason` says why)
    Notice reason;

    bool Sound() const { return readable && findings.empty(); }
};

// The short name of a kind, for a list's kind column (strings 304 ..).
unsigned FindingKindTextId(FindingKind kind);
// A fixed, untranslated word for a kind ("cross-link"), for JSON and scripts.
const char* FindingKindKey(FindingKind kind);

// Checks the open document; changes nothing. An image that is no FAT12 disk
// is not readable; one whose boot sector is impossible or whose layout is a
// guess gives one kBootSector finding and nothing else. In a document changed
// since it was opened, FAT copy 1 is the FAT (the save writes it over the
// others), so copies that differ are no finding there.
CheckReport CheckDisk(const ImageDocument& doc, const CheckOptions& options = {});

// Mends the open document as CheckDisk said it would, and sets `modified`
// when it changed anything; the caller saves. `mended` gets what was found
// and what was done about it, `left` a check of the mended document. Done
// when that finds the disk sound; Failed (kDamaged, the first finding left
// as its notice) when findings are left, with what was mended all the same;
// kRefused, changing nothing, for an image whose changes are refused (read
// only, an impossible boot sector, no FAT12). The result's changes name the
// entries added (FOUND.nnn and its files), removed and changed.
Result FixDisk(ImageDocument& doc, const CheckOptions& options, CheckReport& mended, CheckReport& left);
Result FixDisk(ImageDocument& doc, const CheckOptions& options = {});

// A deleted entry in the root or a live folder.
struct DeletedEntry {
    uint32_t entry = 0;         // the deleted short entry's slot
    uint32_t dirCluster = 0;    // its directory: 0 for the root
    std::string path;           // from the root, its lost first character shown as '?'
    uint32_t size = 0;
    uint32_t firstCluster = 0;
    uint32_t clusters = 0;      // it takes, from firstCluster on (a folder: one)
    bool folder = false;
    bool recoverable = false;   // every one of those clusters is free and on the disk
};

// Every deleted file and folder entry of the root and the live folders, in
// walk order; long-name parts and labels are left out.
std::vector<DeletedEntry> FindDeleted(const ImageDocument& doc);

// Brings back the deleted entries `entries` (slots from FindDeleted), each
// with `first` as its first character and its clusters taken as one run
// from its first cluster on, as MSX-DOS 2's UNDEL does. An entry whose
// clusters are taken, or whose name a live entry in its folder has, is
// refused with a notice and the others go on; the result fails (kind of the
// last refusal) when any was refused. A folder's "." and ".." entries,
// which its removal marked deleted, come back naming it and its parent.
// `first` must be a character DOS accepts at the start of a name (kBadName
// otherwise, nothing changed).
Result Undelete(ImageDocument& doc, const std::vector<uint32_t>& entries, char first = '_');

}  // namespace vk
