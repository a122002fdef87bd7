#include "engine/basic/basic_program.h"

#include <cctype>
#include <cstdio>

#include "engine/basic/basic_numbers.h"
#include "engine/basic/basic_tokens.h"
#include "engine/common/bytes.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

constexpr uint8_t kEndOfLine = 0x00;
constexpr uint8_t kColon = ':';
constexpr uint8_t kQuote = '"';
constexpr char kEndOfText = 0x1A;  // ^Z
constexpr uint32_t kHighestLine = 65529;

std::string Hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

std::string Octal(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%o", value);
    return text;
}

// One line's tokens as text, read up to the 00h that ends it, which a
// number's bytes may hold as well: `end` is that 00h's index. False with
// `badAt` when a byte has no meaning, or when the bytes (`count`) end first
// (`badAt` == `count`).
bool ListLine(const uint8_t* p, size_t count, const uint8_t* file, size_t fileSize, uint32_t base, std::string& text,
              size_t& end, size_t& badAt) {
    size_t i = 0;
    auto need = [&](size_t more) { return i + more < count; };
    auto verbatim = [&](size_t from, bool toColon) {
        bool quoted = false;
        for (i = from; i < count && p[i] != kEndOfLine && (quoted || !toColon || p[i] != kColon); ++i) {
            if (p[i] == kQuote) quoted = !quoted;
            text += static_cast<char>(p[i]);
        }
    };
    while (i < count) {
        const uint8_t b = p[i];
        if (b == kEndOfLine) {
            end = i;
            return true;
        }
        if (b == kQuote) {
            text += static_cast<char>(b);
            for (++i; i < count && p[i] != kEndOfLine; ++i) {
                text += static_cast<char>(p[i]);
                if (p[i] == kQuote) {
                    ++i;
                    break;
                }
            }
        } else if (b == kColon && i + 1 < count && p[i + 1] == kTokenElse) {
            text += StatementText(kTokenElse);
            i += 2;
        } else if (b == kColon && i + 2 < count && p[i + 1] == kTokenRem && p[i + 2] == kTokenApostrophe) {
            text += '\'';
            verbatim(i + 3, false);
        } else if (b == kTokenRem || b == kTokenApostrophe) {
            text += StatementText(b);
            verbatim(i + 1, false);
        } else if (b == kTokenData) {
            text += StatementText(b);
            verbatim(i + 1, true);
        } else if (b >= kNumDigitZero && b < kNumDigitZero + 10) {
            text += static_cast<char>('0' + (b - kNumDigitZero));
            ++i;
        } else if (b == kNumByte) {
            if (!need(1)) return badAt = i, false;
            text += std::to_string(p[i + 1]);
            i += 2;
        } else if (b == kNumInteger || b == kNumHex || b == kNumOctal || b == kNumLineNumber ||
                   b == kNumLinePointer) {
            if (!need(2)) return badAt = i, false;
            const uint16_t v = Load16(p + i + 1);
            if (b == kNumInteger) {
                text += std::to_string(static_cast<int16_t>(v));
            } else if (b == kNumHex) {
                text += "&H" + Hex(v);
            } else if (b == kNumOctal) {
                text += "&O" + Octal(v);
            } else if (b == kNumLineNumber) {
                text += std::to_string(v);
            } else {
                // A line's address: its number lies 2 bytes on.
                const size_t at = static_cast<size_t>(v) - base + 1;
                if (v < base || at + kBasicLineHeader > fileSize) return badAt = i, false;
                text += std::to_string(Load16(file + at + 2));
            }
            i += 3;
        } else if (b == kNumSingle || b == kNumDouble) {
            const size_t size = b == kNumSingle ? kSingleBytes : kDoubleBytes;
            if (!need(size)) return badAt = i, false;
            text += BcdText(p + i + 1, size);
            i += size + 1;
        } else if (b == kBasicFunctionPrefix) {
            const std::string_view name = need(1) ? FunctionText(p[i + 1]) : std::string_view();
            if (name.empty()) return badAt = i, false;
            text += name;
            i += 2;
        } else if (b >= 0x80) {
            const std::string_view name = StatementText(b);
            if (name.empty()) return badAt = i, false;
            text += name;
            ++i;
        } else if (b >= 0x0B && b <= 0x1F) {
            return badAt = i, false;  // a number token this program has no use for
        } else {
            text += static_cast<char>(b);
            ++i;
        }
    }
    badAt = count;
    return false;
}

Notice StopNotice(unsigned id, uint32_t line, std::string_view extra = {}) {
    return TextNotice(id, Tone::kWarning, {std::to_string(line), extra});
}

}  // namespace

FileKind ClassifyFileBytes(const uint8_t* data, size_t size) {
    if (size >= 1 + kBasicLineHeader && data[0] == kBasicFileMark) return FileKind::kTokenizedBasic;
    size_t odd = 0;
    for (size_t i = 0; i < size; ++i) {
        const uint8_t c = data[i];
        if (c == kEndOfText) break;
        if (c < 0x20 && c != '\r' && c != '\n' && c != '\t' && c != 0x01 && c != 0x0C) ++odd;
    }
    return odd * 20 <= size ? FileKind::kText : FileKind::kBinary;
}

BasicListing ListBasicProgram(const uint8_t* data, size_t size) {
    BasicListing listing;
    if (size == 0 || data[0] != kBasicFileMark) {
        listing.stop = TextNotice(kMsgBasicNotAProgram, Tone::kWarning);
        return listing;
    }
    size_t at = 1;
    uint32_t base = 0;  // the address of the first line, taken from its link
    uint32_t lastNumber = 0;
    while (true) {
        if (at + 2 > size) {
            listing.stop = StopNotice(kMsgBasicTruncated, lastNumber);
            return listing;
        }
        const uint16_t link = Load16(data + at);
        if (link == 0) return listing;
        if (at + kBasicLineHeader > size) {
            listing.stop = StopNotice(kMsgBasicTruncated, lastNumber);
            return listing;
        }
        const uint16_t number = Load16(data + at + 2);
        const size_t available = size - at - kBasicLineHeader;
        // A line pointer is read against the first line's address: until
        // the first line is read, the usual one stands in.
        std::string text = std::to_string(number) + " ";
        size_t end = 0;
        size_t badAt = 0;
        if (!ListLine(data + at + kBasicLineHeader, available, data, size, base == 0 ? kBasicLoadAddress : base, text, end,
                      badAt)) {
            listing.stop = badAt == available
                               ? StopNotice(kMsgBasicTruncated, lastNumber)
                               : StopNotice(kMsgBasicUnknownToken, number, Hex(data[at + kBasicLineHeader + badAt]));
            return listing;
        }
        const size_t next = at + kBasicLineHeader + end + 1;
        if (base == 0) base = static_cast<uint32_t>(link - (next - 1));
        if (link != base + (next - 1)) {
            listing.stop = StopNotice(kMsgBasicBrokenLink, number);
            return listing;
        }
        listing.lines.push_back(std::move(text));
        lastNumber = number;
        at = next;
    }
}

std::string AsciiSaveText(const BasicListing& listing) {
    std::string text;
    for (const std::string& line : listing.lines) text += line + "\r\n";
    text += kEndOfText;
    return text;
}

bool LooksLikeBasicListing(const uint8_t* data, size_t size) {
    size_t i = 0;
    while (i < size && (data[i] == ' ' || data[i] == '\r' || data[i] == '\n')) ++i;
    const size_t digits = i;
    while (i < size && std::isdigit(data[i])) ++i;
    return i > digits && i - digits <= 5 && i < size && data[i] == ' ';
}

namespace {

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

// Keywords after which numbers are line numbers, as are the numbers of a
// list after them (ON X GOTO 10,20).
bool TakesLineNumbers(uint8_t token) {
    switch (token) {
    case kTokenGoto: case kTokenGosub: case kTokenThen: case kTokenElse: case kTokenRestore: case kTokenRun:
    case kTokenList: case kTokenLlist: case kTokenDelete: case kTokenRenum: case kTokenResume: case kTokenAuto:
        return true;
    default:
        return false;
    }
}

// A byte a stored line cannot hold where it stands: 00h ends the line, and
// outside quotes and remarks 0Bh-1Fh start numbers and 80h and up are
// keywords, so that the listing would read it as something else.
bool StorableOnlyQuoted(uint8_t c) { return (c >= 0x0B && c <= 0x1F) || c >= 0x80; }

// Why a line cannot be stored.
enum class LineFault { kNone, kUnstorable, kOverflow };

// Tokenizes one line's text after its number into `out`; a fault, with the
// offending byte in `bad` for one it cannot store, stops it.
LineFault TokenizeLine(std::string_view s, std::vector<uint8_t>& out, uint8_t& bad) {
    if (s.find('\0') != std::string_view::npos) {
        bad = 0;
        return LineFault::kUnstorable;
    }
    size_t i = 0;
    bool lineNumbers = false;
    bool inName = false;  // letters and digits after a letter make a variable's name
    while (i < s.size()) {
        const char c = s[i];
        if (c == '"') {
            const size_t close = s.find('"', i + 1);
            const size_t end = close == std::string_view::npos ? s.size() : close + 1;
            out.insert(out.end(), s.begin() + static_cast<std::ptrdiff_t>(i), s.begin() + static_cast<std::ptrdiff_t>(end));
            i = end;
            inName = false;
            lineNumbers = false;
            continue;
        }
        if (c == '\'') {
            out.push_back(kColon);
            out.push_back(kTokenRem);
            out.push_back(kTokenApostrophe);
            out.insert(out.end(), s.begin() + static_cast<std::ptrdiff_t>(i + 1), s.end());
            return LineFault::kNone;
        }
        if (c == '?') {
            out.push_back(kTokenPrint);
            ++i;
            inName = false;
            continue;
        }
        if (c == '&' && i + 1 < s.size() &&
            (std::toupper(static_cast<unsigned char>(s[i + 1])) == 'H' || std::toupper(static_cast<unsigned char>(s[i + 1])) == 'O')) {
            const bool hex = std::toupper(static_cast<unsigned char>(s[i + 1])) == 'H';
            size_t j = i + 2;
            unsigned long value = 0;
            while (j < s.size() && (hex ? std::isxdigit(static_cast<unsigned char>(s[j])) != 0 : s[j] >= '0' && s[j] <= '7')) {
                value = std::min<unsigned long>(value * (hex ? 16 : 8) + std::stoul(std::string(1, s[j]), nullptr, 16), 0x10000);
                ++j;
            }
            if (j > i + 2 && value <= 0xFFFF) {
                out.push_back(hex ? kNumHex : kNumOctal);
                out.push_back(static_cast<uint8_t>(value & 0xFF));
                out.push_back(static_cast<uint8_t>(value >> 8));
                i = j;
                inName = false;
                continue;
            }
        }
        if (!inName && (std::isdigit(static_cast<unsigned char>(c)) || (c == '.' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1]))))) {
            if (lineNumbers && std::isdigit(static_cast<unsigned char>(c))) {
                size_t j = i;
                uint32_t value = 0;
                while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])) && value <= kHighestLine) value = value * 10 + static_cast<uint32_t>(s[j++] - '0');
                if (value <= kHighestLine) {
                    out.push_back(kNumLineNumber);
                    out.push_back(static_cast<uint8_t>(value & 0xFF));
                    out.push_back(static_cast<uint8_t>(value >> 8));
                    i = j;
                    continue;
                }
            }
            size_t used = 0;
            const NumberRead read = TokenizeNumber(s.substr(i), out, used);
            if (read == NumberRead::kOverflow) return LineFault::kOverflow;
            if (read == NumberRead::kStored) {
                i += used;
                continue;
            }
        }
        if (std::isalpha(static_cast<unsigned char>(c))) {
            if (const BasicKeyword* k = MatchKeyword(s.substr(i))) {
                if (k->function) out.push_back(kBasicFunctionPrefix);
                if (!k->function && k->code == kTokenElse) out.push_back(kColon);
                out.push_back(k->code);
                i += k->text.size();
                inName = false;
                lineNumbers = !k->function && TakesLineNumbers(k->code);
                if (!k->function && k->code == kTokenRem) {
                    out.insert(out.end(), s.begin() + static_cast<std::ptrdiff_t>(i), s.end());
                    return LineFault::kNone;
                }
                if (!k->function && k->code == kTokenData) {
                    bool quoted = false;
                    for (; i < s.size() && (quoted || s[i] != ':'); ++i) {
                        if (s[i] == '"') quoted = !quoted;
                        out.push_back(static_cast<uint8_t>(s[i]));
                    }
                }
                continue;
            }
            out.push_back(static_cast<uint8_t>(std::toupper(static_cast<unsigned char>(c))));
            inName = true;
            lineNumbers = false;
            ++i;
            continue;
        }
        if (const uint8_t op = OperatorToken(c)) {
            out.push_back(op);
            lineNumbers = false;
        } else if (StorableOnlyQuoted(static_cast<uint8_t>(c))) {
            bad = static_cast<uint8_t>(c);
            return LineFault::kUnstorable;
        } else {
            out.push_back(static_cast<uint8_t>(c));
            if (c != ' ' && c != ',') lineNumbers = false;
        }
        inName = inName && IsNameChar(c);
        if (!IsNameChar(c)) inName = false;
        ++i;
    }
    return LineFault::kNone;
}

// The fault that stores nothing.
TokenizedProgram Refused(Notice notice) {
    TokenizedProgram program;
    program.fault = std::move(notice);
    return program;
}

}  // namespace

TokenizedProgram TokenizeBasicProgram(std::string_view text) {
    TokenizedProgram program;
    std::vector<uint8_t>& out = program.bytes;
    out.push_back(kBasicFileMark);
    const size_t stop = text.find(kEndOfText);
    if (stop != std::string_view::npos) text = text.substr(0, stop);
    long last = -1;
    while (!text.empty()) {
        size_t end = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end);
        if (text.size() >= 2 && text[0] == '\r' && text[1] == '\n') text.remove_prefix(2);
        else if (!text.empty()) text.remove_prefix(1);
        while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
        if (line.empty()) continue;
        size_t digits = 0;
        uint32_t number = 0;
        while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits])) && number <= kHighestLine) {
            number = number * 10 + static_cast<uint32_t>(line[digits++] - '0');
        }
        if (digits == 0 || number > kHighestLine || static_cast<long>(number) <= last) {
            return Refused(TextNotice(kMsgBasicBadLineNumber, Tone::kError, {std::string(line.substr(0, 20))}));
        }
        last = number;
        line.remove_prefix(digits);
        // LIST puts one blank after the number; SAVE stores the rest.
        if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
        const size_t start = out.size();
        out.insert(out.end(), {0, 0, static_cast<uint8_t>(number & 0xFF), static_cast<uint8_t>(number >> 8)});
        uint8_t bad = 0;
        switch (TokenizeLine(line, out, bad)) {
        case LineFault::kNone: break;
        case LineFault::kUnstorable:
            return Refused(TextNotice(kMsgBasicUnstorable, Tone::kError, {std::to_string(number), Hex(bad)}));
        case LineFault::kOverflow:
            return Refused(TextNotice(kMsgBasicOverflow, Tone::kError, {std::to_string(number)}));
        }
        out.push_back(kEndOfLine);
        // The program and its end mark must fit below the top of the memory.
        const uint32_t next = static_cast<uint32_t>(kBasicLoadAddress + out.size() - 1);
        if (next + 2 > 0xFFFF) return Refused(TextNotice(kMsgBasicTooLong, Tone::kError, {std::to_string(number)}));
        out[start] = static_cast<uint8_t>(next & 0xFF);
        out[start + 1] = static_cast<uint8_t>(next >> 8);
    }
    out.push_back(0);
    out.push_back(0);
    return program;
}

}  // namespace vk
