// Little-endian access to on-disk fields; never cast a packed struct over them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

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

// A heap block whose allocation may fail without an exception: the engine
// reports "out of memory" as a message, not by unwinding.
class ByteBlock {
public:
    ByteBlock() = default;
    bool Allocate(size_t size) {
        data_.reset(new (std::nothrow) uint8_t[size == 0 ? 1 : size]);
        size_ = data_ ? size : 0;
        return data_ != nullptr;
    }
    void Reset() {
        data_.reset();
        size_ = 0;
    }
    uint8_t* data() { return data_.get(); }
    const uint8_t* data() const { return data_.get(); }
    size_t size() const { return size_; }
    bool empty() const { return data_ == nullptr; }

private:
    std::unique_ptr<uint8_t[]> data_;
    size_t size_ = 0;
};

}  // namespace vk
