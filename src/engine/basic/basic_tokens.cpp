#include "engine/basic/basic_tokens.h"

#include <cctype>
#include <iterator>

namespace vk {
namespace {

// The table of keywords, as data: statements and operators by their byte,
// functions by the byte after FFh.
constexpr BasicKeyword kKeywords[] = {
    {false, 0x81, "END"},     {false, 0x82, "FOR"},    {false, 0x83, "NEXT"},    {false, 0x84, "DATA"},
    {false, 0x85, "INPUT"},   {false, 0x86, "DIM"},    {false, 0x87, "READ"},    {false, 0x88, "LET"},
    {false, 0x89, "GOTO"},    {false, 0x8A, "RUN"},    {false, 0x8B, "IF"},      {false, 0x8C, "RESTORE"},
    {false, 0x8D, "GOSUB"},   {false, 0x8E, "RETURN"}, {false, 0x8F, "REM"},     {false, 0x90, "STOP"},
    {false, 0x91, "PRINT"},   {false, 0x92, "CLEAR"},  {false, 0x93, "LIST"},    {false, 0x94, "NEW"},
    {false, 0x95, "ON"},      {false, 0x96, "WAIT"},   {false, 0x97, "DEF"},     {false, 0x98, "POKE"},
    {false, 0x99, "CONT"},    {false, 0x9A, "CSAVE"},  {false, 0x9B, "CLOAD"},   {false, 0x9C, "OUT"},
    {false, 0x9D, "LPRINT"},  {false, 0x9E, "LLIST"},  {false, 0x9F, "CLS"},     {false, 0xA0, "WIDTH"},
    {false, 0xA1, "ELSE"},    {false, 0xA2, "TRON"},   {false, 0xA3, "TROFF"},   {false, 0xA4, "SWAP"},
    {false, 0xA5, "ERASE"},   {false, 0xA6, "ERROR"},  {false, 0xA7, "RESUME"},  {false, 0xA8, "DELETE"},
    {false, 0xA9, "AUTO"},    {false, 0xAA, "RENUM"},  {false, 0xAB, "DEFSTR"},  {false, 0xAC, "DEFINT"},
    {false, 0xAD, "DEFSNG"},  {false, 0xAE, "DEFDBL"}, {false, 0xAF, "LINE"},    {false, 0xB0, "OPEN"},
    {false, 0xB1, "FIELD"},   {false, 0xB2, "GET"},    {false, 0xB3, "PUT"},     {false, 0xB4, "CLOSE"},
    {false, 0xB5, "LOAD"},    {false, 0xB6, "MERGE"},  {false, 0xB7, "FILES"},   {false, 0xB8, "LSET"},
    {false, 0xB9, "RSET"},    {false, 0xBA, "SAVE"},   {false, 0xBB, "LFILES"},  {false, 0xBC, "CIRCLE"},
    {false, 0xBD, "COLOR"},   {false, 0xBE, "DRAW"},   {false, 0xBF, "PAINT"},   {false, 0xC0, "BEEP"},
    {false, 0xC1, "PLAY"},    {false, 0xC2, "PSET"},   {false, 0xC3, "PRESET"},  {false, 0xC4, "SOUND"},
    {false, 0xC5, "SCREEN"},  {false, 0xC6, "VPOKE"},  {false, 0xC7, "SPRITE"},  {false, 0xC8, "VDP"},
    {false, 0xC9, "BASE"},    {false, 0xCA, "CALL"},   {false, 0xCB, "TIME"},    {false, 0xCC, "KEY"},
    {false, 0xCD, "MAX"},     {false, 0xCE, "MOTOR"},  {false, 0xCF, "BLOAD"},   {false, 0xD0, "BSAVE"},
    {false, 0xD1, "DSKO$"},   {false, 0xD2, "SET"},    {false, 0xD3, "NAME"},    {false, 0xD4, "KILL"},
    {false, 0xD5, "IPL"},     {false, 0xD6, "COPY"},   {false, 0xD7, "CMD"},     {false, 0xD8, "LOCATE"},
    {false, 0xD9, "TO"},      {false, 0xDA, "THEN"},   {false, 0xDB, "TAB("},    {false, 0xDC, "STEP"},
    {false, 0xDD, "USR"},     {false, 0xDE, "FN"},     {false, 0xDF, "SPC("},    {false, 0xE0, "NOT"},
    {false, 0xE1, "ERL"},     {false, 0xE2, "ERR"},    {false, 0xE3, "STRING$"}, {false, 0xE4, "USING"},
    {false, 0xE5, "INSTR"},   {false, 0xE6, "'"},      {false, 0xE7, "VARPTR"},  {false, 0xE8, "CSRLIN"},
    {false, 0xE9, "ATTR$"},   {false, 0xEA, "DSKI$"},  {false, 0xEB, "OFF"},     {false, 0xEC, "INKEY$"},
    {false, 0xED, "POINT"},   {false, 0xEE, ">"},      {false, 0xEF, "="},       {false, 0xF0, "<"},
    {false, 0xF1, "+"},       {false, 0xF2, "-"},      {false, 0xF3, "*"},       {false, 0xF4, "/"},
    {false, 0xF5, "^"},       {false, 0xF6, "AND"},    {false, 0xF7, "OR"},      {false, 0xF8, "XOR"},
    {false, 0xF9, "EQV"},     {false, 0xFA, "IMP"},    {false, 0xFB, "MOD"},     {false, 0xFC, "\\"},
    {true, 0x81, "LEFT$"},    {true, 0x82, "RIGHT$"},  {true, 0x83, "MID$"},     {true, 0x84, "SGN"},
    {true, 0x85, "INT"},      {true, 0x86, "ABS"},     {true, 0x87, "SQR"},      {true, 0x88, "RND"},
    {true, 0x89, "SIN"},      {true, 0x8A, "LOG"},     {true, 0x8B, "EXP"},      {true, 0x8C, "COS"},
    {true, 0x8D, "TAN"},      {true, 0x8E, "ATN"},     {true, 0x8F, "FRE"},      {true, 0x90, "INP"},
    {true, 0x91, "POS"},      {true, 0x92, "LEN"},     {true, 0x93, "STR$"},     {true, 0x94, "VAL"},
    {true, 0x95, "ASC"},      {true, 0x96, "CHR$"},    {true, 0x97, "PEEK"},     {true, 0x98, "VPEEK"},
    {true, 0x99, "SPACE$"},   {true, 0x9A, "OCT$"},    {true, 0x9B, "HEX$"},     {true, 0x9C, "LPOS"},
    {true, 0x9D, "BIN$"},     {true, 0x9E, "CINT"},    {true, 0x9F, "CSNG"},     {true, 0xA0, "CDBL"},
    {true, 0xA1, "FIX"},      {true, 0xA2, "STICK"},   {true, 0xA3, "STRIG"},    {true, 0xA4, "PDL"},
    {true, 0xA5, "PAD"},      {true, 0xA6, "DSKF"},    {true, 0xA7, "FPOS"},     {true, 0xA8, "CVI"},
    {true, 0xA9, "CVS"},      {true, 0xAA, "CVD"},     {true, 0xAB, "EOF"},      {true, 0xAC, "LOC"},
    {true, 0xAD, "LOF"},      {true, 0xAE, "MKI$"},    {true, 0xAF, "MKS$"},     {true, 0xB0, "MKD$"},
};

std::string_view TextOf(bool function, uint8_t code) {
    for (const BasicKeyword& k : kKeywords) {
        if (k.function == function && k.code == code) return k.text;
    }
    return {};
}

}  // namespace

std::string_view StatementText(uint8_t code) { return TextOf(false, code); }
std::string_view FunctionText(uint8_t code) { return TextOf(true, code); }

const BasicKeyword* MatchKeyword(std::string_view text) {
    const BasicKeyword* best = nullptr;
    for (const BasicKeyword& k : kKeywords) {
        if (!std::isalpha(static_cast<unsigned char>(k.text[0])) || k.text.size() > text.size()) continue;
        if (best != nullptr && best->text.size() >= k.text.size()) continue;
        bool same = true;
        for (size_t i = 0; i < k.text.size() && same; ++i) {
            same = std::toupper(static_cast<unsigned char>(text[i])) == static_cast<unsigned char>(k.text[i]);
        }
        if (same) best = &k;
    }
    return best;
}

uint8_t OperatorToken(char c) {
    switch (c) {
    case '>': return 0xEE;
    case '=': return 0xEF;
    case '<': return 0xF0;
    case '+': return 0xF1;
    case '-': return 0xF2;
    case '*': return 0xF3;
    case '/': return 0xF4;
    case '^': return 0xF5;
    case '\\': return kTokenBackslash;
    default: return 0;
    }
}

}  // namespace vk
