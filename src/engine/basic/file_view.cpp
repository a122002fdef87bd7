#include "engine/basic/file_view.h"

#include <cstdio>
#include <string_view>

namespace vk {
namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kEndOfText = 0x1A;

// Text with its line ends, whatever they were, as CR LF; it ends at ^Z.
std::string TextLines(const uint8_t* data, size_t size, MsxCharset set) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    bytes = bytes.substr(0, bytes.find(kEndOfText));
    std::string lines;
    lines.reserve(bytes.size() + bytes.size() / 32);
    for (size_t i = 0; i < bytes.size();) {
        const size_t end = bytes.find_first_of("\r\n", i);
        lines += MsxToUtf8(bytes.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i), set);
        if (end == std::string_view::npos) break;
        lines += kLineEnd;
        i = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

std::string HexDump(const uint8_t* data, size_t size, MsxCharset set) {
    std::string dump;
    dump.reserve(size / kDumpBytesPerLine * 80 + 80);
    for (size_t line = 0; line < size; line += kDumpBytesPerLine) {
        char field[24];
        std::snprintf(field, sizeof field, "%06lX ", static_cast<unsigned long>(line));
        dump += field;
        std::string characters;
        for (size_t k = 0; k < kDumpBytesPerLine; ++k) {
            if (line + k < size) {
                const uint8_t b = data[line + k];
                std::snprintf(field, sizeof field, " %02X", b);
                dump += field;
                characters += b < 0x20 || b == 0x7F || b == 0xFF ? '.' : static_cast<char>(b);
            } else {
                dump += "   ";
            }
        }
        dump += "  " + MsxToUtf8(characters, set) + kLineEnd;
    }
    return dump;
}

}  // namespace

FileView ViewOfFile(const uint8_t* data, size_t size, MsxCharset set) {
    FileView view;
    view.kind = ClassifyFileBytes(data, size);
    switch (view.kind) {
    case FileKind::kTokenizedBasic: {
        BasicListing listing = ListBasicProgram(data, size);
        for (const std::string& line : listing.lines) view.text += MsxToUtf8(line, set) + kLineEnd;
        view.stop = std::move(listing.stop);
        break;
    }
    case FileKind::kText:
        view.text = TextLines(data, size, set);
        break;
    case FileKind::kBinary:
        view.text = HexDump(data, size, set);
        break;
    }
    return view;
}

}  // namespace vk
