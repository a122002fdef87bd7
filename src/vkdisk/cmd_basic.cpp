// vkdisk list: a file of the image on standard output as text, a tokenized
// MSX-BASIC program as its listing.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/basic/msx_charset.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/ops/extract.h"
#include "vkdisk/basic_text.h"
#include "vkdisk/command_support.h"
#include "vkdisk/commands.h"
#include "vkdisk/console_ports.h"
#include "vkdisk/name_patterns.h"

namespace vk::cli {
namespace {

const char kListUsage[] =
    "usage: vkdisk list IMAGE NAME\n"
    "\n"
    "Prints the file NAME of the image (a path into folders with / or \\) on\n"
    "standard output in UTF-8: a tokenized MSX-BASIC program as the listing\n"
    "LIST shows, any other file as text in the MSX character set. A program\n"
    "that is damaged is listed up to the fault, and the fault is said on\n"
    "standard error. Exit 0: listed whole; 1: not found, no file, or listed\n"
    "only up to a fault.\n";

}  // namespace

int CmdList(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, ImageCommand({{}, {}}), kListUsage, 2, 2, parsed, exitCode)) return exitCode;
    SetAnswerMode(AnswerMode::kNo);
    ImageDocument& doc = Document();
    if (!OpenDocument(parsed, true)) return kExitFailure;
    std::vector<uint32_t> entries;
    if (!ResolveNames({parsed.positional[1]}, entries) || entries.size() != 1 ||
        (doc.Area()[entries[0] + kDirAttr] & (kAttrDirectory | kAttrVolume)) != 0) {
        if (entries.size() > 1) Complain(parsed.positional[1] + ": names more than one file");
        else if (!entries.empty()) Complain(parsed.positional[1] + ": is no file");
        doc.Discard();
        return kExitFailure;
    }
    std::vector<uint8_t> bytes;
    const Result read = ReadEntryBytes(doc, entries[0], bytes);
    doc.Discard();
    Shown(read);
    std::optional<Notice> stop;
    const std::vector<uint8_t> text = ConvertedBytes(bytes, TextForm::kUtf8Listing, stop);
    const bool basic = ClassifyFileBytes(bytes.data(), bytes.size()) == FileKind::kTokenizedBasic;
    const std::string out = basic ? std::string(text.begin(), text.end())
                                  : MsxToUtf8(std::string(text.begin(), text.end()));
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (stop) Tell(*stop);
    return read.Done() && !stop ? kExitOk : kExitFailure;
}

}  // namespace vk::cli
