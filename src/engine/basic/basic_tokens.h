// MSX-BASIC's keyword tokens: the one-byte statement and operator tokens
// (80h-FEh) and the functions stored as FFh followed by a second byte.
#pragma once

#include <cstdint>
#include <string_view>

namespace vk {

// The byte that says a function token follows.
constexpr uint8_t kBasicFunctionPrefix = 0xFF;

struct BasicKeyword {
    bool function;  // stored as kBasicFunctionPrefix, code
    uint8_t code;
    std::string_view text;  // as LIST prints it
};

// The text of a token; empty for a code no keyword has.
std::string_view StatementText(uint8_t code);
std::string_view FunctionText(uint8_t code);

// The longest keyword `text` starts with (letters compared without case),
// or nullptr. Operators and the apostrophe are not looked up here.
const BasicKeyword* MatchKeyword(std::string_view text);

// Statement tokens the tokenizer treats on their own.
constexpr uint8_t kTokenData = 0x84;
constexpr uint8_t kTokenGoto = 0x89;
constexpr uint8_t kTokenRun = 0x8A;
constexpr uint8_t kTokenRestore = 0x8C;
constexpr uint8_t kTokenGosub = 0x8D;
constexpr uint8_t kTokenRem = 0x8F;
constexpr uint8_t kTokenPrint = 0x91;
constexpr uint8_t kTokenList = 0x93;
constexpr uint8_t kTokenLlist = 0x9E;
constexpr uint8_t kTokenElse = 0xA1;
constexpr uint8_t kTokenResume = 0xA7;
constexpr uint8_t kTokenDelete = 0xA8;
constexpr uint8_t kTokenAuto = 0xA9;
constexpr uint8_t kTokenRenum = 0xAA;
constexpr uint8_t kTokenThen = 0xDA;
constexpr uint8_t kTokenApostrophe = 0xE6;
constexpr uint8_t kTokenGreater = 0xEE;  // first of the operators > = < + - * / ^
constexpr uint8_t kTokenMinus = 0xF2;
constexpr uint8_t kTokenPower = 0xF5;
constexpr uint8_t kTokenBackslash = 0xFC;

// The operator token of a character (> = < + - * / ^ \), or 0.
uint8_t OperatorToken(char c);

}  // namespace vk
