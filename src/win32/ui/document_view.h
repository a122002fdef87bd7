// The main window's view of the document: the document commands as VOLKARN
// runs them. Each shows the engine's result over its owner where the boxes
// belong, and then brings the title, the list and the status bar in step.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "engine/common/result.h"
#include "engine/core/document.h"

namespace vk::win32 {

// "NAME - VOLKARN" for the document's file, "NAME\FOLDER\SUB - VOLKARN" in
// a folder, "NAME (partition 2) - VOLKARN" for a partition, the caption
// alone without a file.
void UpdateTitle(const ImageDocument& doc);
// Enables or disables the list, gives it (or the window) the focus and
// recounts the status bar.
void EnableExplorerList(bool enable);
void RemoveAllListItems();

// Shows what `result` has to say over `owner`; true when it is done.
bool Shown(HWND owner, const Result& result);

// Closes the document (asking to save a modified one); then the list is
// emptied and disabled, and the title follows when `refreshTitle`. True when
// no document is left open.
bool CloseDocument(ImageDocument& doc, bool refreshTitle);

// Closes the document, opens `path` and shows what the opening said over
// `owner`; then fills the list, sets the title and checks the backup FAT.
// A partitioned image opens partition `partition`; with 0 the user chooses
// one first, and Cancel leaves the open document as it was. A zip of
// several files opens `member`; with none named the user chooses one first.
bool OpenDocument(ImageDocument& doc, HWND owner, const std::string& path, bool readOnly = false,
                  uint32_t partition = 0, const std::string& member = {});

// Lets the user choose the partition of `path` (`member` of a zip) to open, `current` selected
// at first (0: the first usable one), over `owner`. True to go on with the
// opening, `partition` being the choice, or 0 for an image without a
// partition table or one whose table could not be read (the opening says
// why); false when the user cancelled. The document's own image is
// described from its bytes.
bool ChoosePartition(const ImageDocument& doc, HWND owner, const std::string& path, const std::string& member,
                     uint32_t current, uint32_t& partition);

// File > Open partition: the open image again, with the partition chosen
// (asking to save changes first). False when nothing changed.
bool OpenOtherPartition(ImageDocument& doc, HWND owner);

// A document the New dialog made: `made` shown over `owner`, then the title,
// the list and the backup-FAT check.
bool ShowNewDocument(ImageDocument& doc, HWND owner, const Result& made);

// Fills the list with the current folder's entries, focuses the item of
// `focusEntry` (selected; the first item, unselected, for 0), and brings the
// status bar and the title in step.
void ShowCurrentFolder(const ImageDocument& doc, uint32_t focusEntry);

// After a change that may have touched any folder (Check disk's Fix):
// the current folder entered again as far as it still can be, its list
// filled anew, the status bar and the title in step.
void ShowChangedDisk(const ImageDocument& doc);

// Opens the folder whose entry is at `entryOffset` of the current folder in
// the list; a damaged one is named in a box over `owner` and not entered.
bool OpenFolderEntry(const ImageDocument& doc, HWND owner, uint32_t entryOffset);

// The folder above the current one in the list, its item of the folder left
// selected; false at the root.
bool GoToParentFolder(const ImageDocument& doc);

// Save and Save as. The title follows a new file name.
bool SaveDocument(ImageDocument& doc);
bool SaveDocumentAs(ImageDocument& doc, HWND owner);

}  // namespace vk::win32
