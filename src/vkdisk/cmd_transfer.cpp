// vkdisk add and get: host files into the image and entries out of it,
// through the same steps as the Add file and Extract file commands.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "vkdisk/command_support.h"
#include "vkdisk/name_patterns.h"
#include "vkdisk/console_ports.h"
#include "engine/fat/add_file.h"
#include "engine/fat/dir_entry.h"
#include "engine/fat/extract.h"
#include "engine/fat/fs_options.h"
#include "engine/fat/list_texts.h"
#include "engine/fat/root_directory.h"
#include "engine/ports/host_files.h"

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
    "or declined; after a failure it stays as it was. Only plain files and\n"
    "folders are taken: devices, pipes and sockets are refused. Without a\n"
    "terminal an unasked replacement is declined, and the exit code is 1.\n";

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
    "trailing dots and blanks) become '_'; an existing link is replaced\n"
    "itself, never followed, and the image itself is never overwritten. Two\n"
    "entries that would land on one host name give the first only. The exit\n"
    "code is 1 when a NAME matches nothing, an extraction fails, an entry was\n"
    "left out, or a replacement was declined for want of a terminal.\n";

void DiscardAndClose(ImageDocument& doc) {
    doc.modified = false;
    CloseDocument();
}

// The line that says what a command left out because no one could be asked.
void ReportSkipped(const std::vector<std::string>& names, const char* what) {
    std::string list;
    for (const std::string& name : names) {
        list += (list.empty() ? "" : ", ") + name;
    }
    Complain(std::string("no terminal to ask, so ") + what + ": " + list +
             " (--force or --yes replaces, --no keeps without this complaint)");
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
    std::vector<std::string> skipped;
    for (size_t i = 1; i < parsed.positional.size(); ++i) {
        const unsigned unasked = UnaskedDeclines();
        const Result added = AddHostFile(doc, MainWindow(), parsed.positional[i]);
        Report(MainWindow(), added);
        if (UnaskedDeclines() != unasked) {
            skipped.push_back(parsed.positional[i]);
        }
        if (!added.Done() && !added.goOn) {
            failed = true;  // a declined replacement goes on and is no failure
            break;
        }
    }
    if (failed) {
        Complain("nothing was saved");
        DiscardAndClose(doc);
        return kExitFailure;
    }
    const bool saved = !doc.modified || Shown(SaveImage(doc));
    DiscardAndClose(doc);
    if (!skipped.empty()) {
        ReportSkipped(skipped, "these files did not replace the entries of their names");
    }
    return saved && skipped.empty() ? kExitOk : kExitFailure;
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
    if (!OpenDocument(parsed.positional[0], true)) return kExitFailure;

    std::vector<uint32_t> entries = ListedEntries(doc);
    const bool unmatched =
        !all && !ResolveNames(std::vector<std::string>(parsed.positional.begin() + 1, parsed.positional.end()), entries);
    const unsigned replaceFlags = parsed.Has("--force") || parsed.Has("-f") ? kReplaceSilently : kReplaceAsk;
    const SavePathChooser intoFolder = [&folder](WindowRef, std::string_view name, std::string& path) {
        path = (folder.empty() ? std::string(".") : folder) + HostPathSeparator() + std::string(name);
        return true;
    };
    bool ok = true;
    bool collided = false;
    std::set<std::string> written;
    std::vector<std::string> skipped;
    for (size_t i = 0; i < entries.size() && ok; ++i) {
        const std::string name = EntryDisplayName(doc.Area() + entries[i]);
        // Two entries whose names come out alike on the host: the second would
        // overwrite the first, which this very run wrote.
        const std::string hostName = SafeHostName(name);
        std::string key = hostName;  // hosts that ignore case count A.TXT and a.txt as one
        for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const bool isFile = !(doc.Area()[entries[i] + kDirAttr] & (kAttrDirectory | kAttrVolume));
        if (isFile && !written.insert(key).second) {
            Complain(name + " was not extracted: an entry before it has the same host name, " + hostName);
            collided = true;
            continue;
        }
        const unsigned unasked = UnaskedDeclines();
        const Result saved = SaveEntryAs(doc, MainWindow(), entries[i], intoFolder, replaceFlags);
        Report(MainWindow(), saved);
        ok = saved.goOn;
        if (UnaskedDeclines() != unasked) {
            skipped.push_back(name);
        }
    }
    DiscardAndClose(doc);
    if (!skipped.empty()) {
        ReportSkipped(skipped, "these entries did not replace the host files of their names");
    }
    return ok && !unmatched && !collided && skipped.empty() ? kExitOk : kExitFailure;
}

}  // namespace vk::cli
