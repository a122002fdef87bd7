#include "engine/ports/host_files.h"

namespace vk {

HostFile& HostFile::operator=(HostFile&& other) noexcept {
    if (this != &other) {
        Close();
        native_ = other.native_;
        other.native_ = kNone;
    }
    return *this;
}

NewHostFile::~NewHostFile() { DiscardNewHostFile(*this); }

void HostFile::Close() {
    if (native_ != kNone) {
        CloseHostFileNative(native_);
        native_ = kNone;
    }
}

uint32_t ReadAtBySeeking(const HostFile& file, uint64_t offset, void* buffer, uint32_t count, uint32_t& done) {
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

uint32_t WriteAtBySeeking(const HostFile& file, uint64_t offset, const void* buffer, uint32_t count) {
    if (const uint32_t code = SeekHostFile(file, offset)) {
        return code;
    }
    uint32_t done = 0;
    if (const uint32_t code = WriteHostFile(file, buffer, count, done)) {
        return code;
    }
    return done == count ? kHostSuccess : HostCodeFor(HostFailure::kDiskFull);
}

uint32_t ReadWholeHostFile(const HostFile& file, uint32_t size, ByteBlock& block) {
    if (!block.Allocate(size)) {
        return HostCodeFor(HostFailure::kOutOfMemory);
    }
    uint32_t done = 0;
    uint32_t code = ReadAtBySeeking(file, 0, block.data(), size, done);
    if (code == kHostSuccess && done != size) {
        code = HostCodeFor(HostFailure::kEndOfFile);
    }
    if (code != kHostSuccess) {
        block.Reset();
    }
    return code;
}

}  // namespace vk
