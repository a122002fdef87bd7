#include "engine/fat/dir/folder.h"

#include <cstring>

#include "engine/common/bytes.h"
#include "engine/core/layout.h"
#include "engine/fat/dir/dir_entry.h"

namespace vk {

const char kDotName[] = ".          ";
const char kDotDotName[] = "..         ";

namespace {

void WriteDotEntry(uint8_t* e, const char* name11, uint32_t cluster, uint16_t date, uint16_t time) {
    std::memcpy(e + kDirName, name11, kDirFullNameLength);
    e[kDirAttr] = kAttrDirectory;
    Store16(e + kDirTime, time);
    Store16(e + kDirDate, date);
    Store16(e + kDirFirstCluster, static_cast<uint16_t>(cluster));
    Store32(e + kDirSize, 0);
}

bool IsDotEntry(const uint8_t* e, const char* name11, uint32_t cluster) {
    return std::memcmp(e + kDirName, name11, kDirFullNameLength) == 0 && (e[kDirAttr] & kAttrDirectory) &&
           !IsLongNameEntry(e) && Load16(e + kDirFirstCluster) == cluster;
}

}  // namespace

void WriteEmptyFolder(uint8_t* cluster, uint64_t clusterBytes, uint32_t selfCluster, uint32_t parentCluster,
                      uint16_t date, uint16_t time) {
    std::memset(cluster, 0, static_cast<size_t>(clusterBytes));
    WriteDotEntry(cluster, kDotName, selfCluster, date, time);
    WriteDotEntry(cluster + kDirEntrySize, kDotDotName, parentCluster, date, time);
}

bool HasDotEntries(const uint8_t* cluster, uint64_t clusterBytes, uint32_t selfCluster, uint32_t parentCluster) {
    return clusterBytes >= 2 * kDirEntrySize && IsDotEntry(cluster, kDotName, selfCluster) &&
           IsDotEntry(cluster + kDirEntrySize, kDotDotName, parentCluster);
}

}  // namespace vk
