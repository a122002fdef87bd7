#include "engine/fat/ops/host_reader.h"

#include <algorithm>
#include <cstring>

#include "engine/ports/host_failure.h"

namespace vk {
namespace {

// Large enough that a floppy-sized file is one read, small enough to hold
// beside the image whatever the host file's listed size.
constexpr uint32_t kReadBlock = 1u << 20;

}  // namespace

bool HostBlockReader::Prepare() {
    return block_.Allocate(static_cast<size_t>(std::min<uint64_t>(uint64_t{unread_} + 1, kReadBlock)));
}

uint32_t HostBlockReader::Refill() {
    const uint64_t wanted = std::min<uint64_t>(uint64_t{unread_} + 1, block_.size());
    uint32_t done = 0;
    const uint32_t error = ReadHostFile(file_, block_.data(), static_cast<uint32_t>(wanted), done);
    if (error != kHostSuccess) {
        return error;
    }
    if (wanted > unread_) {
        pastEnd_ = true;
        if (done > unread_) {
            longer_ = true;
            done = unread_;
        }
    }
    unread_ -= done;
    filled_ = done;
    used_ = 0;
    return done == 0 ? HostCodeFor(HostFailure::kEndOfFile) : kHostSuccess;
}

uint32_t HostBlockReader::Read(uint8_t* dest, uint32_t count) {
    while (count > 0) {
        if (used_ == filled_) {
            const uint32_t error = Refill();
            if (error != kHostSuccess) {
                return error;
            }
        }
        const uint32_t piece = std::min(count, filled_ - used_);
        std::memcpy(dest, block_.data() + used_, piece);
        used_ += piece;
        dest += piece;
        count -= piece;
    }
    return kHostSuccess;
}

bool HostBlockReader::LongerThanListed() {
    if (pastEnd_) {
        return longer_;
    }
    uint8_t probe = 0;
    uint32_t extra = 0;
    return ReadHostFile(file_, &probe, 1, extra) == kHostSuccess && extra != 0;
}

}  // namespace vk
