#include "engine/basic/msx_charset.h"

#include <cstdint>

namespace vk {
namespace {

// The international set's 80h-FFh, as data.
constexpr char16_t kInternational[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x00C3, 0x00E3, 0x0128, 0x0129, 0x00D5, 0x00F5, 0x0168, 0x0169,
    0x0132, 0x0133, 0x00BE, 0x223D, 0x25CA, 0x2030, 0x00B6, 0x00A7,
    0x2582, 0x259A, 0x2586, 0x2594, 0x25FE, 0x2587, 0x258E, 0x259E,
    0x258A, 0x2595, 0x2589, 0x25A8, 0x25A7, 0x25BC, 0x25B2, 0x25B6,
    0x25C0, 0x29D7, 0x29D3, 0x2598, 0x2597, 0x259D, 0x2596, 0x2592,
    0x0394, 0x01C2, 0x03C9, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x2208, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// The graphic characters, each 01h followed by 41h-5Fh.
constexpr uint8_t kGraphicPrefix = 0x01;
constexpr uint8_t kFirstGraphic = 0x41;
constexpr char16_t kGraphics[31] = {
    0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8,
    0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C, 0x253F,
    0x2534, 0x252C, 0x2524, 0x251C, 0x253C, 0x2502, 0x2500, 0x250C,
    0x2510, 0x2514, 0x2518, 0x2573, 0x2571, 0x2572, 0x2542,
};

// The Japanese set's katakana, A1h-DFh, are JIS X 0201's, U+FF61 on.
constexpr uint8_t kFirstKatakana = 0xA1;
constexpr uint8_t kLastKatakana = 0xDF;
constexpr char16_t kHalfwidthIdeographicStop = 0xFF61;
constexpr char16_t kReplacement = 0xFFFD;

char16_t UnicodeOf(uint8_t c, MsxCharset set) {
    if (c < 0x80) return c;
    if (set == MsxCharset::kInternational) return kInternational[c - 0x80];
    if (c >= kFirstKatakana && c <= kLastKatakana) return static_cast<char16_t>(kHalfwidthIdeographicStop + (c - kFirstKatakana));
    return kReplacement;
}

void AppendUtf8(char32_t u, std::string& out) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

// The next code point of `s` from `i`; a malformed byte stands for U+FFFD.
char32_t NextCodePoint(std::string_view s, size_t& i) {
    const auto b = static_cast<uint8_t>(s[i++]);
    if (b < 0x80) return b;
    const int more = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
    if (more < 0 || i + static_cast<size_t>(more) > s.size()) return kReplacement;
    char32_t u = b & (0x3F >> more);
    for (int k = 0; k < more; ++k) {
        const auto c = static_cast<uint8_t>(s[i]);
        if ((c & 0xC0) != 0x80) return kReplacement;
        u = (u << 6) | (c & 0x3F);
        ++i;
    }
    return u;
}

}  // namespace

std::string MsxToUtf8(std::string_view msx, MsxCharset set) {
    std::string out;
    out.reserve(msx.size());
    for (size_t i = 0; i < msx.size(); ++i) {
        const auto c = static_cast<uint8_t>(msx[i]);
        if (c == kGraphicPrefix && i + 1 < msx.size()) {
            const auto g = static_cast<uint8_t>(msx[i + 1]);
            if (g >= kFirstGraphic && g < kFirstGraphic + 31) {
                AppendUtf8(kGraphics[g - kFirstGraphic], out);
                ++i;
                continue;
            }
        }
        AppendUtf8(UnicodeOf(c, set), out);
    }
    return out;
}

std::string Utf8ToMsx(std::string_view utf8, MsxCharset set) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const char32_t u = NextCodePoint(utf8, i);
        if (u < 0x80) {
            out += static_cast<char>(u);
            continue;
        }
        char found = '?';
        for (unsigned c = 0x80; c <= 0xFF; ++c) {
            if (UnicodeOf(static_cast<uint8_t>(c), set) == u && u != kReplacement) {
                found = static_cast<char>(c);
                break;
            }
        }
        if (found == '?') {
            for (unsigned g = 0; g < 31; ++g) {
                if (kGraphics[g] == u) {
                    out += static_cast<char>(kGraphicPrefix);
                    found = static_cast<char>(kFirstGraphic + g);
                    break;
                }
            }
        }
        out += found;
    }
    return out;
}

}  // namespace vk
