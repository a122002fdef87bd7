// The file properties sheet: one page "General" that shows one directory
// entry and lets the user change its read-only, hidden, archive and system bits.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

namespace vk {
struct ImageDocument;
}

namespace vk::win32 {

// What the page shows and where its Apply reports.
struct FilePropertiesRequest {
    ImageDocument* doc = nullptr;
    uint32_t entryOffset = 0;       // from the boot sector
    std::string folderPath;         // the folder holding the entry; empty for the root
    std::string typeNamesPath;      // VOLKARN.INI beside the program
    HIMAGELIST images = nullptr;    // the main list's large icons; null: the program's own
    bool applied = false;           // Apply changed the entry's attributes
};

// Opens the sheet titled `itemText` (shown as the host's "properties"
// title). With PSH_MODELESS the sheet's window comes back.
INT_PTR OpenFilePropertiesSheet(HWND owner, const std::string& itemText, FilePropertiesRequest& request,
                                DWORD extraFlags = 0);

INT_PTR CALLBACK FilePropertiesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void OnInitFilePropertiesPage(HWND page, FilePropertiesRequest& request);
// The four check boxes as attribute bits.
uint8_t CheckedAttributes(HWND page);
void ApplyFilePropertiesPage(HWND page);

}  // namespace vk::win32
