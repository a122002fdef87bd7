#include "vkdisk/basic_text.h"

#include <fstream>
#include <iterator>
#include <random>

#include "engine/basic/msx_charset.h"

namespace vk::cli {

#ifdef _WIN32
constexpr char kHostLineEnd[] = "\r\n";
#else
constexpr char kHostLineEnd[] = "\n";
#endif

std::vector<uint8_t> ConvertedBytes(const std::vector<uint8_t>& bytes, TextForm form, std::optional<Notice>& stop) {
    stop.reset();
    if (form == TextForm::kAsItIs || ClassifyFileBytes(bytes.data(), bytes.size()) != FileKind::kTokenizedBasic) {
        return bytes;
    }
    BasicListing listing = ListBasicProgram(bytes.data(), bytes.size());
    stop = std::move(listing.stop);
    std::string text;
    if (form == TextForm::kMsxListing) {
        text = AsciiSaveText(listing);
    } else {
        for (const std::string& line : listing.lines) text += MsxToUtf8(line) + kHostLineEnd;
    }
    return std::vector<uint8_t>(text.begin(), text.end());
}

namespace {

// True when `text` holds a character above 7Fh and every such character is
// well-formed UTF-8: a listing in MSX characters almost never is.
bool IsUtf8WithHighCharacters(std::string_view text) {
    bool high = false;
    for (size_t i = 0; i < text.size();) {
        const uint8_t lead = static_cast<uint8_t>(text[i]);
        const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x06 ? 2 : (lead >> 4) == 0x0E ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<uint8_t>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        high = high || length > 1;
        i += length;
    }
    return high;
}

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::vector<uint8_t> TokenizedBytes(const std::vector<uint8_t>& bytes, bool& tokenized, std::optional<Notice>& fault) {
    tokenized = false;
    fault.reset();
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const bool marked = text.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark;
    if (marked) text.remove_prefix(kUtf8ByteOrderMark.size());
    if (!LooksLikeBasicListing(reinterpret_cast<const uint8_t*>(text.data()), text.size())) return bytes;
    const std::string msx = marked || IsUtf8WithHighCharacters(text) ? Utf8ToMsx(text) : std::string(text);
    TokenizedProgram program = TokenizeBasicProgram(msx);
    if (program.fault) {
        fault = std::move(program.fault);
        return bytes;
    }
    tokenized = true;
    return std::move(program.bytes);
}

namespace {

// No MSX holds a program whose listing is longer: a bigger file is no listing.
constexpr std::uintmax_t kLongestListing = 1 << 20;

}  // namespace

TokenizedCopies::~TokenizedCopies() {
    std::error_code ec;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
}

bool TokenizedCopies::Substitute(std::string& path, std::optional<Notice>& fault) {
    fault.reset();
    std::error_code ec;
    const std::filesystem::path source(path);
    if (!std::filesystem::is_regular_file(source, ec) || std::filesystem::file_size(source, ec) > kLongestListing) {
        return true;  // folders, and what is missing or unreadable, are the add's to report
    }
    std::ifstream in(source, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return true;
    bool tokenized = false;
    const std::vector<uint8_t> program = TokenizedBytes(bytes, tokenized, fault);
    if (fault) return false;
    if (!tokenized) return true;
    if (folder_.empty()) {
        std::random_device random;
        const std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
        for (int attempt = 0; attempt < 16 && folder_.empty(); ++attempt) {
            const std::filesystem::path candidate = temp / ("vkdisk-tokenized-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate, ec)) folder_ = candidate;
        }
        if (folder_.empty()) return false;
    }
    // A folder for each copy: two listings of one name from two host folders.
    const std::filesystem::path own = folder_ / std::to_string(++count_);
    const std::filesystem::path copy = own / source.filename();
    std::filesystem::create_directory(own, ec);
    std::ofstream out(copy, std::ios::binary);
    out.write(reinterpret_cast<const char*>(program.data()), static_cast<std::streamsize>(program.size()));
    out.close();
    if (!out) return false;
    std::filesystem::last_write_time(copy, std::filesystem::last_write_time(source, ec), ec);
    if (ec) return false;
    path = copy.string();
    return true;
}

}  // namespace vk::cli
