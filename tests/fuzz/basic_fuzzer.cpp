// Any byte string as a tokenized MSX-BASIC program, as a listing, and as the
// choices that build a listing of keywords, names, numbers and strings set
// apart by blanks. Listing reads nothing outside the input (the sanitizers
// judge that) and a refused listing stores nothing; a built listing
// tokenizes, and the listing of what it stored tokenizes to the same bytes.
// (Pieces are set apart because LIST itself prints 1234567#1 as 12345671
// and A PRINT as APRINT, which read back as other tokens.)
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/basic/basic_program.h"
#include "engine/basic/basic_tokens.h"
#include "engine/basic/msx_charset.h"

namespace {

// Reads the fuzzer's bytes as choices, zeros once they run out.
struct Choices {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint8_t Next() { return at < size ? data[at++] : 0; }
    bool Left() const { return at < size; }
};

std::string NumberPiece(Choices& c) {
    char text[64];
    const unsigned kind = c.Next() % 6;
    const unsigned a = c.Next() | (c.Next() << 8);
    const unsigned b = c.Next();
    switch (kind) {
    case 0: std::snprintf(text, sizeof text, "%u", a); break;
    case 1: std::snprintf(text, sizeof text, "&H%X", a); break;
    case 2: std::snprintf(text, sizeof text, "&O%o", a); break;
    case 3: std::snprintf(text, sizeof text, "%u.%u", a, b); break;
    case 4: std::snprintf(text, sizeof text, "%u.%uE%+d%s", a % 10, b, static_cast<int>(c.Next() % 120) - 60,
                          c.Next() % 2 ? "" : "#"); break;
    default: std::snprintf(text, sizeof text, "%u%u%u%s", a, b, a, c.Next() % 2 ? "#" : "!"); break;
    }
    return text;
}

// Keywords after which numbers, and numbers after them in a list, are line
// numbers: a line number ends at a point, so only whole numbers follow.
bool TakesLineNumbers(std::string_view keyword) {
    for (std::string_view k : {"GOTO", "GOSUB", "THEN", "ELSE", "RESTORE", "RUN", "LIST", "LLIST", "DELETE", "RENUM",
                               "RESUME", "AUTO"}) {
        if (keyword == k) return true;
    }
    return false;
}

std::string Piece(Choices& c, bool& lineNumbers) {
    const uint8_t kind = c.Next();
    std::string piece;
    switch (kind % 6) {
    case 0: case 1: {
        const uint8_t code = static_cast<uint8_t>(0x80 + c.Next() % 0x7F);
        const std::string_view name = kind % 6 == 0 ? vk::StatementText(code) : vk::FunctionText(code);
        piece = name.empty() ? "PRINT" : name;
        lineNumbers = TakesLineNumbers(piece);
        return piece;
    }
    case 2: piece = std::string(1, static_cast<char>('A' + c.Next() % 26)) + "$%!# "[c.Next() % 5]; break;
    case 3:
        if (lineNumbers) return std::to_string((c.Next() | (c.Next() << 8)) % 65530);
        return NumberPiece(c);
    case 4:
        piece = std::string(1, "+-*/^\\=<>(),;"[c.Next() % 13]);
        if (piece == ",") return piece;
        break;
    default: piece = "\"" + std::string(1, static_cast<char>(0x20 + c.Next() % 0x5F)) + "\""; break;
    }
    lineNumbers = false;
    return piece;
}

void CheckBuiltListing(const uint8_t* data, size_t size) {
    using namespace vk;
    Choices c{data, size};
    std::string text;
    for (unsigned line = 1; c.Left() && line < 64; ++line) {
        text += std::to_string(line * 10);
        bool lineNumbers = false;
        for (int k = 0; k < 6 && c.Left(); ++k) text += " " + Piece(c, lineNumbers);
        text += "\r\n";
    }
    const TokenizedProgram first = TokenizeBasicProgram(text);
    if (first.fault) return;  // a piece that cannot stand where it fell (a quote in a name, say)
    const BasicListing again = ListBasicProgram(first.bytes.data(), first.bytes.size());
    if (again.stop) std::abort();
    const TokenizedProgram second = TokenizeBasicProgram(AsciiSaveText(again));
    if (second.fault || second.bytes != first.bytes) {
        std::fprintf(stderr, "built listing:\n%s\n", text.c_str());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vk;
    const BasicListing listed = ListBasicProgram(data, size);
    const std::string saved = AsciiSaveText(listed);
    if (saved.empty() || saved.back() != '\x1A') std::abort();

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TokenizedProgram tokenized = TokenizeBasicProgram(text);
    if (tokenized.fault && !tokenized.bytes.empty()) std::abort();
    (void)Utf8ToMsx(MsxToUtf8(text));

    CheckBuiltListing(data, size);
    return 0;
}
