// What a viewer shows of a file's bytes: a tokenized MSX-BASIC program as its
// listing, text as text in the MSX character set, anything else as a hex
// dump. Pure functions; the text is UTF-8 with CR LF line ends, as an edit
// control wants it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/basic/basic_program.h"
#include "engine/basic/msx_charset.h"
#include "engine/common/notice.h"

namespace vk {

struct FileView {
    FileKind kind = FileKind::kBinary;
    std::string text;
    std::optional<Notice> stop;  // a listing that ends before the program does
};

// Bytes per line of the hex dump: "000010  41 42 ..  AB..", the offset, the
// bytes and the same bytes as characters, '.' for those that are none.
constexpr size_t kDumpBytesPerLine = 16;

FileView ViewOfFile(const uint8_t* data, size_t size, MsxCharset set = MsxCharset::kInternational);

}  // namespace vk
