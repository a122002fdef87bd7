// MSX-BASIC programs: known bytes written out by hand from the token and
// number formats, listed as LIST prints them and tokenized back.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/basic/basic_program.h"
#include "engine/basic/file_view.h"
#include "engine/basic/msx_charset.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

using Bytes = std::vector<uint8_t>;

// A program of line 10 alone, holding `tokens`.
Bytes LineTen(const Bytes& tokens) {
    const uint32_t next = kBasicLoadAddress + kBasicLineHeader + static_cast<uint32_t>(tokens.size()) + 1;
    Bytes file{kBasicFileMark, static_cast<uint8_t>(next & 0xFF), static_cast<uint8_t>(next >> 8), 10, 0};
    file.insert(file.end(), tokens.begin(), tokens.end());
    file.insert(file.end(), {0, 0, 0});
    return file;
}

struct KnownLine {
    const char* typed;
    Bytes tokens;
    const char* listed;  // what LIST prints, when not what was typed
};

const KnownLine kKnownLines[] = {
    {"PRINT \"Hi\":GOTO 10", {0x91, 0x20, 0x22, 0x48, 0x69, 0x22, 0x3A, 0x89, 0x20, 0x0E, 0x0A, 0x00}, nullptr},
    {"a=1.5", {0x41, 0xEF, 0x1D, 0x41, 0x15, 0x00, 0x00}, "A=1.5"},
    {"B=-.001", {0x42, 0xEF, 0xF2, 0x1D, 0x3E, 0x10, 0x00, 0x00}, nullptr},
    {"B=-0.001", {0x42, 0xEF, 0xF2, 0x1D, 0x3E, 0x10, 0x00, 0x00}, "B=-.001"},
    {"C=1E+20", {0x43, 0xEF, 0x1D, 0x55, 0x10, 0x00, 0x00}, nullptr},
    {"D=65535", {0x44, 0xEF, 0x1D, 0x45, 0x65, 0x53, 0x50}, "D=65535!"},
    {"N=7+12+300", {0x4E, 0xEF, 0x18, 0xF1, 0x0F, 0x0C, 0xF1, 0x1C, 0x2C, 0x01}, nullptr},
    {"E=&HFF+&o17", {0x45, 0xEF, 0x0C, 0xFF, 0x00, 0xF1, 0x0B, 0x0F, 0x00}, "E=&HFF+&O17"},
    {"G=&B101", {0x47, 0xEF, 0x26, 0x42, 0x31, 0x30, 0x31}, nullptr},
    {"X=3.14159265358979#", {0x58, 0xEF, 0x1F, 0x41, 0x31, 0x41, 0x59, 0x26, 0x53, 0x58, 0x98}, "X=3.1415926535898"},
    {"Y=1.5#", {0x59, 0xEF, 0x1F, 0x41, 0x15, 0, 0, 0, 0, 0, 0}, nullptr},
    {"Z=1D-20", {0x5A, 0xEF, 0x1F, 0x2D, 0x10, 0, 0, 0, 0, 0, 0}, nullptr},
    {"IF A THEN 10 ELSE 20",
     {0x8B, 0x20, 0x41, 0x20, 0xDA, 0x20, 0x0E, 0x0A, 0x00, 0x20, 0x3A, 0xA1, 0x20, 0x0E, 0x14, 0x00}, nullptr},
    {"ON I GOSUB 10, 20", {0x95, 0x20, 0x49, 0x20, 0x8D, 0x20, 0x0E, 0x0A, 0x00, 0x2C, 0x20, 0x0E, 0x14, 0x00}, nullptr},
    {"PRINT LEFT$(A$,2)'x:y", {0x91, 0x20, 0xFF, 0x81, 0x28, 0x41, 0x24, 0x2C, 0x13, 0x29, 0x3A, 0x8F, 0xE6, 0x78, 0x3A, 0x79},
     nullptr},
    {"DATA abc,1:REM go 10", {0x84, 0x20, 0x61, 0x62, 0x63, 0x2C, 0x31, 0x3A, 0x8F, 0x20, 0x67, 0x6F, 0x20, 0x31, 0x30},
     nullptr},
    {"?A1", {0x91, 0x41, 0x31}, "PRINTA1"},
    {"D=1.5E3#", {0x44, 0xEF, 0x1F, 0x44, 0x15, 0, 0, 0, 0, 0, 0}, "D=1500#"},
    {"T=1E-70", {0x54, 0xEF, 0x1D, 0, 0, 0, 0}, "T=0!"},
};

TEST(BasicProgram, KnownLinesTokenizeAndListAsMsxBasicDoes) {
    for (const KnownLine& k : kKnownLines) {
        SCOPED_TRACE(k.typed);
        const Bytes file = LineTen(k.tokens);
        const TokenizedProgram typed = TokenizeBasicProgram(std::string("10 ") + k.typed + "\r\n");
        EXPECT_EQ(file, typed.bytes);
        const BasicListing listing = ListBasicProgram(file.data(), file.size());
        EXPECT_FALSE(listing.stop.has_value());
        const std::string listed = std::string("10 ") + (k.listed ? k.listed : k.typed);
        EXPECT_EQ(std::vector<std::string>{listed}, listing.lines);
        EXPECT_EQ(file, TokenizeBasicProgram(listed).bytes) << "the listing reads back as the same bytes";
    }
}

// Programs made of random pieces of every kind: tokenizing a listing gives
// the bytes it was listed from.
TEST(BasicProgram, EveryListingTokenizesBackToItsBytes) {
    const char* const pieces[] = {"PRINT", "GOTO 100", "GOSUB 20,30", "A", "B$", "=", "+", "-", "*", "/", "^", "\\",
                                  "(", ")", ",", ";", " ", "AND", "MOD", "LEFT$(", "CHR$(", "\"s t\"", "&H1F",
                                  "&O7", "&B11", "1.25", ".5", "123456", "7E+30", "2.5D-9", "1234567", "40000",
                                  "9", "99", "999", "12.5#", "FOR I=1 TO 9 STEP 2", "NEXT", "ELSE 10", "INKEY$"};
    std::mt19937 random(1234);
    for (int program = 0; program < 200; ++program) {
        std::string text;
        for (int line = 1; line <= 5; ++line) {
            text += std::to_string(line * 10) + " ";
            // Pieces apart: LIST prints number tokens side by side as one
            // number, as MSX-BASIC's own LIST does.
            for (int k = 0; k < 8; ++k) text += std::string(pieces[random() % (sizeof pieces / sizeof *pieces)]) + " ";
            if (random() % 4 == 0) text += ":REM done";
            text += "\r\n";
        }
        const TokenizedProgram first = TokenizeBasicProgram(text);
        ASSERT_FALSE(first.fault.has_value()) << text;
        const BasicListing listing = ListBasicProgram(first.bytes.data(), first.bytes.size());
        ASSERT_FALSE(listing.stop.has_value()) << text;
        EXPECT_EQ(first.bytes, TokenizeBasicProgram(AsciiSaveText(listing)).bytes) << text;
    }
}

TEST(BasicProgram, DamagedProgramsListUpToTheFault) {
    const Bytes two = TokenizeBasicProgram("10 PRINT 1\r\n20 PRINT 2\r\n").bytes;
    struct Case {
        const char* what;
        Bytes bytes;
        unsigned note;
        size_t lines;
    };
    Bytes truncated(two.begin(), two.end() - 5);
    Bytes brokenLink = two;
    brokenLink[9] ^= 0x40;  // line 20 leads into the middle of nowhere
    Bytes unknown = two;
    unknown[unknown.size() - 4] = 0x1E;  // line 20's number 2 replaced by a code no number has
    const Case cases[] = {{"truncated", truncated, kMsgBasicTruncated, 1},
                          {"broken link", brokenLink, kMsgBasicBrokenLink, 1},
                          {"unknown token", unknown, kMsgBasicUnknownToken, 1},
                          {"no program", Bytes{'1', '0'}, kMsgBasicNotAProgram, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const BasicListing listing = ListBasicProgram(c.bytes.data(), c.bytes.size());
        ASSERT_TRUE(listing.stop.has_value());
        EXPECT_EQ(c.note, listing.stop->id);
        EXPECT_EQ(c.lines, listing.lines.size());
    }
}

TEST(BasicProgram, ListingsMsxBasicWouldRefuseStoreNothing) {
    std::string tooLong;
    for (int line = 1; line <= 2000; ++line) tooLong += std::to_string(line) + " PRINT \"a line of thirty bytes\"\r\n";
    const struct {
        const char* what;
        std::string text;
        unsigned note;
    } cases[] = {{"lines out of order", "20 END\r\n10 END\r\n", kMsgBasicBadLineNumber},
                 {"a number past the exponent's range", "10 A=1E+63\r\n", kMsgBasicOverflow},
                 {"a number token's byte outside quotes", "10 A=\x0E\r\n", kMsgBasicUnstorable},
                 {"a keyword's byte outside quotes", "10 A=\x91\r\n", kMsgBasicUnstorable},
                 {"a zero byte in a string", std::string("10 A$=\"a\0b\"\r\n", 14), kMsgBasicUnstorable},
                 {"past the top of the memory", tooLong, kMsgBasicTooLong}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TokenizedProgram program = TokenizeBasicProgram(c.text);
        ASSERT_TRUE(program.fault.has_value());
        EXPECT_EQ(c.note, program.fault->id);
        EXPECT_TRUE(program.bytes.empty());
    }
    EXPECT_FALSE(TokenizeBasicProgram("10 A$=\"\x91\x0E\"\r\n").fault.has_value()) << "any byte but 00h in quotes";
}

TEST(FileView, EachKindShowsAsAViewerShowsIt) {
    const Bytes program = TokenizeBasicProgram("10 PRINT \"\x82\"\r\n").bytes;
    const std::string text = "ONE\nTWO\rTHREE\r\n\x82\x1AJUNK";
    const Bytes binary{0x00, 0x41, 0x82, 0xFF, 0x7F, 0x20, 0x31, 0x0D, 0x0A, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    const struct {
        const char* what;
        Bytes bytes;
        FileKind kind;
        const char* shown;
    } cases[] = {
        {"program", program, FileKind::kTokenizedBasic, "10 PRINT \"\xC3\xA9\"\r\n"},
        {"text", Bytes(text.begin(), text.end()), FileKind::kText, "ONE\r\nTWO\r\nTHREE\r\n\xC3\xA9"},
        {"binary", binary, FileKind::kBinary,
         "000000  00 41 82 FF 7F 20 31 0D 0A 01 02 03 04 05 06 07  .A\xC3\xA9.. 1.........\r\n"
         "000010  08                                               .\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FileView view = ViewOfFile(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(c.kind, view.kind);
        EXPECT_EQ(c.shown, view.text);
        EXPECT_FALSE(view.stop.has_value());
    }
}

TEST(MsxCharset, InternationalCharactersRoundTripThroughUtf8) {
    std::string all;
    for (int c = 0x20; c <= 0xFE; ++c) all += static_cast<char>(c);
    const std::string utf8 = MsxToUtf8(all);
    EXPECT_NE(std::string::npos, utf8.find("Ç")) << "80h is C with cedilla";
    EXPECT_EQ(all, Utf8ToMsx(utf8));
    EXPECT_EQ("\x01\x41", Utf8ToMsx(MsxToUtf8("\x01\x41"))) << "a graphic character keeps its prefix";
}

}  // namespace
}  // namespace vk
