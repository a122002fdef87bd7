// The folder the main window shows: the way from the root through the
// folders the user opened, each with the name it was opened by and its
// entry. The list shows the last one's entries; Add file, drop and New
// folder work in it. Opening or closing an image goes back to the root.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/common/result.h"
#include "engine/fat/dir/dir_walk.h"

namespace vk {
struct ImageDocument;
}  // namespace vk

namespace vk::win32 {

struct FolderStep {
    DirRef dir;               // the folder itself
    std::string name;         // its name as the list shows it
    uint32_t entryOffset = 0; // its entry in the folder above
};

class CurrentFolder {
public:
    DirRef Dir() const { return steps_.empty() ? kRootDir : steps_.back().dir; }
    bool AtRoot() const { return steps_.empty(); }
    // "GAMES\SHOOT"; empty at the root.
    std::string Path() const;

    // Checks the folder whose entry is at `entryOffset` of the current folder,
    // with every folder on the way, and goes into it when it is sound. A
    // damaged folder (a loop, a "." naming another cluster, a chain leaving
    // the data area) fails with kMsgStoredFileCorrupt naming its path, and the current
    // folder stays.
    Result Enter(const ImageDocument& doc, uint32_t entryOffset);
    // Back to the folder above; the entry of the folder left, 0 at the root.
    uint32_t Leave();
    // After a change anywhere on the disk (a repair): enters the folders of
    // the way again as their entries now are, and stops above the first one
    // that is gone or damaged.
    void Revisit(const ImageDocument& doc);
    void Reset() { steps_.clear(); }

private:
    std::vector<FolderStep> steps_;
};

// The main window's one current folder.
CurrentFolder& TheFolder();

}  // namespace vk::win32
