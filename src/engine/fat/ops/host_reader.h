// Reading an added host file in large blocks, handed out a cluster at a time.
#pragma once

#include <cstdint>

#include "engine/common/bytes.h"
#include "engine/ports/host_files.h"

namespace vk {

// Reads a host file whose size was listed before it was opened. The block
// read that reaches the listed end asks for one byte more, so that a file
// grown since it was listed (or one of /proc, listed with size 0) shows
// without a read of its own.
class HostBlockReader {
public:
    HostBlockReader(const HostFile& file, uint32_t listedSize) : file_(file), unread_(listedSize) {}

    // False when the block cannot be had.
    bool Prepare();
    // Copies the next `count` bytes of the file to `dest`: the host's code,
    // or kEndOfFile's when the file ends before them.
    uint32_t Read(uint8_t* dest, uint32_t count);
    // True when the file holds more than its listed size; asked once every
    // listed byte has been read.
    bool LongerThanListed();

private:
    uint32_t Refill();

    const HostFile& file_;
    uint32_t unread_;         // listed bytes not yet read from the host
    ByteBlock block_;
    uint32_t filled_ = 0;     // bytes of the block read
    uint32_t used_ = 0;       // of them, bytes handed out
    bool pastEnd_ = false;    // a read asked beyond the listed end
    bool longer_ = false;     // and got a byte there
};

}  // namespace vk
