// MSX-BASIC programs as text on the host: the conversions vkdisk list, get
// --basic-text and add --tokenize make.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/basic/basic_program.h"

namespace vk::cli {

// How a file's bytes leave the image.
enum class TextForm { kAsItIs, kMsxListing, kUtf8Listing };

// `bytes` in `form`: a tokenized program as its listing (MSX characters with
// CR LF and a final ^Z, or UTF-8 with the host's line ends); anything else as
// it is. `stop` gets the note of a listing that stopped early.
std::vector<uint8_t> ConvertedBytes(const std::vector<uint8_t>& bytes, TextForm form, std::optional<Notice>& stop);

// A host file's bytes as add --tokenize stores them: a listing, in MSX
// characters or in UTF-8 (told apart by its bytes; a byte-order mark is
// dropped), as SAVE "NAME" stores the program; anything else as it is, and
// `tokenized` false. A listing that cannot be stored gives its `fault`.
std::vector<uint8_t> TokenizedBytes(const std::vector<uint8_t>& bytes, bool& tokenized, std::optional<Notice>& fault);

// The tokenized copies of one add --tokenize command, in a folder of their
// own under the host's temporary folder, removed with this object. Each
// copy keeps its file's name and time, so that it goes in as the file would.
class TokenizedCopies {
public:
    TokenizedCopies() = default;
    TokenizedCopies(const TokenizedCopies&) = delete;
    TokenizedCopies& operator=(const TokenizedCopies&) = delete;
    ~TokenizedCopies();

    // Points `path` at a tokenized copy when it names a listing; leaves it
    // when it names anything else. False, with `fault` set for a listing
    // that cannot be tokenized, when the copy cannot be made.
    bool Substitute(std::string& path, std::optional<Notice>& fault);

private:
    std::filesystem::path folder_;
    unsigned count_ = 0;
};

}  // namespace vk::cli
