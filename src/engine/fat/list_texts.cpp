#include "fat/list_texts.h"

#include <climits>

#include "core/document.h"
#include "fat/dir_entry.h"
#include "fat/root_directory.h"
#include "ports/window_sync.h"

namespace vk {

bool AddListItem(const ImageDocument& doc, uint32_t entryOffset, int position) {
    bool ok = InsertListItem(doc, entryOffset, position);
    UpdateStatusText();
    return ok;
}

void FillList(const ImageDocument& doc) {
    const Layout layout = doc.GetLayout();
    const uint8_t* area = doc.Area();
    for (uint32_t i = 0;; ++i) {
        const uint32_t offset = RootEntryOffset(layout, doc.AreaLength(), i);
        if (offset == 0) {
            break;
        }
        const uint8_t* e = area + offset;
        if (e[kDirName] == kEntryNeverUsed) {
            break;
        }
        if (e[kDirName] == kEntryDeleted || (e[kDirAttr] & kAttrVolume)) {
            continue;
        }
        AddListItem(doc, offset, INT_MAX);
    }
}

}  // namespace vk
