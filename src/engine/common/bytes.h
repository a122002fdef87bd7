// Little-endian access to on-disk fields; never cast a packed struct over them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

namespace vk {

inline uint16_t Load16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

inline uint32_t Load32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline void Store16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

inline void Store32(uint8_t* p, uint32_t v) {
    Store16(p, v);
    Store16(p + 2, v >> 16);
}

// A span of bytes, by offset from the start of a file or block.
struct ByteRange {
    uint64_t offset = 0;
    uint64_t length = 0;
};

// A block of bytes whose allocation may fail without an exception: the
// engine reports "out of memory" as a message, not by unwinding. A host may
// hand it memory of its own (a mapping of a file) with the call that gives
// it back.
class ByteBlock {
public:
    using Release = void (*)(uint8_t* data, size_t size);

    ByteBlock() = default;
    ~ByteBlock() { Reset(); }
    ByteBlock(ByteBlock&& other) noexcept : data_(other.data_), size_(other.size_), release_(other.release_) {
        other.data_ = nullptr;
        other.size_ = 0;
        other.release_ = nullptr;
    }
    ByteBlock& operator=(ByteBlock&& other) noexcept {
        if (this != &other) {
            Reset();
            std::swap(data_, other.data_);
            std::swap(size_, other.size_);
            std::swap(release_, other.release_);
        }
        return *this;
    }
    ByteBlock(const ByteBlock&) = delete;
    ByteBlock& operator=(const ByteBlock&) = delete;

    bool Allocate(size_t size) {
        Reset();
        data_ = new (std::nothrow) uint8_t[size == 0 ? 1 : size];
        size_ = data_ ? size : 0;
        return data_ != nullptr;
    }
    // Takes `data`, which `release` gives back when the block goes.
    void Adopt(uint8_t* data, size_t size, Release release) {
        Reset();
        data_ = data;
        size_ = size;
        release_ = release;
    }
    void Reset() {
        if (data_ != nullptr) {
            if (release_ != nullptr) {
                release_(data_, size_);
            } else {
                delete[] data_;
            }
        }
        data_ = nullptr;
        size_ = 0;
        release_ = nullptr;
    }
    uint8_t* data() { return data_; }
    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }
    bool empty() const { return data_ == nullptr; }
    // The host's own memory, handed over with Adopt.
    bool IsAdopted() const { return release_ != nullptr; }

private:
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
    Release release_ = nullptr;
};

}  // namespace vk
