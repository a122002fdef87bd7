// Drag and drop with the shell: selected entries leave as files extracted
// into a private temporary folder, host files dropped on the main window are
// added to the image (or, with no image open, the first one is opened).
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/common/bytes.h"
#include "engine/fat/dir/fs_options.h"

namespace vk {
struct ImageDocument;
}  // namespace vk

namespace vk::win32 {

// The message the drop target sends to its window with the locked
// dropped-file block as wParam; the window answers it with HandleDroppedFiles.
constexpr UINT kDroppedFilesMessage = WM_APP;

// Start-up, once OLE is initialised: the drop target of the main window. A
// refused registration leaves the program without drops, nothing more.
void RegisterDropTarget(HWND mainWindow);
// The main window's WM_DESTROY: the platform holds the target until its
// registration is withdrawn, which needs the window still alive.
void RevokeDropTarget();
// After the message loop, before OLE is uninitialised: the program's own
// reference goes, and with it the target.
void ReleaseDropTarget();
// The registered target, or null.
IDropTarget* RegisteredDropTarget();

// LVN_BEGINDRAG of the main list: extracts the selected entries (offsets in
// list order) into the drag-out folder and, when every file was written,
// drags those files.
void StartDragOut(HWND mainWindow, const ImageDocument& doc, const std::vector<uint32_t>& entries);
// StartDragOut's steps before the drag: the drag-out folder made or emptied
// and the entries extracted into it, a failure shown over `mainWindow`. True
// when `fileList` holds the paths of a non-empty selection written whole.
bool ExtractDragFiles(HWND mainWindow, const ImageDocument& doc, const std::vector<uint32_t>& entries,
                      ByteBlock& fileList);
// Runs the platform drag loop over `fileList` (paths each ended by a zero,
// one more zero at the end; `length` counts every byte). True when dropped.
bool DoDragOut(HWND owner, const char* fileList, size_t length);
// The window whose drag is under way, or null.
HWND DragSourceWindow();

// kDroppedFilesMessage: adds the dropped files to the folder the list shows
// (current_folder.h) in order, each one's item coming into `list` and its
// failure shown before the next is tried. Without an open image it adds
// nothing and returns the first file's path, for the window to open as the
// image; otherwise an empty string. `options` are VOLKARN's (/F and the
// name strength).
std::string HandleDroppedFiles(HDROP drop, HWND mainWindow, HWND list, ImageDocument& doc,
                               const FileSystemOptions& options);

// The prefix of the drag-out folder's name in the user's temporary folder.
constexpr char kDragFolderPrefix[] = "VK$";

// A new directory with a unique name under the user's temporary folder. The
// path comes back even when creating it failed; empty means no name at all.
std::string CreateTempDirectory(const char* prefix);
// Deletes the files in `path` (read-only ones too) and its folders with
// theirs; with `removeDirectory` the directory itself goes afterwards.
// Nothing for an empty path.
void EmptyDirectory(const std::string& path, bool removeDirectory);
// Before each drag out: the drag-out folder emptied, or made when there is
// none yet. Its path; empty when no name could be had.
const std::string& PrepareDragTempDirectory();
// The drag-out folder, empty when there is none.
const std::string& DragTempDirectory();
// New, Close, Exit and the main window's close: the drag-out folder goes.
void RemoveDragTempDirectory();

}  // namespace vk::win32
