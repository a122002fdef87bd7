// Extract file with several entries selected: one folder for all of them,
// the replace question per existing file, and one summary at the end.
#pragma once

#include <windows.h>

#include <string>

namespace vk::win32 {

struct ExtractTally {
    int files = 0;      // selected entries that are files, and files written from folders
    int extracted = 0;  // files written (not those the user chose to keep)
    bool failed = false;
};

// The folder picker; false when the user cancelled.
bool ChooseExtractFolder(HWND owner, std::string& folder);

// Writes every selected file into `folder`, and every selected folder with
// its tree (a damaged folder gets kMsgStoredFileCorrupt); labels get kMsgCannotSaveEntry. A
// failed file write stops the walk, as in the one-file command. Entries that
// would land on one host name get numeric tails (HostNameClaims), each said
// in a box (kMsgExtractedUnderTail); only files that were there before are asked about.
ExtractTally ExtractSelectionInto(HWND owner, const std::string& folder);

// The summary: how many of the selected files went to `folder`.
void ShowExtractSummary(HWND owner, const ExtractTally& tally, const std::string& folder);

// Where the folder picker opens: the folder chosen last.
std::string& LastExtractFolder();

// The Extract file command: the Save As dialog for one selected file, the
// folder picker and the summary for several entries or a folder.
void ExtractCommand(HWND mainWindow);

}  // namespace vk::win32
