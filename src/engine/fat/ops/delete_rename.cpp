#include "engine/fat/ops/delete_rename.h"

#include <algorithm>

#include "engine/core/document.h"
#include "engine/core/write_safety.h"
#include "engine/fat/ops/cluster_guard.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/dir_ops.h"
#include "engine/fat/ops/directory.h"
#include "engine/fat/ops/item_question.h"
#include "engine/fat/dir/entry_chain.h"
#include "engine/fat/table/fat12.h"
#include "engine/fat/dir/fs_options.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/dir/short_names.h"
#include "engine/ports/host_failure.h"
#include "engine/ports/host_text.h"
#include "engine/ports/window_sync.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

constexpr size_t kMaxTypedName = 12;  // "NAMEBASE.EXT"

Notice NameRefused(unsigned id) { return TextNotice(id, Tone::kError); }

}  // namespace

Result DeleteEntries(ImageDocument& doc, const std::vector<uint32_t>& entries, const FileSystemOptions& options) {
    if (entries.empty()) {
        return Done();
    }
    if (std::optional<Notice> refusal = ChangeRefusal(doc)) return Failure(FailureKind::kRefused, *refusal);
    ItemQuestion question(entries.size() > 1, Choices::kYesNoCancel);
    Result result = Done();
    ClusterGuard guard(doc);
    for (const uint32_t entryOffset : entries) {
        const std::string name = EntryDisplayName(doc.Area() + entryOffset);
        if (doc.Area()[entryOffset + kDirAttr] & kAttrDirectory) {
            Tell(TextNotice(kMsgCannotDeleteDir, Tone::kWarning, {name}));
            continue;
        }
        // Clusters another entry shares stay allocated, and so does this file:
        // nothing to ask about.
        const std::vector<uint32_t> chain = guard.Chain(entryOffset);
        if (std::optional<Notice> shared = guard.CheckRelease(chain, {entryOffset})) {
            Tell(*shared);
            continue;
        }
        if (!options.forceSwitch) {
            const ItemQuestion::Reply reply = question.Ask(TextNotice(kMsgDeleteFile, Tone::kQuestion, {name}), true);
            if (reply == ItemQuestion::Reply::kNo) {
                continue;
            }
            if (reply == ItemQuestion::Reply::kStop) {
                result.goOn = false;  // Cancel, or no box could be shown
                break;
            }
        }
        WaitCursor wait;
        // The long name goes with its file; left behind it would be an orphan.
        DeleteLongNameIn(VolumeOf(doc), DirectoryOf(doc, entryOffset), entryOffset);
        FreeChain(VolumeOf(doc), entryOffset);
        guard.Released(chain, {entryOffset});
        doc.modified = true;
        result.changes.removed.push_back(entryOffset);
    }
    return result;
}

Result ParseTypedName(std::string text, NameStrength strength, std::string& shown, PackedName& packed) {
    if (text.empty()) {
        return Failure(FailureKind::kBadName, NameRefused(kMsgNameBlank));
    }
    if (text.size() > kMaxTypedName) {
        return Failure(FailureKind::kBadName, NameRefused(kMsgNameTooLong));
    }
    HostUpperCase(text);
    const size_t dot = text.find('.');
    const std::string base = text.substr(0, dot);
    const std::string ext = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3) {
        return Failure(FailureKind::kBadName, NameRefused(kMsgNameInvalid));
    }
    if (!IsValidNamePart(base, strength) || !IsValidNamePart(ext, strength)) {
        return Failure(FailureKind::kBadName, NameRefused(kMsgNameBadChars));
    }
    // "ABCDEFGH." would otherwise reach the list with its dot.
    if (base.size() == 8 && ext.empty()) {
        text.resize(8);
    }
    packed.fill(' ');
    // Bounded by the field lengths, checked above: without the bound GCC at -O3
    // warns of an overflow it cannot rule out.
    base.copy(reinterpret_cast<char*>(packed.data()), kDirNameLength);
    ext.copy(reinterpret_cast<char*>(packed.data() + kDirNameLength), kDirExtLength);
    shown = std::move(text);
    return Done();
}

Result RenameEntry(ImageDocument& doc, uint32_t entryOffset, const std::string* typed, const FileSystemOptions& options,
                   std::string* shown) {
    if (typed == nullptr) {
        return Declined(false);
    }
    if (std::optional<Notice> refusal = ChangeRefusal(doc)) return Failure(FailureKind::kRefused, *refusal);
    std::string text;
    PackedName packed;
    Result named = ParseTypedName(*typed, options.nameStrength, text, packed);
    if (!named.Done()) {
        return named;
    }
    const Volume vol = VolumeOf(doc);
    // The name must be free in the entry's own directory. The entry keeps
    // its first cluster, so a folder's "." entry stays right.
    const DirRef dir = DirectoryOf(doc, entryOffset);
    uint32_t holder = 0;
    if (dir.IsRoot()) {
        const SlotResult slot = FindEntrySlot(vol, text, packed, true, options.forceSwitch);
        holder = slot.found ? slot.slotOffset : 0;
    } else {
        holder = FindPackedEntry(vol, dir, packed);
    }
    if (holder != 0 && holder != entryOffset) {
        return Failure(HostFault(text, HostCodeFor(HostFailure::kNameTaken)));
    }
    uint8_t* name = doc.Area() + entryOffset + kDirName;
    // A long name written for the old name does not fit the new one.
    if (!std::equal(packed.begin(), packed.end(), name)) {
        DeleteLongNameIn(vol, dir, entryOffset);
    }
    std::copy(packed.begin(), packed.end(), name);
    doc.modified = true;
    if (shown != nullptr) {
        *shown = text;
    }
    EntryChanges changes;
    changes.changed.push_back(entryOffset);
    return Done(std::move(changes));
}

}  // namespace vk
