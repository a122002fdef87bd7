// Files dropped on the main window, and the drop target's life from OLE's
// start to its end.
#include <new>
#include <string>
#include <vector>

#include "engine/core/document.h"
#include "win32/dragdrop/dragdrop.h"
#include "win32/dragdrop/raw_drop_target.h"
#include "engine/fat/ops/add_file.h"
#include "engine/ports/window_sync.h"
#include "win32/ui/current_folder.h"
#include "win32/ui/list_sync.h"
#include "win32/ports/win32_prompts.h"

namespace vk::win32 {
namespace {

ComRef<RawDropTarget> g_dropTarget;

// The dropped name at `index` whole: a name cut at 260 characters could
// name another file that exists.
std::string DroppedName(HDROP drop, UINT index) {
    const UINT length = DragQueryFileA(drop, index, nullptr, 0);
    if (length == 0) {
        return {};
    }
    std::string name(length + 1, '\0');
    name.resize(DragQueryFileA(drop, index, &name[0], length + 1));
    return name;
}

}  // namespace

void RegisterDropTarget(HWND mainWindow) {
    ReleaseDropTarget();
    g_dropTarget = ComRef<RawDropTarget>(new (std::nothrow) RawDropTarget);
    if (g_dropTarget) {
        g_dropTarget->Register(mainWindow);
    }
}

void RevokeDropTarget() {
    if (g_dropTarget) {
        g_dropTarget->Revoke();
    }
}

void ReleaseDropTarget() {
    if (!g_dropTarget) {
        return;
    }
    g_dropTarget->Revoke();
    g_dropTarget.Reset();
}

IDropTarget* RegisteredDropTarget() { return g_dropTarget.get(); }

std::string HandleDroppedFiles(HDROP drop, HWND mainWindow, HWND list, ImageDocument& doc,
                               const FileSystemOptions& options) {
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    if (count == 0) {
        return {};
    }
    if (!doc.IsOpen()) {
        // Without an image the first file is taken for one; the rest wait.
        return DroppedName(drop, 0);
    }
    WaitCursor wait;
    std::vector<std::string> paths;
    for (UINT i = 0; i < count; ++i) paths.push_back(DroppedName(drop, i));
    // One add for all: files of one 8.3 name get tails instead of replacing
    // each other, and one cluster map guards them all.
    const ScopedPromptOwner boxes(mainWindow);
    AddFiles(
        doc, paths, [&](const Result& added) { ShowResult(mainWindow, list, doc, added); }, options,
        TheFolder().Dir());
    return {};
}

}  // namespace vk::win32
