// The main window's commands: what each id does, which menu items are
// grayed or checked, and the list's context menu.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "win32/resources/command_ids.h"

namespace vk::win32 {

// What the menu rules look at.
struct MenuContext {
    bool open = false;      // an image is open
    bool hasFile = false;   // it has an image file (not untitled)
    bool readOnly = false;  // that file is open for reading only
    bool selected = false;  // at least one list item is selected
    bool changesRefused = false;  // the engine keeps the image read-only: it cannot change it soundly
    bool extractRefused = false;  // its layout is a guess, so files cannot be read out
    bool trackImage = false;      // decoded from a track image: only Save as may write it, as a plain image
    bool atRoot = true;           // the list shows the root directory, not a folder
    bool foldersSelected = false; // the selection is folders only
    bool oneFileSelected = false; // the selection is one file, which View shows
    bool partitioned = false;     // the image has a partition table: one of its partitions is open
    uint32_t viewType = 1;
};

MenuContext CurrentMenuContext();

// Whether the rules gray command `id` in `context`. Ids without a rule are
// never grayed.
bool IsCommandGrayed(UINT id, const MenuContext& context);

// The view item checked for a view mode (0 icon, 1 report, 2 small icon, 3 list).
UINT ViewCommand(uint32_t viewType);

// Grays and checks the items of a menu about to open (menu bar and context
// menu alike; items the menu lacks are left alone).
void UpdateMenuState(HMENU menu);

// Carries out command `id` for the main window. A grayed command does
// nothing here either, however it arrived; unknown ids are ignored.
void ExecuteCommand(UINT id, HWND mainWindow);

// Extract file as for one entry: the Save As dialog for each selected entry.
void ExtractEachWithSaveDialog(HWND mainWindow);

// The list's context menu at a screen point; its choice arrives as a command.
void ShowContextMenu(HWND mainWindow, POINT screenPoint);

// The paths in a multiple-selection answer of the open dialog: one full path,
// or a folder followed by names, each ended by a zero, an empty name last.
std::vector<std::string> SelectedPaths(const char* buffer, size_t size);

}  // namespace vk::win32
