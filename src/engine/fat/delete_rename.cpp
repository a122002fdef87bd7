#include "engine/fat/delete_rename.h"

#include <algorithm>

#include "engine/core/document.h"
#include "engine/fat/dir_entry.h"
#include "engine/fat/directory.h"
#include "engine/fat/fat12.h"
#include "engine/fat/fs_options.h"
#include "engine/fat/short_names.h"
#include "engine/ports/host_text.h"
#include "engine/ports/platform_codes.h"
#include "engine/ports/window_sync.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

constexpr size_t kMaxTypedName = 12;  // "NAMEBASE.EXT"

// One Delete command: with more than one entry selected the question offers
// "Yes to all", and the entries after that answer are not asked about.
struct DeleteRun {
    ImageDocument* doc = nullptr;
    bool offerAll = false;
    bool yesToAll = false;
};

bool DeleteOne(DeleteRun& run, WindowRef owner, const std::string& itemText, int& index, uint32_t entryOffset) {
    ImageDocument& doc = *run.doc;
    if (RefuseChange(doc, owner)) return false;
    if (doc.Area()[entryOffset + kDirAttr] & kAttrDirectory) {
        ShowMessage(owner, kMsgCannotDeleteDir, kIconWarning, {itemText});
        return true;
    }
    if (!FsOptions().forceSwitch && !run.yesToAll) {
        const unsigned buttons = run.offerAll ? kBoxYesAllNoCancel : kBoxYesNoCancel;
        const int answer = ShowMessage(owner, kMsgDeleteFile, buttons | kIconQuestion | kDefaultButton2, {itemText});
        if (answer == kIdNo) {
            return true;
        }
        if (answer == kIdYesToAll && run.offerAll) {
            run.yesToAll = true;
        } else if (answer != kIdYes) {
            return false;  // Cancel, or no box could be shown
        }
    }
    WaitCursor wait;
    // The long name goes with its file; left behind it would be an orphan.
    DeleteRootLongName(doc.GetLayout(), doc.Area(), doc.AreaLength(), entryOffset);
    FreeChain(doc.GetLayout(), doc.Area(), doc.AreaLength(), entryOffset);
    doc.modified = true;
    RemoveListItem(index);
    --index;
    UpdateStatusText();
    return true;
}

bool DeleteRunStep(WindowRef owner, const std::string& itemText, int& index, uint32_t entryOffset, void* context) {
    return DeleteOne(*static_cast<DeleteRun*>(context), owner, itemText, index, entryOffset);
}

bool CountSelected(WindowRef, const std::string&, int&, uint32_t, void* context) {
    ++*static_cast<int*>(context);
    return true;
}

}  // namespace

bool DeleteEntry(WindowRef owner, const std::string& itemText, int& index, uint32_t entryOffset, void* context) {
    DeleteRun run;
    run.doc = static_cast<ImageDocument*>(context);
    return DeleteOne(run, owner, itemText, index, entryOffset);
}

void DeleteSelected(ImageDocument& doc, WindowRef owner) {
    int selected = 0;
    ForEachSelected(owner, CountSelected, &selected);
    DeleteRun run;
    run.doc = &doc;
    run.offerAll = selected > 1;
    ForEachSelected(owner, DeleteRunStep, &run);
}

RenameVerdict RenameEntry(ImageDocument& doc, WindowRef owner, std::string* editedText, uint32_t entryOffset) {
    if (editedText == nullptr) {
        return RenameVerdict::kReject;
    }
    if (RefuseChange(doc, owner)) return RenameVerdict::kReject;
    std::string& text = *editedText;
    if (text.empty()) {
        ShowMessage(owner, kMsgNameBlank, kIconError);
        return RenameVerdict::kReject;
    }
    if (text.size() > kMaxTypedName) {
        ShowMessage(owner, kMsgNameTooLong, kIconError);
        return RenameVerdict::kReject;
    }
    HostUpperCase(text);
    const size_t dot = text.find('.');
    const std::string base = text.substr(0, dot);
    const std::string ext = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3) {
        ShowMessage(owner, kMsgNameInvalid, kIconError);
        return RenameVerdict::kReject;
    }
    if (!IsValidNamePart(base) || !IsValidNamePart(ext)) {
        ShowMessage(owner, kMsgNameBadChars, kIconError);
        return RenameVerdict::kReject;
    }
    // "ABCDEFGH." would otherwise reach the list with its dot.
    if (base.size() == 8 && ext.empty()) {
        text.resize(8);
    }
    PackedName packed;
    packed.fill(' ');
    // Bounded by the field lengths, checked above: without the bound GCC at -O3
    // warns of an overflow it cannot rule out.
    base.copy(reinterpret_cast<char*>(packed.data()), kDirNameLength);
    ext.copy(reinterpret_cast<char*>(packed.data() + kDirNameLength), kDirExtLength);

    const Layout layout = doc.GetLayout();
    const SlotResult slot = FindEntrySlot(layout, doc.Area(), doc.AreaLength(), text, packed, true);
    if (slot.found && slot.slotOffset != entryOffset) {
        ShowSystemError(owner, text, win_error::kAlreadyExists, {}, kIconError);
        return RenameVerdict::kReject;
    }
    uint8_t* name = doc.Area() + entryOffset + kDirName;
    // A long name written for the old name does not fit the new one.
    if (!std::equal(packed.begin(), packed.end(), name)) {
        DeleteRootLongName(layout, doc.Area(), doc.AreaLength(), entryOffset);
    }
    std::copy(packed.begin(), packed.end(), name);
    doc.modified = true;
    return RenameVerdict::kAccept;
}

}  // namespace vk
