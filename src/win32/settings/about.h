// The About box: program name, version, producer, and the homepage and
// e-mail addresses with a button each that hands them to the shell.
#pragma once

#include <windows.h>

#include <string>

namespace vk::win32 {

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Centres the box and fills the two address fields from the string table.
void OnInitAboutDialog(HWND dialog);

// What the shell is asked to open for the "..." button of address field
// `fieldId`: the homepage as written, the e-mail address behind "mailto:".
// Empty when the field is empty, and then nothing is opened.
std::string AboutLinkTarget(HWND dialog, int fieldId);

}  // namespace vk::win32
