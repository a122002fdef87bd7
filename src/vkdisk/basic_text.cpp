#include "vkdisk/basic_text.h"

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

}  // namespace vk::cli
