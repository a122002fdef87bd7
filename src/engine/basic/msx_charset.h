// The MSX character set and Unicode: what a listing or a text file of an
// MSX disk shows on a host, and back.
#pragma once

#include <string>
#include <string_view>

namespace vk {

enum class MsxCharset { kInternational, kJapanese };

// MSX characters as UTF-8. Bytes below 80h are ASCII, but for 01h, which
// with the byte after it (41h-5Fh) names one of the graphic characters.
// Of the Japanese set's 80h-FFh only the katakana (A1h-DFh, as JIS X 0201
// has them) are mapped; any other code of it becomes U+FFFD.
std::string MsxToUtf8(std::string_view msx, MsxCharset set = MsxCharset::kInternational);

// UTF-8 text in MSX characters; a character the set lacks becomes '?'.
std::string Utf8ToMsx(std::string_view utf8, MsxCharset set = MsxCharset::kInternational);

}  // namespace vk
