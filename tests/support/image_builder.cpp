#include "tests/support/image_builder.h"

#include <cstring>

#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "engine/core/new_image.h"
#include "tests/support/scripted_prompts.h"

namespace vk::test {

Bytes MakeImage(uint32_t code, unsigned boot) {
    ImageDocument doc;
    if (!CreateEmptyImage(doc, code, boot).Done()) {
        return {};
    }
    return Bytes(doc.imageBuffer.data(), doc.imageBuffer.data() + doc.imageSize);
}

Bytes CommentHeader(const std::string& comment, uint16_t compression, char kind) {
    constexpr size_t kTextAt = 40;
    // Sized once, the text's terminating zero included.
    Bytes header(kTextAt + comment.size() + 1, 0);
    header[0] = 0xAA;
    header[1] = static_cast<uint8_t>(kind);
    Store16(header.data() + 6, compression);
    std::memcpy(header.data() + kTextAt, comment.data(), comment.size());
    return header;
}

void Put16(Bytes& image, size_t offset, uint16_t value) { Store16(image.data() + offset, value); }

}  // namespace vk::test
