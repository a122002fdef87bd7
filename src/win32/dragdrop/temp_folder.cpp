// The drag-out folder: a directory of our own in the user's temporary
// folder that holds the files of the last drag until it is removed.
#include <stdio.h>
#include <stdlib.h>

#include "win32/dragdrop/dragdrop.h"

namespace vk::win32 {
namespace {

std::string g_dragTempDir;

bool IsDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

std::string CreateTempDirectory(const char* prefix) {
    // The runtime's temporary-name service looks in the folder TMP names.
    char* name = _tempnam(nullptr, prefix);
    if (name == nullptr) {
        return {};
    }
    std::string path(name);
    free(name);
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

void EmptyDirectory(const std::string& path, bool removeDirectory) {
    if (path.empty()) {
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((path + "\\*.*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            // Only "." and ".." are skipped: an image may hold a name that
            // begins with a dot, and its file must go too.
            if (IsDotEntry(found.cFileName)) {
                continue;
            }
            const std::string file = path + "\\" + found.cFileName;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
                SetFileAttributesA(file.c_str(), found.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
            }
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileA(file.c_str());
            } else if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                // A link is removed, never followed.
                RemoveDirectoryA(file.c_str());
            } else {
                // A folder dragged out of the image, with its tree.
                EmptyDirectory(file, true);
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    if (removeDirectory) {
        RemoveDirectoryA(path.c_str());
    }
}

const std::string& DragTempDirectory() { return g_dragTempDir; }

void RemoveDragTempDirectory() {
    EmptyDirectory(g_dragTempDir, true);
    g_dragTempDir.clear();
}

const std::string& PrepareDragTempDirectory() {
    if (!g_dragTempDir.empty()) {
        EmptyDirectory(g_dragTempDir, false);
    } else {
        g_dragTempDir = CreateTempDirectory(kDragFolderPrefix);
    }
    return g_dragTempDir;
}

}  // namespace vk::win32
