#include "engine/fat/list_texts.h"

#include <climits>

#include "engine/common/bytes.h"
#include "engine/common/text_format.h"
#include "engine/core/document.h"
#include "engine/fat/dir_entry.h"
#include "engine/fat/entry_time.h"
#include "engine/fat/root_directory.h"
#include "engine/ports/window_sync.h"

namespace vk {

bool AddListItem(const ImageDocument& doc, uint32_t entryOffset, int position) {
    bool ok = InsertListItem(doc, entryOffset, position);
    UpdateStatusText();
    return ok;
}

void FillList(const ImageDocument& doc) {
    const Layout layout = doc.GetLayout();
    const uint8_t* area = doc.Area();
    WalkRootEntries(layout, area, doc.AreaLength(), [&](uint32_t offset) {
        const uint8_t* e = area + offset;
        if (e[kDirName] != kEntryDeleted && !(e[kDirAttr] & kAttrVolume)) {
            AddListItem(doc, offset, INT_MAX);
        }
        return true;
    });
}

std::string EntryDisplayName(const uint8_t* entry) {
    std::string name = TrimField(entry + kDirName, kDirNameLength);
    if (!name.empty()) {
        name[0] = static_cast<char>(ShownFirstByte(static_cast<uint8_t>(name[0])));
    }
    const std::string ext = TrimField(entry + kDirExt, kDirExtLength);
    if (!ext.empty()) {
        name += '.';
        name += ext;
    }
    return name;
}

std::string AttributeText(uint8_t attr) {
    struct Letter {
        uint8_t bit;
        char letter;
    };
    static const Letter kOrder[] = {{kAttrReadOnly, 'R'}, {kAttrHidden, 'H'}, {kAttrArchive, 'A'},
                                    {kAttrSystem, 'S'},   {kAttrDirectory, 'D'}};
    std::string text;
    for (const Letter& l : kOrder) {
        text += (attr & l.bit) ? l.letter : ' ';
    }
    return text;
}

ListColumns EntryColumns(const uint8_t* entry) {
    ListColumns c;
    c.name = EntryDisplayName(entry);
    if (!(entry[kDirAttr] & kAttrDirectory)) {
        FormatNumber(Load32(entry + kDirSize), c.size);
    }
    c.lastChange = FormatEntryDateTime(entry, DateForm::kShort);
    c.attributes = AttributeText(entry[kDirAttr]);
    return c;
}

}  // namespace vk
