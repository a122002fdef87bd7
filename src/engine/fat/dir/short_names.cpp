#include "engine/fat/dir/short_names.h"

#include <algorithm>

#include "engine/fat/dir/dir_entry.h"
#include "engine/ports/host_text.h"

namespace vk {
namespace {

constexpr uint8_t kBlank = 0x20;
constexpr char kExtensionDot = '.';

// The punctuation both strengths allow besides A-Z and 0-9.
bool IsAllowedPunctuation(uint8_t c) {
    switch (c) {
    case '!': case '#': case '$': case '%': case '\'': case '(': case ')':
    case '-': case '@': case '_': case '`': case '{': case '}': case '~':
        return true;
    default:
        return false;
    }
}

bool IsValidNameByte(uint8_t c, NameStrength strength) {
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || IsAllowedPunctuation(c)) {
        return true;
    }
    // 0xE5 would read as a deleted entry in byte 0.
    return c >= 0x80 && c != kEntryDeleted && strength != NameStrength::kStrict;
}

// Bytes no DOS opens in a short name, whatever the name strength: control
// bytes and the separators and wildcards of its command line.
bool IsForbiddenNameByte(uint8_t c) {
    if (c < 0x20 || c == 0x7F) {
        return true;
    }
    switch (c) {
    case '"': case '*': case '+': case ',': case '/': case ':': case ';': case '<':
    case '=': case '>': case '?': case '[': case '\\': case ']': case '|':
        return true;
    default:
        return false;
    }
}

constexpr char kReplacement = '_';

// Forbidden bytes become '_'; dots leave the base, whose leading blanks would
// read as an empty name, so they become '_' as well, and so does an empty base.
std::string CleanBase(const std::string& base) {
    std::string out;
    bool leading = true;
    for (char c : base) {
        if (c == kExtensionDot) {
            continue;
        }
        leading = leading && c == ' ';
        out += IsForbiddenNameByte(static_cast<uint8_t>(c)) || leading ? kReplacement : c;
    }
    return out.empty() ? std::string(1, kReplacement) : out;
}

std::string CleanExtension(std::string ext) {
    for (char& c : ext) {
        if (IsForbiddenNameByte(static_cast<uint8_t>(c))) {
            c = kReplacement;
        }
    }
    return ext;
}

// The length of the UTF-8 sequence `lead` begins (0 for no lead byte), and
// whether `text` is UTF-8 with at least one character above 0x7F.
size_t Utf8SequenceLength(uint8_t lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

bool IsMultiByteUtf8(std::string_view text) {
    bool multi = false;
    for (size_t i = 0; i < text.size();) {
        const size_t n = Utf8SequenceLength(static_cast<uint8_t>(text[i]));
        if (n == 0 || i + n > text.size()) return false;
        for (size_t k = 1; k < n; ++k) {
            if ((static_cast<uint8_t>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        multi = multi || n > 1;
        i += n;
    }
    return multi;
}

}  // namespace

size_t CutWithoutSplitting(std::string_view text, size_t limit) {
    if (text.size() <= limit || !IsMultiByteUtf8(text)) {
        return std::min(text.size(), limit);
    }
    size_t cut = limit;
    while (cut > 0 && (static_cast<uint8_t>(text[cut]) & 0xC0) == 0x80) {
        --cut;  // back to the start of the character the limit falls into
    }
    return cut;
}

std::string MakeShortName(const HostFindData& found) {
    if (!found.shortName.empty()) {
        return found.shortName;
    }
    std::string name = found.longName;
    HostUpperCase(name);
    // The extension follows the last dot, as every DOS reads it.
    const size_t dot = name.rfind(kExtensionDot);
    const std::string base = CleanBase(name.substr(0, dot));
    const std::string ext = dot == std::string::npos ? std::string() : CleanExtension(name.substr(dot + 1));
    // Names are cut to 8.3; what the strength dislikes but DOS opens is kept.
    std::string result = base.substr(0, CutWithoutSplitting(base, kDirNameLength));
    const std::string keptExt = ext.substr(0, CutWithoutSplitting(ext, kDirExtLength));
    if (!keptExt.empty()) {
        result += kExtensionDot;
        result += keptExt;
    }
    return result;
}

PackedName PackShortName(std::string_view displayName) {
    PackedName packed;
    packed.fill(kBlank);
    const size_t dot = displayName.find(kExtensionDot);
    const std::string_view base = displayName.substr(0, dot);
    std::copy_n(base.begin(), std::min<size_t>(base.size(), kDirNameLength), packed.begin() + kDirName);
    if (dot != std::string_view::npos) {
        const std::string_view ext = displayName.substr(dot + 1);
        std::copy_n(ext.begin(), std::min<size_t>(ext.size(), kDirExtLength), packed.begin() + kDirExt);
    }
    packed[0] = StoredFirstByte(packed[0]);
    return packed;
}

bool IsValidNamePart(std::string_view part, NameStrength strength) {
    return std::all_of(part.begin(), part.end(),
                       [strength](char c) { return IsValidNameByte(static_cast<uint8_t>(c), strength); });
}

}  // namespace vk
