#include "engine/common/digests.h"

#include <algorithm>
#include <utility>

#include <zlib.h>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define VK_SHA1_X86 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace vk {
namespace {

constexpr uint32_t Rotate(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

void PortableBlock(std::array<uint32_t, 5>& h, const uint8_t* block) {
    uint32_t w[80];
    for (int t = 0; t < 16; ++t) {
        w[t] = uint32_t{block[4 * t]} << 24 | uint32_t{block[4 * t + 1]} << 16 | uint32_t{block[4 * t + 2]} << 8 |
               uint32_t{block[4 * t + 3]};
    }
    for (int t = 16; t < 80; ++t) w[t] = Rotate(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
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
    h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e;
}

#ifdef VK_SHA1_X86
// The SHA extensions take four rounds an instruction. Round group G (rounds
// 4G .. 4G+3) uses message block G % 4 and the E value G % 2; the message
// schedule for later groups is prepared along the way (msg1 three groups
// ahead, the xor two ahead, msg2 one ahead), as the instructions' own
// description lays it out.
#define VK_SHA_TARGET __attribute__((target("sha,sse4.1,ssse3")))

template <int G>
VK_SHA_TARGET inline void ShaGroup(__m128i& abcd, __m128i (&e)[2], __m128i (&msg)[4]) {
    if constexpr (G == 0) {
        e[0] = _mm_add_epi32(e[0], msg[0]);
    } else {
        e[G % 2] = _mm_sha1nexte_epu32(e[G % 2], msg[G % 4]);
    }
    e[(G + 1) % 2] = abcd;
    if constexpr (G >= 3 && G <= 18) msg[(G + 1) % 4] = _mm_sha1msg2_epu32(msg[(G + 1) % 4], msg[G % 4]);
    abcd = _mm_sha1rnds4_epu32(abcd, e[G % 2], G / 5);
    if constexpr (G >= 1 && G <= 16) msg[(G + 3) % 4] = _mm_sha1msg1_epu32(msg[(G + 3) % 4], msg[G % 4]);
    if constexpr (G >= 2 && G <= 17) msg[(G + 2) % 4] = _mm_xor_si128(msg[(G + 2) % 4], msg[G % 4]);
}

template <int... G>
VK_SHA_TARGET inline void ShaGroups(__m128i& abcd, __m128i (&e)[2], __m128i (&msg)[4],
                                    std::integer_sequence<int, G...>) {
    (ShaGroup<G>(abcd, e, msg), ...);
}

VK_SHA_TARGET void ShaExtensionBlocks(std::array<uint32_t, 5>& h, const uint8_t* data, size_t count) {
    const __m128i byteSwap = _mm_set_epi64x(0x0001020304050607LL, 0x08090A0B0C0D0E0FLL);
    __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(h.data())), 0x1B);
    __m128i e0 = _mm_set_epi32(static_cast<int>(h[4]), 0, 0, 0);
    for (; count != 0; --count, data += 64) {
        const __m128i abcdBefore = abcd;
        const __m128i eBefore = e0;
        __m128i msg[4];
        for (int i = 0; i < 4; ++i) {
            msg[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)), byteSwap);
        }
        __m128i e[2] = {e0, e0};
        ShaGroups(abcd, e, msg, std::make_integer_sequence<int, 20>{});
        // Group 19 left the E of the next block's start in e[0].
        e0 = _mm_sha1nexte_epu32(e[0], eBefore);
        abcd = _mm_add_epi32(abcd, abcdBefore);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(h.data()), _mm_shuffle_epi32(abcd, 0x1B));
    h[4] = static_cast<uint32_t>(_mm_extract_epi32(e0, 3));
}

bool HasShaExtensions() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
    const bool ssse3 = (c & (1u << 9)) != 0, sse41 = (c & (1u << 19)) != 0;
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
    return ssse3 && sse41 && (b & (1u << 29)) != 0;
}
#endif

}  // namespace

void Crc32::Add(const uint8_t* bytes, size_t count) {
    // zlib takes lengths of its own width: a large piece goes in parts.
    while (count > 0) {
        const uInt piece = static_cast<uInt>(std::min<size_t>(count, 1u << 30));
        value_ = static_cast<uint32_t>(crc32(value_, bytes, piece));
        bytes += piece;
        count -= piece;
    }
}

Sha1::Sha1() : h_{0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u} {}

void Sha1::Blocks(const uint8_t* blocks, size_t count) {
#ifdef VK_SHA1_X86
    static const bool extensions = HasShaExtensions();
    if (extensions) {
        ShaExtensionBlocks(h_, blocks, count);
        return;
    }
#endif
    for (; count != 0; --count, blocks += 64) PortableBlock(h_, blocks);
}

void Sha1::Add(const uint8_t* bytes, size_t count) {
    totalBytes_ += count;
    while (count > 0) {
        if (pendingCount_ == 0 && count >= pending_.size()) {
            const size_t whole = count / pending_.size();
            Blocks(bytes, whole);
            bytes += whole * pending_.size(), count -= whole * pending_.size();
            continue;
        }
        const size_t take = std::min(count, pending_.size() - pendingCount_);
        std::copy(bytes, bytes + take, pending_.begin() + static_cast<std::ptrdiff_t>(pendingCount_));
        pendingCount_ += take, bytes += take, count -= take;
        if (pendingCount_ == pending_.size()) {
            Blocks(pending_.data(), 1);
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
