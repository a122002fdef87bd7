#include "win32/ui/current_folder.h"

#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/list_texts.h"

namespace vk::win32 {

std::string CurrentFolder::Path() const {
    std::string path;
    for (const FolderStep& step : steps_) {
        path = JoinPath(path, step.name);
    }
    return path;
}

Result CurrentFolder::Enter(const ImageDocument& doc, uint32_t entryOffset) {
    const uint8_t* entry = doc.Area() + entryOffset;
    if (!IsShownFolder(entry)) {
        return Declined(false);
    }
    FolderStep step;
    step.name = EntryDisplayName(entry);
    step.entryOffset = entryOffset;
    // The path walk checks every folder on the way against those before it,
    // so a folder whose chain leads back into an ancestor is refused too.
    Result resolved = ResolveDirectory(VolumeOf(doc), JoinPath(Path(), step.name),
                                       step.dir);
    if (!resolved.Done()) {
        return resolved;
    }
    steps_.push_back(std::move(step));
    return Done();
}

uint32_t CurrentFolder::Leave() {
    if (steps_.empty()) {
        return 0;
    }
    const uint32_t left = steps_.back().entryOffset;
    steps_.pop_back();
    return left;
}

void CurrentFolder::Revisit(const ImageDocument& doc) {
    std::vector<FolderStep> way;
    way.swap(steps_);
    for (const FolderStep& step : way) {
        if (!Enter(doc, step.entryOffset).Done()) {
            break;
        }
    }
}

CurrentFolder& TheFolder() {
    static CurrentFolder folder;
    return folder;
}

}  // namespace vk::win32
