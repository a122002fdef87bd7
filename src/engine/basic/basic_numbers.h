// The numbers of a tokenized MSX-BASIC program: integers, and single (6
// digits) and double (14 digits) precision numbers in binary-coded decimal,
// printed as LIST prints them and read back as the tokenizer stores them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

// Number tokens and the bytes that follow each.
constexpr uint8_t kNumOctal = 0x0B;       // &O: 2 bytes
constexpr uint8_t kNumHex = 0x0C;         // &H: 2 bytes
constexpr uint8_t kNumLinePointer = 0x0D; // a line's address, once the program has run: 2 bytes
constexpr uint8_t kNumLineNumber = 0x0E;  // a line number after GOTO and the like: 2 bytes
constexpr uint8_t kNumByte = 0x0F;        // 10 to 255: 1 byte
constexpr uint8_t kNumDigitZero = 0x11;   // 0 to 9: the token itself, 11h to 1Ah
constexpr uint8_t kNumInteger = 0x1C;     // 256 to 32767: 2 bytes
constexpr uint8_t kNumSingle = 0x1D;      // 4 bytes: exponent, 6 BCD digits
constexpr uint8_t kNumDouble = 0x1F;      // 8 bytes: exponent, 14 BCD digits

constexpr size_t kSingleBytes = 4;
constexpr size_t kDoubleBytes = 8;
constexpr int kExponentBias = 64;  // the exponent byte's low 7 bits, 0.d1d2.. x 10^(e-64); bit 7 the sign

// A BCD number (`bytes` of kSingleBytes or kDoubleBytes) as LIST prints it.
// The rule: with n significant digits and the value 0.d1..dn x 10^e, the
// number is printed without an exponent when 0 < e <= p (p = 6 or 14), or
// e <= 0 and n - e <= p (a leading "." without a 0); otherwise as d1.d2..dn
// followed by E (single) or D (double), a sign and two digits. A single
// printed without "." or exponent gets "!", and a double printed without an
// exponent and with no more than 6 digits (zeros after the point and before
// the first other digit not counted) gets "#", so that the text reads back
// as the same kind of number.
std::string BcdText(const uint8_t* bytes, size_t count);

enum class NumberRead {
    kNone,      // the text starts with no number
    kStored,    // its tokens are appended
    kOverflow,  // 10^63 or more: MSX-BASIC refuses the line with "Overflow"
};

// Reads the number at the start of `text` (digits, ".", an exponent with E
// or D, a suffix % ! # also after the exponent) and appends its tokens as
// MSX-BASIC's tokenizer stores them; `used` is the length read. A number
// too small for the exponent is stored as 0.
NumberRead TokenizeNumber(std::string_view text, std::vector<uint8_t>& out, size_t& used);

}  // namespace vk
