// Long-name entries, as other systems write them in front of a short entry:
// a run of 32-byte entries with attr 0x0F, the last part of the name first.
// Each carries its place in the run and the checksum of the 11 name bytes
// of the short entry it belongs to. These functions work on a span of
// consecutive directory entries, whichever directory they come from.
#pragma once

#include <cstdint>

namespace vk {

constexpr uint32_t kLongNameOrder = 0;      // place in the run, 1 nearest the short entry
constexpr uint32_t kLongNameChecksum = 13;  // of the short entry's 11 name bytes
constexpr uint8_t kLongNameLastFlag = 0x40; // marks the first entry in directory order

// The checksum a long-name entry keeps of the 11 name bytes it belongs to.
uint8_t ShortNameChecksum(const uint8_t* name11);

// How many entries directly in front of entry `shortIndex` of `entries`
// (`count` entries of 32 bytes) are the long name of that entry: live
// long-name entries numbered 1, 2, 3 ... backwards with the short entry's
// checksum, up to the one flagged as the run's start. A damaged run counts
// only as far as it holds together.
uint32_t LongNameRunLength(const uint8_t* entries, uint32_t count, uint32_t shortIndex);

// Marks the long name of entry `shortIndex` deleted, leaving every other
// entry alone. Call it while the short entry still has the name the run
// was written for.
void DeleteLongNameRun(uint8_t* entries, uint32_t count, uint32_t shortIndex);

}  // namespace vk
