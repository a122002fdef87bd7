#include "engine/fat/dir/list_texts.h"

#include "engine/common/bytes.h"
#include "engine/strings/text_format.h"
#include "engine/core/document.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/dir/entry_time.h"
#include "engine/fat/dir/root_directory.h"

namespace vk {

bool IsListedEntry(const uint8_t* entry) { return entry[kDirName] != kEntryDeleted && !(entry[kDirAttr] & kAttrVolume); }

std::vector<uint32_t> ListedEntries(const ImageDocument& doc, DirRef dir) {
    std::vector<uint32_t> entries;
    const uint8_t* area = doc.Area();
    WalkDirectory(VolumeOf(doc), dir, [&](uint32_t offset) {
        if (IsListedEntry(area + offset) && (dir.IsRoot() || !IsDotOrDotDot(area + offset))) {
            entries.push_back(offset);
        }
        return true;
    });
    return entries;
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
