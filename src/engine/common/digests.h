// The two digests a catalogue gives of every file: CRC32 (as zip and gzip
// store it, zlib's, which the engine links for its containers) and SHA-1 (as
// collections of disk images are indexed), written here: no SHA library
// builds for the Windows targets from the packages at hand.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vk {

// CRC-32 of IEEE 802.3 (reflected, polynomial EDB88320, inverted in and out).
class Crc32 {
public:
    void Add(const uint8_t* bytes, size_t count);
    uint32_t Value() const { return value_; }

private:
    uint32_t value_ = 0;
};

// SHA-1 of FIPS 180-4, fed in pieces of any length. Where the processor has
// the SHA extensions (x86), its rounds run there: a catalogue hashes every
// byte of every file of thousands of images.
class Sha1 {
public:
    Sha1();
    void Add(const uint8_t* bytes, size_t count);
    // The digest as 40 lower-case hex digits; ends the computation.
    std::string HexDigest();

private:
    // Takes `count` whole blocks of 64 bytes.
    void Blocks(const uint8_t* blocks, size_t count);

    std::array<uint32_t, 5> h_;
    std::array<uint8_t, 64> pending_{};
    size_t pendingCount_ = 0;
    uint64_t totalBytes_ = 0;
};

}  // namespace vk
