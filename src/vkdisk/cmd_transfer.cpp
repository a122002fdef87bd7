// vkdisk add and get: host files and trees into the image and out of it,
// through the same steps as the Add file and Extract file commands.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "vkdisk/command_support.h"
#include "vkdisk/name_patterns.h"
#include "vkdisk/console_ports.h"
#include "engine/fat/add_file.h"
#include "engine/fat/dir_entry.h"
#include "engine/fat/dir_ops.h"
#include "engine/fat/extract.h"
#include "engine/fat/extract_tree.h"
#include "engine/fat/short_names.h"
#include "engine/ports/host_text.h"
#include "engine/fat/fs_options.h"
#include "engine/fat/list_texts.h"
#include "engine/fat/root_directory.h"
#include "engine/ports/host_failure.h"
#include "engine/ports/host_files.h"
#include "engine/strings/string_ids.h"

namespace vk::cli {
namespace {

const char kAddUsage[] =
    "usage: vkdisk add IMAGE FILE... [--to PATH] [-r] [--force] [--strict] [--yes|--no]\n"
    "\n"
    "Copies host files into the image's root directory, or into the folder\n"
    "PATH (parts split at / or \\), under their 8.3 names. A host folder\n"
    "becomes an empty folder; with -r its files and folders come along, all\n"
    "the way down (a folder of that name there already takes them in). A full\n"
    "folder grows by one cluster; the root has a fixed size. An existing entry\n"
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
    "Extracts entries into DIR (default: the current folder), with their time\n"
    "stamps and attributes; a missing DIR is made (its parent must be there).\n"
    "A NAME may hold the DOS wildcards * and ?, matched without regard to\n"
    "case; \"*.*\" also matches names without an extension.\n"
    "A NAME with / or \\ is a path into folders (GAMES/SHOOT/*.DAT); what it\n"
    "names lands in DIR under its own name. A folder becomes a host folder of\n"
    "its name holding its whole tree, each folder stamped with its time after\n"
    "its contents; --all takes the whole disk so. A damaged folder, or one\n"
    "that leads back into the tree, is reported and nothing of it written. The\n"
    "volume label is never extracted. Each file is written whole beside its\n"
    "target and then renamed into its place, so a failure leaves nothing\n"
    "half-written and an existing file as it was. An existing host file is\n"
    "replaced after a question; --force replaces without asking. Bytes that\n"
    "no host file name may hold (\\ / : * ? \" < > | and control bytes, and\n"
    "trailing dots and blanks) become '_'; an existing link is replaced\n"
    "itself, never followed, and the image itself is never overwritten. Two\n"
    "entries of one folder that would land on one host name give the first\n"
    "only. The exit code is 1 when a NAME matches nothing, an extraction\n"
    "fails, an entry was left out, or a replacement was declined for want of\n"
    "a terminal.\n";

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

namespace {

// The folder entry of `dir` an added host folder became or already was.
bool AddedFolder(ImageDocument& doc, const std::string& hostPath, DirRef dir, DirRef& folder) {
    HostFindData found;
    if (FindHostFile(hostPath, found) != 0) return false;
    std::string name = MakeShortName(found);
    HostUpperCase(name);
    const uint32_t entry = FindPackedEntry(doc.GetLayout(), doc.Area(), doc.AreaLength(), dir, PackShortName(name));
    if (entry == 0 || !(doc.Area()[entry + kDirAttr] & kAttrDirectory)) return false;
    folder = DirRef{Load16(doc.Area() + entry + kDirFirstCluster)};
    return true;
}

// Adds `hostPath` into `dir`, and with `recursive` a host folder's contents
// into the folder it became, names sorted. False when the add must stop.
bool AddOne(ImageDocument& doc, const std::string& hostPath, DirRef dir, bool recursive,
            std::vector<std::string>& skipped) {
    const unsigned unasked = UnaskedDeclines();
    const Result added = AddHostFile(doc, MainWindow(), hostPath, dir);
    Report(MainWindow(), added);
    if (UnaskedDeclines() != unasked) {
        skipped.push_back(hostPath);
    }
    if (!added.Done()) {
        return added.goOn;  // a declined replacement goes on and is no failure
    }
    std::error_code error;
    if (!recursive || !std::filesystem::is_directory(std::filesystem::symlink_status(hostPath, error))) {
        return true;
    }
    DirRef folder;
    if (!AddedFolder(doc, hostPath, dir, folder)) {
        Complain(hostPath + ": the folder it became is not found");
        return false;
    }
    std::vector<std::string> children;
    for (std::filesystem::directory_iterator it(hostPath, error), end; !error && it != end; it.increment(error)) {
        children.push_back(it->path().string());
    }
    if (error) {
        Complain(hostPath + ": " + error.message());
        return false;
    }
    std::sort(children.begin(), children.end());
    for (const std::string& child : children) {
        if (!AddOne(doc, child, folder, true, skipped)) return false;
    }
    return true;
}

// DIR of -d made when it is missing, one level as unzip -d makes it; false,
// said why, when it is not there and cannot be made.
bool PrepareTargetFolder(std::string folder) {
    uint32_t attributes = 0;
    // A link to a folder is the user's own choice of folder here.
    if (GetHostFileAttributes(folder, attributes) == kHostSuccess) {
        if (attributes & kHostDirectory) return true;
        Complain(folder + " is not a folder");
        return false;
    }
    bool existed = false;
    const uint32_t error = CreateHostFolder(folder, existed);
    if (error == kHostSuccess) return true;
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == HostPathSeparator())) folder.pop_back();
    Tell(MainWindow(), ClassifyHostCode(error) == HostFailure::kNotFound
                           ? TextNotice(kMsgFolderMissing, Tone::kError, {folder, HostFolderOf(folder)})
                           : HostCreateFailure(folder, error));
    return false;
}

}  // namespace

int CmdAdd(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, {{"--force", "-f", "--strict", "-r", "--recursive"}, {"--to"}}, kAddUsage, 2, SIZE_MAX,
                        parsed, exitCode)) {
        return exitCode;
    }
    FsOptions().forceSwitch = parsed.Has("--force") || parsed.Has("-f");
    if (parsed.Has("--strict")) FsOptions().nameStrength = NameStrength::kStrict;
    const bool recursive = parsed.Has("-r") || parsed.Has("--recursive");
    if (!OpenForChange(parsed.positional[0])) return kExitFailure;
    ImageDocument& doc = Document();
    DirRef target;
    bool failed = !ResolveFolder(parsed.Value("--to"), target);
    std::vector<std::string> skipped;
    for (size_t i = 1; i < parsed.positional.size() && !failed; ++i) {
        failed = !AddOne(doc, parsed.positional[i], target, recursive, skipped);
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
    if (!folder.empty() && !entries.empty() && !PrepareTargetFolder(folder)) {
        DiscardAndClose(doc);
        return kExitFailure;
    }
    bool ok = true;
    bool collided = false;
    bool failedOne = false;  // a folder's tree went on past a failure
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
        const bool isFolder = (doc.Area()[entries[i] + kDirAttr] & (kAttrDirectory | kAttrVolume)) == kAttrDirectory;
        const Result saved =
            isFolder ? ExtractTree(doc, MainWindow(), {entries[i]}, folder.empty() ? std::string(".") : folder,
                                   replaceFlags)
                     : SaveEntryAs(doc, MainWindow(), entries[i], intoFolder, replaceFlags);
        Report(MainWindow(), saved);
        ok = saved.goOn;
        failedOne = failedOne || (isFolder && saved.Failed());
        if (UnaskedDeclines() != unasked) {
            skipped.push_back(name);
        }
    }
    DiscardAndClose(doc);
    if (!skipped.empty()) {
        ReportSkipped(skipped, "these entries did not replace the host files of their names");
    }
    return ok && !failedOne && !unmatched && !collided && skipped.empty() ? kExitOk : kExitFailure;
}

}  // namespace vk::cli
