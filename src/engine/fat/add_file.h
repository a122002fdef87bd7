// Copying host files into the root directory of the open image. A failed add
// leaves the image exactly as it was: everything an add changes is saved in
// an undo journal first and put back when a step fails.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/layout.h"
#include "engine/ports/host_files.h"

namespace vk {

struct ImageDocument;

// Adds the host file or folder at `hostPath`. `goOn`, when given, tells a
// multi-file caller whether to try its next file. Failures are reported.
bool AddHostFile(ImageDocument& doc, std::string_view hostPath, bool* goOn = nullptr);

class UndoJournal;

// Copies `byteCount` bytes of `file` into free clusters of the area and links
// them from the entry at `slotOffset` (firstCluster 0 for an empty file).
// Each cluster's old bytes go to `journal` before they are overwritten.
bool CopyFileToClusters(const Layout& layout, uint8_t* area, uint32_t length, const HostFile& file,
                        std::string_view hostPath, uint32_t slotOffset, uint32_t byteCount, bool* goOn,
                        UndoJournal& journal);

// The multi-file add of the Add file command over already chosen paths: one
// path is added on its own, several go on until one says stop. True when
// any file was added.
bool AddFiles(ImageDocument& doc, const std::vector<std::string>& paths);

}  // namespace vk
