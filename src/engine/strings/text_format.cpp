#include "engine/strings/text_format.h"

#include <vector>

#include "engine/common/bytes.h"

namespace vk {

bool FormatNumber(uint32_t value, std::string& out) {
    if (HostFormatNumber(value, out)) {
        return true;
    }
    out = std::to_string(value);
    return false;
}

std::string TrimField(const uint8_t* field, size_t length) {
    size_t end = length;
    while (end > 0 && field[end - 1] == ' ') {
        --end;
    }
    size_t textEnd = 0;
    while (textEnd < end && field[textEnd] != 0) {
        ++textEnd;
    }
    return std::string(reinterpret_cast<const char*>(field), textEnd);
}

std::string AsciiUpper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string_view PathTail(std::string_view path) {
    for (size_t i = path.size(); i > 1; --i) {
        if (path[i - 1] == '\\' || path[i - 1] == ':') {
            return path.substr(i);
        }
    }
    return path;
}

std::string FillConversions(std::string_view format, std::initializer_list<std::string_view> values) {
    const std::vector<std::string_view> args(values);
    size_t next = 0;
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            out += format[i];
            continue;
        }
        if (format[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // Flags, width and length letters up to the conversion letter.
        size_t j = i + 1;
        while (j < format.size() && std::string_view("-+ #0123456789.lhI").find(format[j]) != std::string_view::npos) {
            ++j;
        }
        if (j == format.size()) {
            out.append(format.substr(i));
            break;
        }
        if (next < args.size()) {
            out += args[next];
        }
        ++next;
        i = j;
    }
    return out;
}

}  // namespace vk
