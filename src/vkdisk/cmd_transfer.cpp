// vkdisk add and get: host files into the image and entries out of it,
// through the same steps as the Add file and Extract file commands.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "command_support.h"
#include "name_patterns.h"
#include "console_ports.h"
#include "fat/add_file.h"
#include "fat/dir_entry.h"
#include "fat/extract.h"
#include "fat/fs_options.h"
#include "fat/root_directory.h"
#include "ports/host_files.h"

namespace vk::cli {
namespace {

const char kAddUsage[] =
    "usage: vkdisk add IMAGE FILE... [--force] [--strict] [--yes|--no]\n"
    "\n"
    "Copies host files (or makes entries for host folders, without content)\n"
    "into the image's root directory under their 8.3 names. An existing entry\n"
    "of the same name is replaced after a question; --force replaces without\n"
    "asking, --yes and --no answer every question. --strict checks names\n"
    "under the strict rules (no characters above 0x7F) before cutting them.\n"
    "The image is saved once at the end, and only when every file was added\n"
    "or declined; after a failure it stays as it was.\n";

const char kGetUsage[] =
    "usage: vkdisk get IMAGE NAME... [-d DIR] [--force] [--yes|--no]\n"
    "       vkdisk get IMAGE --all -d DIR [--force] [--yes|--no]\n"
    "\n"
    "Extracts files of the root directory into DIR (default: the current\n"
    "folder), with their time stamps and attributes. A NAME may hold the DOS\n"
    "wildcards * and ?, matched without regard to case; \"*.*\" also matches\n"
    "names without an extension. --all takes every file. Folders and the\n"
    "volume label are skipped with a warning. An existing host file is\n"
    "replaced after a question; --force replaces without asking. Bytes that\n"
    "no host file name may hold (\\ / : * ? \" < > | and control bytes, and\n"
    "trailing dots and blanks) become '_'. The exit code is 1 when a NAME\n"
    "matches nothing or an extraction fails.\n";

void DiscardAndClose(ImageDocument& doc) {
    doc.modified = false;
    CloseImage(doc, false);
}

}  // namespace

int CmdAdd(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, {{"--force", "-f", "--strict"}, {}}, kAddUsage, 2, SIZE_MAX, parsed, exitCode)) {
        return exitCode;
    }
    FsOptions().forceSwitch = parsed.Has("--force") || parsed.Has("-f");
    if (parsed.Has("--strict")) FsOptions().nameStrength = NameStrength::kStrict;
    if (!OpenForChange(parsed.positional[0])) return kExitFailure;
    ImageDocument& doc = Document();
    bool failed = false;
    for (size_t i = 1; i < parsed.positional.size(); ++i) {
        bool goOn = true;
        if (!AddHostFile(doc, parsed.positional[i], &goOn) && !goOn) {
            failed = true;  // a declined replacement goes on and is no failure
            break;
        }
    }
    if (failed) {
        Complain("nothing was saved");
        DiscardAndClose(doc);
        return kExitFailure;
    }
    const bool saved = !doc.modified || SaveImage(doc);
    DiscardAndClose(doc);
    return saved ? kExitOk : kExitFailure;
}

int CmdGet(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, {{"--force", "-f", "--all"}, {"-d", "--dir"}}, kGetUsage, 1, SIZE_MAX, parsed,
                        exitCode)) {
        return exitCode;
    }
    const bool all = parsed.Has("--all");
    const std::string folder = parsed.Value("-d", parsed.Value("--dir"));
    const bool namesGiven = parsed.positional.size() > 1;
    if (all ? namesGiven || folder.empty() : !namesGiven) {
        Complain(all ? "--all takes no NAME and needs -d DIR" : "missing arguments");
        std::fputs(kGetUsage, stderr);
        return kExitUsage;
    }
    ImageDocument& doc = Document();
    if (!OpenImage(doc, MainWindow(), parsed.positional[0], true)) return kExitFailure;

    const std::vector<ConsoleItem>& items = ListItems();
    std::vector<bool> chosen(items.size(), all);
    std::vector<size_t> named;
    const bool unmatched =
        !ResolveNames(std::vector<std::string>(parsed.positional.begin() + 1, parsed.positional.end()), named);
    for (size_t i : named) chosen[i] = true;
    const unsigned replaceFlags = parsed.Has("--force") || parsed.Has("-f") ? kReplaceSilently : kReplaceAsk;
    const SavePathChooser intoFolder = [&folder](WindowRef, std::string_view name, std::string& path) {
        path = (folder.empty() ? std::string(".") : folder) + HostPathSeparator() + std::string(name);
        return true;
    };
    bool ok = true;
    for (size_t i = 0; i < items.size() && ok; ++i) {
        if (chosen[i]) ok = SaveEntryAs(doc, MainWindow(), items[i].text, items[i].entryOffset, intoFolder, replaceFlags);
    }
    DiscardAndClose(doc);
    return ok && !unmatched ? kExitOk : kExitFailure;
}

}  // namespace vk::cli
