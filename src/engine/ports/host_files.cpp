#include "engine/ports/host_files.h"

namespace vk {

HostFile& HostFile::operator=(HostFile&& other) noexcept {
    if (this != &other) {
        Close();
        native_ = other.native_;
        other.native_ = kNone;
    }
    return *this;
}

NewHostFile::~NewHostFile() { DiscardNewHostFile(*this); }

void HostFile::Close() {
    if (native_ != kNone) {
        CloseHostFileNative(native_);
        native_ = kNone;
    }
}

}  // namespace vk
