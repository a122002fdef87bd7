// Positioned access and image loading for hosts that map no files (Windows,
// the fuzzers' file system in memory): over SeekHostFile, ReadHostFile and
// WriteHostFile. Such a host links this file with its own port.
#include "engine/ports/host_files.h"

namespace vk {

uint32_t ReadHostFileAt(const HostFile& file, uint64_t offset, void* buffer, uint32_t count, uint32_t& done) {
    done = 0;
    if (const uint32_t code = SeekHostFile(file, offset)) {
        return code;
    }
    auto* bytes = static_cast<uint8_t*>(buffer);
    while (done < count) {
        uint32_t got = 0;
        if (const uint32_t code = ReadHostFile(file, bytes + done, count - done, got)) {
            return code;
        }
        if (got == 0) break;
        done += got;
    }
    return kHostSuccess;
}

uint32_t WriteHostFileAt(const HostFile& file, uint64_t offset, const void* buffer, uint32_t count) {
    if (const uint32_t code = SeekHostFile(file, offset)) {
        return code;
    }
    uint32_t done = 0;
    if (const uint32_t code = WriteHostFile(file, buffer, count, done)) {
        return code;
    }
    return done == count ? kHostSuccess : HostCodeFor(HostFailure::kDiskFull);
}

// The image is read whole: every byte of it may have changed when it is saved.
uint32_t LoadHostFile(const HostFile& file, uint32_t size, ByteBlock& block) {
    if (!block.Allocate(size)) {
        return HostCodeFor(HostFailure::kOutOfMemory);
    }
    uint32_t done = 0;
    uint32_t code = ReadHostFileAt(file, 0, block.data(), size, done);
    if (code == kHostSuccess && done != size) {
        code = HostCodeFor(HostFailure::kEndOfFile);
    }
    if (code != kHostSuccess) {
        block.Reset();
    }
    return code;
}

std::vector<ByteRange> ChangedHostRanges(const ByteBlock& block) { return {{0, block.size()}}; }

}  // namespace vk
