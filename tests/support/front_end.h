// The tests' front end of the document: what the programs do around the
// engine's calls, so that every box of an operation comes where the program
// shows it: the result reported over its owner, the list filled after an
// open, the backup FAT checked last.
#pragma once

#include <string>

#include "engine/common/result.h"
#include "engine/core/document.h"
#include "tests/support/scripted_prompts.h"

namespace vk::test {

// Shows what `result` has to say over `owner`; true when it is done.
bool Shown(const Result& result, WindowRef owner = TestOwner());

// Opens `path` as VOLKARN does: closes the document, opens, shows the
// result over `owner` and checks the backup FAT. True when the image is open.
bool Open(ImageDocument& doc, WindowRef owner, const std::string& path, bool readOnly = false);

// A document the New dialog made: `made` shown over `owner`, then the
// backup FAT checked. True when there is a new document.
bool NewDocument(ImageDocument& doc, WindowRef owner, const Result& made);

// Closes the document with its question and the save's boxes over the main
// window. True when no document is left open.
bool Close(ImageDocument& doc);

}  // namespace vk::test
