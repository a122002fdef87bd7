// Extracting entries with the folders among them: each folder becomes a host
// folder holding its tree. The image never changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/common/result.h"
#include "engine/fat/ops/extract.h"
#include "engine/ports/prompts.h"

namespace vk {

struct ImageDocument;
class HostNameClaims;

// Writes every entry of `entries` into `hostFolder` (no trailing separator):
// a file as ExtractEntry writes it (`replaceFlags` as there), a folder as a
// host folder of its name (one there already is used; a file or a link
// standing there fails) with its whole tree below, each folder stamped with
// its entry's time after its contents are written. Every name passes
// SafeHostName, so nothing is written outside `hostFolder`. A damaged or
// looping folder is reported as damaged and skipped, nothing of it
// written; a label is reported as no file to save. Every failure is said and the
// walk goes on, except when an answer stops it; the result fails when
// anything failed, its last failure as `failure` and the others in
// `notices`. `written` counts the files written. Entries that would land on
// one host name get distinct ones (HostNameClaims, shared through `claims`
// by a caller that extracts more in the same command), each tail said in
// the result's notices with the entry's path and the host path it got, a
// done result's included. `replace` is the command's replace question when
// it offers Yes to all and Cancel; Cancel stops the walk.
Result ExtractTree(const ImageDocument& doc, const std::vector<uint32_t>& entries,
                   const std::string& hostFolder, unsigned replaceFlags, uint32_t* written = nullptr,
                   HostNameClaims* claims = nullptr, ItemQuestion* replace = nullptr);

}  // namespace vk
