#include "engine/strings/strings.h"

#include <algorithm>
#include <array>
#include <vector>

namespace vk {
namespace {

struct Entry {
    unsigned id;
    const char* text;
};

constexpr Entry kTable[] = {
#define VK_STRING(id, text) {id, text},
#include "engine/strings/strings.inc"
#undef VK_STRING
};

// LoadText looks ids up by halving the table, so strings.inc must list them in
// ascending order; a text added out of place fails here rather than going missing.
constexpr bool IdsAscend() {
    for (size_t i = 1; i < std::size(kTable); ++i) {
        if (kTable[i - 1].id >= kTable[i].id) return false;
    }
    return true;
}
static_assert(IdsAscend(), "strings.inc must list its ids in ascending order");

}  // namespace

std::string_view LoadText(unsigned id) {
    auto it = std::lower_bound(std::begin(kTable), std::end(kTable), id,
                               [](const Entry& e, unsigned key) { return e.id < key; });
    if (it == std::end(kTable) || it->id != id) {
        return {};
    }
    return it->text;
}

namespace {

bool Expand(std::string_view text, const std::vector<std::string_view>& args, std::string& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '%' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        char next = text[i + 1];
        if (next >= '1' && next <= '9') {
            size_t number = static_cast<size_t>(next - '0');
            ++i;
            if (i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9') {
                number = number * 10 + static_cast<size_t>(text[i + 1] - '0');
                ++i;
            }
            // A printf-style format "!...!" after the number: our inserts are texts.
            if (i + 1 < text.size() && text[i + 1] == '!') {
                size_t end = text.find('!', i + 2);
                if (end != std::string_view::npos) {
                    i = end;
                }
            }
            if (number > args.size()) {
                out.clear();
                return false;
            }
            out += args[number - 1];
        } else if (next == 'n') {
            out += "\r\n";
            ++i;
        } else if (next == '%' || next == '.' || next == '!' || next == ' ') {
            out += next;
            ++i;
        } else if (next == '0') {
            return true;
        } else {
            out += c;
        }
    }
    return true;
}

}  // namespace

bool ExpandInserts(std::string_view text, std::initializer_list<std::string_view> inserts, std::string& out) {
    return Expand(text, std::vector<std::string_view>(inserts), out);
}

bool ExpandInserts(std::string_view text, const std::vector<std::string>& inserts, std::string& out) {
    return Expand(text, std::vector<std::string_view>(inserts.begin(), inserts.end()), out);
}

}  // namespace vk
