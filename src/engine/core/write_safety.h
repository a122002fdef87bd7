// Whether the engine can change an opened image without corrupting it. An
// image it cannot write soundly (FAT32 by its cluster count or boot sector, FATs or root
// directory beyond the end of the file, a boot sector whose geometry is only
// a guess, or one whose fields describe no disk that can exist) is kept
// read-only: every change operation refuses it, and Save writes nothing.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/common/notice.h"
#include "engine/core/partition_table.h"
#include "engine/ports/prompts.h"

namespace vk {

struct ImageDocument;

enum class ChangeBlock {
    kNone,                // changes are allowed (as far as the file allows)
    kFat32,               // FAT32 by the cluster count other readers take, or by its boot sector
    kLayoutOutsideImage,  // the FATs or the root directory lie beyond the end of the file
    kInvalidBootSector,   // the geometry was guessed from an invalid boot sector
    kImpossibleLayout,    // the boot sector's fields describe no disk that can exist (ImpossibleLayout says which)
    kPartitionTable,      // the image's partition table makes no sense (PartitionTable::fault says how)
    kTrackImage,          // the sectors were decoded from a track image file, which is never written;
                          // Save as writes them as a plain image, which may then be changed
};

// What makes a boot sector's layout impossible: the first field found wrong.
enum class LayoutFault : uint8_t {
    kNone,
    kNoSectorsPerFat,      // 0 sectors per FAT
    kNoSectorsPerCluster,  // 0 sectors per cluster, and no media byte to take the geometry from
    kNoFats,               // 0 FATs
    kNoTotalSectors,       // 0 total sectors, in 16 bits and (with the DOS 4 signature) in 32
    kNoReservedSectors,    // 0 reserved sectors: the FAT would lie over the boot sector
    kSectorSize,           // bytes per sector not a power of two from 128 to 4096
    kFatTooSmall,          // one FAT copy cannot hold an entry for every cluster the disk holds
};

// Judges the raw boot sector of the open document against the geometry taken
// from it. A geometry taken from the media byte (sectors per cluster 0, as
// MSX-DOS 1 disks have it) is a table row and always possible.
LayoutFault ImpossibleLayout(const ImageDocument& doc);

// Judges the open document whose geometry is decided; `bootSectorValid` is
// what ParseBootSector answered.
ChangeBlock JudgeChangeSafety(const ImageDocument& doc, bool bootSectorValid);

// The FAT width other readers give the open image: 12, 16 or 32.
uint32_t ReadersFatBits(const ImageDocument& doc);

// What the user hears once at opening: why the image stays read-only.
// Nothing when changes are allowed.
std::optional<Notice> ChangeBlockNotice(const ImageDocument& doc);

// Why the partition table makes no sense, naming the partition; nothing
// for a sound table or none.
std::optional<Notice> PartitionFaultNotice(const PartitionTable& table);

// The guard at the top of every change of the image: the refusal when the
// document refuses changes.
std::optional<Notice> ChangeRefusal(const ImageDocument& doc);

// The guard of Save as: a track image may be saved as a plain image.
std::optional<Notice> SaveAsRefusal(const ImageDocument& doc);

// The guard of extraction: the refusal when the image's layout is a guess
// and its files cannot be read out faithfully.
std::optional<Notice> ExtractionRefusal(const ImageDocument& doc);

}  // namespace vk
