// Dragging selected entries out of the list: they are extracted into the
// drag-out folder first, since a drop target can only take files that exist.
#include <algorithm>
#include <new>
#include <string>
#include <utility>

#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "win32/dragdrop/data_object.h"
#include "win32/dragdrop/dragdrop.h"
#include "win32/dragdrop/drop_source.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/extract.h"
#include "engine/fat/ops/extract_tree.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/ops/name_claims.h"
#include "engine/ports/prompts.h"
#include "engine/strings/string_ids.h"
#include "win32/ports/win32_prompts.h"

namespace vk::win32 {
namespace {

HWND g_dragSourceWindow = nullptr;

// A selection with folders and no label goes out with the folders' trees;
// any other keeps the extraction of plain files, which refuses a label. So
// does a folder entry whose first cluster is 0, the root's: it is damaged,
// and a walk from it would take the root along.
bool TakesFolderTrees(const ImageDocument& doc, const std::vector<uint32_t>& entries) {
    bool folders = false;
    for (const uint32_t entry : entries) {
        const uint8_t* e = doc.Area() + entry;
        if ((e[kDirAttr] & kAttrVolume) ||
            ((e[kDirAttr] & kAttrDirectory) && Load16(e + kDirFirstCluster) == 0)) {
            return false;
        }
        folders = folders || (e[kDirAttr] & kAttrDirectory) != 0;
    }
    return folders;
}

// The drop list of `paths`: each path ended by a zero byte, one more zero
// byte at the end.
bool DropList(const std::vector<std::string>& paths, ByteBlock& list) {
    std::string joined;
    for (const std::string& path : paths) {
        joined += path;
        joined += '\0';
    }
    joined += '\0';
    if (!list.Allocate(joined.size())) {
        return false;
    }
    std::copy(joined.begin(), joined.end(), reinterpret_cast<char*>(list.data()));
    return true;
}

// The folders' trees into `folder`, replacing what a former drag left;
// `written` gets the entries' paths there, under the names they were given.
Result ExtractTreesToFolder(const ImageDocument& doc, const std::vector<uint32_t>& entries,
                            const std::string& folder, std::vector<std::string>& written) {
    HostNameClaims claims;
    Result result = ExtractTree(doc, entries, folder, kReplaceSilently, nullptr, &claims);
    written.clear();
    for (const std::string& name : claims.ClaimedIn(folder)) {
        written.push_back(folder + "\\" + name);
    }
    return result;
}

}  // namespace

HWND DragSourceWindow() { return g_dragSourceWindow; }

bool ExtractDragFiles(HWND mainWindow, const ImageDocument& doc, const std::vector<uint32_t>& entries,
                      ByteBlock& fileList) {
    const std::string& folder = PrepareDragTempDirectory();
    if (folder.empty() || !doc.IsOpen()) {
        return false;
    }
    std::vector<std::string> written;
    Result result = TakesFolderTrees(doc, entries) ? ExtractTreesToFolder(doc, entries, folder, written)
                                                   : ExtractEntriesToFolder(doc, entries, folder, written);
    if (result.Done() && !DropList(written, fileList)) {
        result = Failure(FailureKind::kOutOfMemory, TextNotice(kMsgOutOfMemory, Tone::kError));
    }
    // A done extraction says only which entries got tails; the dropped files
    // carry those names, and a box would stop the drag.
    if (result.Done()) result.notices.clear();
    Report(mainWindow, result);
    // A selection that vanished before the drag began leaves nothing to drag.
    return result.Done() && !entries.empty();
}

void StartDragOut(HWND mainWindow, const ImageDocument& doc, const std::vector<uint32_t>& entries) {
    ByteBlock fileList;
    if (ExtractDragFiles(mainWindow, doc, entries, fileList)) {
        DoDragOut(mainWindow, reinterpret_cast<const char*>(fileList.data()), fileList.size());
    }
}

bool DoDragOut(HWND owner, const char* fileList, size_t length) {
    const ComRef<DropSource> source(new (std::nothrow) DropSource);
    const ComRef<DataObject> data(new (std::nothrow) DataObject);
    // Without the objects or the list's copy there is nothing to carry.
    if (!source || !data || !data->SetFileList(fileList, length)) {
        Tell(owner, TextNotice(kMsgOutOfMemory, Tone::kError));
        return false;
    }
    g_dragSourceWindow = owner;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    g_dragSourceWindow = nullptr;
    return result == DRAGDROP_S_DROP;
}

}  // namespace vk::win32
