// The View dialog: a file of the image shown read-only, a tokenized
// MSX-BASIC program as its listing, text in the MSX character set and
// anything else as a hex dump, with Find and Copy.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vk::win32 {

// The dialog's working record.
struct ViewedFile {
    std::string name;            // the entry's name, in the caption
    std::vector<uint8_t> bytes;  // the file's contents
};

INT_PTR CALLBACK ViewerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Where `what` is next found in `text` from `from` on, letters compared
// without regard to case, going round to the start; npos when nowhere.
size_t FindInView(const std::wstring& text, const std::wstring& what, size_t from);

// Shows `file` over `owner` until the user closes it.
void RunViewerDialog(HWND owner, ViewedFile& file);

}  // namespace vk::win32
