// Tokenized MSX-BASIC programs as text: the listing LIST prints, and a
// listing tokenized back as SAVE "NAME" stores it. Pure functions over
// bytes; characters stay in the MSX character set (msx_charset.h maps them).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/notice.h"

namespace vk {

// A tokenized program file: this byte, then linked lines. Each line is the
// address of the next (2 bytes, 0 after the last), its number (2 bytes),
// its tokens and a 00h; the first line lies at kBasicLoadAddress.
constexpr uint8_t kBasicFileMark = 0xFF;
constexpr uint16_t kBasicLoadAddress = 0x8001;
constexpr size_t kBasicLineHeader = 4;

// What a file's bytes are, for a viewer or a conversion to choose by.
enum class FileKind { kTokenizedBasic, kText, kBinary };
FileKind ClassifyFileBytes(const uint8_t* data, size_t size);

struct BasicListing {
    std::vector<std::string> lines;  // "10 PRINT ..." in MSX characters, without line ends
    std::optional<Notice> stop;      // why the listing ends before the program's end mark
};

// The listing of the program in `data`, as LIST prints it. A truncated
// program, a link that leads elsewhere than the next line or a byte no
// keyword has ends it at the line before, with `stop` saying where; nothing
// past `size` is read.
BasicListing ListBasicProgram(const uint8_t* data, size_t size);

// The listing as MSX-BASIC's SAVE "NAME",A writes it: CR LF after each line
// and a final ^Z.
std::string AsciiSaveText(const BasicListing& listing);

struct TokenizedProgram {
    std::vector<uint8_t> bytes;  // the program file
    std::optional<Notice> fault; // a line with no number or one out of order: nothing is stored
};

// The listing `text` (lines ended by CR LF, LF or CR, a ^Z ends the text; in
// MSX characters) stored as SAVE "NAME" stores it: keywords in any case,
// letters outside strings, REM and DATA upper-cased, numbers in the form
// MSX-BASIC picks.
TokenizedProgram TokenizeBasicProgram(std::string_view text);

// True when `data` reads as a listing: a line number at the start of its
// first line that is not blank.
bool LooksLikeBasicListing(const uint8_t* data, size_t size);

}  // namespace vk
