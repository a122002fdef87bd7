// The Choose file dialog: the files of a zip holding several disk-images in
// a list, one of which is opened.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vk::win32 {

// The dialog's working record: what it lists and, after OK, what was chosen.
struct MemberChoice {
    std::string imageName;             // the zip's name, shown in the prompt above the list
    std::vector<std::string> members;  // the zip's files, in its directory's order
    std::string chosen;                // after OK: the selected file's name
};

INT_PTR CALLBACK MemberDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Fills the list and selects the first file whose name ends as an image's does.
void OnInitMemberDialog(HWND dialog, MemberChoice& choice);
// OK: the selected file into the record; false with none selected.
bool OnMemberOk(HWND dialog);

// Runs the dialog over `owner`: the chosen file's name, or empty when it was
// cancelled or could not be shown.
std::string RunMemberDialog(HWND owner, MemberChoice& choice);

}  // namespace vk::win32
