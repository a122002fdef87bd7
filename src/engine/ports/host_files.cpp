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

std::string HostFolderOf(std::string_view path) {
    const std::string::size_type cut = path.find_last_of(std::string("/") + HostPathSeparator());
    if (cut == std::string_view::npos) return ".";
    // The root keeps its separator: "/", "C:\\".
    const bool root = cut == 0 || path[cut - 1] == ':';
    return std::string(path.substr(0, root ? cut + 1 : cut));
}

}  // namespace vk
