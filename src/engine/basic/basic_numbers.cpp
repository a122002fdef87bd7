#include "engine/basic/basic_numbers.h"

#include <cctype>
#include <cstdlib>

#include "engine/common/bytes.h"

namespace vk {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr int kSingleDigits = 6;
constexpr int kDoubleDigits = 14;
constexpr uint8_t kSignBit = 0x80;

}  // namespace

std::string BcdText(const uint8_t* bytes, size_t count) {
    const bool single = count == kSingleBytes;
    const int precision = single ? kSingleDigits : kDoubleDigits;
    std::string digits;
    for (size_t i = 1; i < count; ++i) {
        digits += static_cast<char>('0' + std::min(9, bytes[i] >> 4));
        digits += static_cast<char>('0' + std::min(9, bytes[i] & 0x0F));
    }
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    if ((bytes[0] & ~kSignBit) == 0 || digits.empty()) return single ? "0!" : "0#";
    const int e = (bytes[0] & ~kSignBit) - kExponentBias;
    const int n = static_cast<int>(digits.size());
    std::string text = (bytes[0] & kSignBit) ? "-" : "";
    if (e > 0 && e <= precision) {
        text += digits.substr(0, std::min(n, e));
        if (n < e) text.append(static_cast<size_t>(e - n), '0');
        if (n > e) text += "." + digits.substr(static_cast<size_t>(e));
        const int shown = std::max(n, e);
        if (single && n <= e) text += '!';
        if (!single && shown <= kSingleDigits) text += '#';
    } else if (e <= 0 && n - e <= precision) {
        text += "." + std::string(static_cast<size_t>(-e), '0') + digits;
        if (!single && n <= kSingleDigits) text += '#';
    } else {
        text += digits.substr(0, 1);
        if (n > 1) text += "." + digits.substr(1);
        const int shown = e - 1;
        text += single ? 'E' : 'D';
        text += shown < 0 ? '-' : '+';
        const int magnitude = std::abs(shown);
        text += static_cast<char>('0' + magnitude / 10 % 10);
        text += static_cast<char>('0' + magnitude % 10);
    }
    return text;
}

NumberRead TokenizeNumber(std::string_view text, std::vector<uint8_t>& out, size_t& used) {
    size_t i = 0;
    std::string digits;  // significant digits, leading zeros left out
    int pointAt = -1;    // digits before the point
    bool point = false;
    int typed = 0;       // digits typed, leading zeros left out: more than 6 make a double
    while (i < text.size() && (IsDigit(text[i]) || (text[i] == '.' && !point))) {
        if (text[i] == '.') {
            point = true;
            pointAt = static_cast<int>(digits.size());
        } else if (text[i] != '0' || !digits.empty()) {
            digits += text[i];
            ++typed;
        } else if (point) {
            --pointAt;  // a zero after the point, before any other digit
            if (pointAt < 0) digits.clear();
        }
        ++i;
    }
    if (i == 0 || (i == 1 && point)) return NumberRead::kNone;
    if (!point) pointAt = static_cast<int>(digits.size());
    // Trailing zeros of the whole part count as typed digits.
    char kind = 0;  // '%', '!' or '#'
    int exponent = 0;
    if (i < text.size() && (std::toupper(static_cast<unsigned char>(text[i])) == 'E' ||
                            std::toupper(static_cast<unsigned char>(text[i])) == 'D')) {
        size_t j = i + 1;
        bool negative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) negative = text[j++] == '-';
        if (j < text.size() && IsDigit(text[j])) {
            kind = std::toupper(static_cast<unsigned char>(text[i])) == 'D' ? '#' : '!';
            while (j < text.size() && IsDigit(text[j])) exponent = std::min(exponent * 10 + (text[j++] - '0'), 999);
            if (negative) exponent = -exponent;
            i = j;
        }
    }
    const bool afterExponent = kind != 0;  // E or D took a mark of their own, which ! or # may change
    if (i < text.size() && (text[i] == '!' || text[i] == '#' || (text[i] == '%' && !afterExponent))) kind = text[i++];
    used = i;
    // The decimal exponent of 0.d1d2.. and the digits without trailing zeros.
    int e = pointAt + exponent;
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    const bool whole = !point && exponent == 0;
    long value = 0;
    if (whole && e <= 5 && digits.size() <= 5) {
        for (char c : digits) value = value * 10 + (c - '0');
        for (int k = static_cast<int>(digits.size()); k < e; ++k) value *= 10;
    }
    const bool fitsInteger = whole && e <= 5 && value <= 32767;
    if (kind == '%' || (kind == 0 && fitsInteger)) {
        if (fitsInteger) {
            if (value <= 9) {
                out.push_back(static_cast<uint8_t>(kNumDigitZero + value));
            } else if (value <= 255) {
                out.push_back(kNumByte);
                out.push_back(static_cast<uint8_t>(value));
            } else {
                out.push_back(kNumInteger);
                out.push_back(static_cast<uint8_t>(value & 0xFF));
                out.push_back(static_cast<uint8_t>(value >> 8));
            }
            return NumberRead::kStored;
        }
        kind = 0;
    }
    const bool isDouble = kind == '#' || (kind == 0 && typed > kSingleDigits);
    const int precision = isDouble ? kDoubleDigits : kSingleDigits;
    // Rounded half up to the precision; a carry adds a digit in front.
    if (static_cast<int>(digits.size()) > precision) {
        const bool up = digits[static_cast<size_t>(precision)] >= '5';
        digits.resize(static_cast<size_t>(precision));
        for (int k = precision - 1; up && k >= 0; --k) {
            if (digits[static_cast<size_t>(k)] == '9') {
                digits[static_cast<size_t>(k)] = '0';
                if (k == 0) {
                    digits.insert(digits.begin(), '1');
                    digits.pop_back();
                    ++e;
                }
            } else {
                ++digits[static_cast<size_t>(k)];
                break;
            }
        }
    }
    digits.resize(static_cast<size_t>(precision), '0');
    out.push_back(isDouble ? kNumDouble : kNumSingle);
    const bool zero = digits.find_first_not_of('0') == std::string::npos || e + kExponentBias < 1;
    if (!zero && e + kExponentBias > 127) return NumberRead::kOverflow;
    if (zero) digits.assign(static_cast<size_t>(precision), '0');
    const int biased = zero ? 0 : e + kExponentBias;
    out.push_back(static_cast<uint8_t>(biased));
    for (int k = 0; k < precision; k += 2) {
        out.push_back(static_cast<uint8_t>(((digits[static_cast<size_t>(k)] - '0') << 4) |
                                           (digits[static_cast<size_t>(k + 1)] - '0')));
    }
    return NumberRead::kStored;
}

}  // namespace vk
