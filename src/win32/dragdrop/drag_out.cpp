// Dragging selected entries out of the list: they are extracted into the
// drag-out folder first, since a drop target can only take files that exist.
#include <new>
#include <utility>

#include "engine/core/document.h"
#include "win32/dragdrop/data_object.h"
#include "win32/dragdrop/dragdrop.h"
#include "win32/dragdrop/drop_source.h"
#include "engine/fat/extract.h"
#include "engine/ports/prompts.h"
#include "engine/strings/string_ids.h"

namespace vk::win32 {
namespace {

HWND g_dragSourceWindow = nullptr;

}  // namespace

HWND DragSourceWindow() { return g_dragSourceWindow; }

bool ExtractDragFiles(HWND mainWindow, const ImageDocument& doc, const std::vector<uint32_t>& entries,
                      ByteBlock& fileList) {
    const std::string& folder = PrepareDragTempDirectory();
    if (folder.empty() || !doc.IsOpen()) {
        return false;
    }
    ByteBlock written;
    const Result result = ExtractEntriesToFolder(doc, entries, folder, written);
    Report(mainWindow, result);
    // A selection that vanished before the drag began leaves nothing to drag.
    if (!result.Done() || entries.empty()) {
        return false;
    }
    fileList = std::move(written);
    return true;
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
