// The folder commands of the main window: opening a folder in the list,
// going back up, New folder and Delete folder. Each works in the current
// folder (current_folder.h) and shows the engine's result as the other
// commands do.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace vk {
struct ImageDocument;
}  // namespace vk

namespace vk::win32 {

// A new folder's name: "NEWFOLDR", or the first of "NEWFOLD2" ... "NEWFOL10"
// ... that `taken` does not refuse; empty when every one is taken.
std::string UniqueFolderName(const std::function<bool(const std::string&)>& taken);

// The list item at `index` opened (double click or Enter): a folder opens in
// the list; true when it was a folder.
bool OpenListItem(HWND mainWindow, int index);

// New folder: makes a folder of a free default name in the current folder,
// selects its item and opens its label editor for the real name.
void NewFolderCommand(HWND mainWindow);

// Delete folder: the selected folders with all they hold, after one question.
void DeleteFolderCommand(HWND mainWindow);

// Whether every selected item is a folder (and one at least is selected).
bool SelectionIsFolders(HWND list, const ImageDocument& doc);

}  // namespace vk::win32
