// Small text services: numbers with the user's grouping, blank-padded fields,
// path tails and the conversions of string-table texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "engine/ports/host_text.h"

namespace vk {

// `value` with the user's digit grouping. On failure `out` holds the plain
// digits and the result is false.
bool FormatNumber(uint32_t value, std::string& out);

// A blank-padded field without its trailing blanks, and ending before its
// first zero byte.
std::string TrimField(const uint8_t* field, size_t length);

// `text` with a..z upper-cased and every other byte as it is: the case a
// DOS name compares in, whatever the host's locale.
std::string AsciiUpper(std::string text);

// The part of `path` after its last backslash or colon.
std::string_view PathTail(std::string_view path);

// Fills the printf conversions of a string-table text ("%s", "%lu", ...) in
// order with ready-made texts; "%%" gives "%". Conversions without a value
// stay empty.
std::string FillConversions(std::string_view format, std::initializer_list<std::string_view> values);

}  // namespace vk
