#include "win32/common/file_dialog.h"

#include <commdlg.h>
#include <shlwapi.h>

#include <cstddef>

#include "win32/common/dialog_helpers.h"

namespace vk {
namespace {

constexpr int kFilterLength = 256;
constexpr int kExtensionLength = 32;

// The older structure layout (OPENFILENAME_SIZE_VERSION_400A: up to
// lpTemplateName), which every system version's dialog accepts.
constexpr DWORD kDialogStructSize =
    offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(static_cast<OPENFILENAMEA*>(nullptr)->lpTemplateName);
#ifndef _WIN64
static_assert(kDialogStructSize == 76, "the 32-bit program uses the 76-byte dialog structure");
#endif

}  // namespace

bool ShowFileDialog(HWND owner, UINT filterId, UINT defaultExtensionId, char* path, DWORD pathLength,
                    DWORD flags, FileDialogKind kind, bool* readOnly, const char* initialFolder) {
    char filter[kFilterLength];
    LoadFilterString(filterId, filter, sizeof filter);
    char extension[kExtensionLength] = "";
    if (defaultExtensionId != 0) {
        LoadStringA(GetModuleHandleA(nullptr), defaultExtensionId, extension, sizeof extension);
    }

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = kDialogStructSize;
    ofn.hwndOwner = owner;
    ofn.hInstance = GetModuleHandleA(nullptr);
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = pathLength;
    ofn.lpstrDefExt = defaultExtensionId != 0 ? extension : nullptr;
    ofn.Flags = flags;
    ofn.lpstrInitialDir = initialFolder != nullptr && initialFolder[0] != '\0' ? initialFolder : nullptr;

    const BOOL chosen = kind == FileDialogKind::kOpen ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn);
    if (chosen && readOnly != nullptr) {
        *readOnly = (ofn.Flags & OFN_READONLY) != 0;
    }
    return chosen != FALSE;
}

std::string& LastImageFolder() {
    static std::string folder;
    return folder;
}

std::string FolderOfFile(const std::string& path) {
    char folder[MAX_PATH] = "";
    lstrcpynA(folder, path.c_str(), sizeof folder);
    PathRemoveFileSpecA(folder);
    return folder;
}

void NoteImageFolder(const std::string& path) { LastImageFolder() = FolderOfFile(path); }

}  // namespace vk
