// What every vkdisk command shares: parsing with the common options, and the
// one open document.
#pragma once

#include <cstdint>
#include <string>

#include "commands.h"
#include "core/document.h"
#include "options.h"

namespace vk::cli {

// Parses `args` with `known` plus --help, --yes and --no. Returns false when
// the command must end now with `exitCode` (help shown, or a usage error).
bool PrepareCommand(const Args& args, OptionSpec known, const char* usage, size_t minPositional,
                    size_t maxPositional, ParsedArgs& parsed, int& exitCode);

// The document vkdisk works on.
ImageDocument& Document();

// A standard format's code from its hex text ("F9"); false for anything else.
bool ParseFormatCode(const std::string& text, uint32_t& code);

// Prints "vkdisk: text" to stderr.
void Complain(const std::string& text);

// Opens the image for a change. False, already reported and closed again,
// when the file is write-protected or the image refuses every change.
bool OpenForChange(const std::string& path);

}  // namespace vk::cli
