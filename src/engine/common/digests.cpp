#include "engine/common/digests.h"

#include <algorithm>

namespace vk {
namespace {

struct CrcTable {
    uint32_t entry[256];
    constexpr CrcTable() : entry() {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entry[n] = c;
        }
    }
};
constexpr CrcTable kCrcTable;

constexpr uint32_t Rotate(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

}  // namespace

void Crc32::Add(const uint8_t* bytes, size_t count) {
    uint32_t c = state_;
    for (size_t i = 0; i < count; ++i) c = kCrcTable.entry[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    state_ = c;
}

Sha1::Sha1() : h_{0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u} {}

void Sha1::Block(const uint8_t* block) {
    uint32_t w[80];
    for (int t = 0; t < 16; ++t) {
        w[t] = uint32_t{block[4 * t]} << 24 | uint32_t{block[4 * t + 1]} << 16 | uint32_t{block[4 * t + 2]} << 8 |
               uint32_t{block[4 * t + 3]};
    }
    for (int t = 16; t < 80; ++t) w[t] = Rotate(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
    uint32_t a = h_[0], b = h_[1], c = h_[2], d = h_[3], e = h_[4];
    for (int t = 0; t < 80; ++t) {
        uint32_t f, k;
        if (t < 20) {
            f = (b & c) | (~b & d), k = 0x5A827999u;
        } else if (t < 40) {
            f = b ^ c ^ d, k = 0x6ED9EBA1u;
        } else if (t < 60) {
            f = (b & c) | (b & d) | (c & d), k = 0x8F1BBCDCu;
        } else {
            f = b ^ c ^ d, k = 0xCA62C1D6u;
        }
        const uint32_t next = Rotate(a, 5) + f + e + k + w[t];
        e = d, d = c, c = Rotate(b, 30), b = a, a = next;
    }
    h_[0] += a, h_[1] += b, h_[2] += c, h_[3] += d, h_[4] += e;
}

void Sha1::Add(const uint8_t* bytes, size_t count) {
    totalBytes_ += count;
    while (count > 0) {
        if (pendingCount_ == 0 && count >= pending_.size()) {
            Block(bytes);
            bytes += pending_.size(), count -= pending_.size();
            continue;
        }
        const size_t take = std::min(count, pending_.size() - pendingCount_);
        std::copy(bytes, bytes + take, pending_.begin() + static_cast<std::ptrdiff_t>(pendingCount_));
        pendingCount_ += take, bytes += take, count -= take;
        if (pendingCount_ == pending_.size()) {
            Block(pending_.data());
            pendingCount_ = 0;
        }
    }
}

std::string Sha1::HexDigest() {
    // The message, a 1 bit, zeros up to 56 bytes of the last block, its length in bits.
    const uint64_t bits = totalBytes_ * 8;
    const uint8_t one = 0x80, zero = 0;
    Add(&one, 1);
    while (pendingCount_ != 56) Add(&zero, 1);
    uint8_t length[8];
    for (int i = 0; i < 8; ++i) length[i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
    Add(length, 8);
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (const uint32_t word : h_) {
        for (int shift = 28; shift >= 0; shift -= 4) text += kHex[(word >> shift) & 0xF];
    }
    return text;
}

}  // namespace vk
