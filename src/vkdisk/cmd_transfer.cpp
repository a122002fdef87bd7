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

#include "vkdisk/basic_text.h"
#include "vkdisk/command_support.h"
#include "vkdisk/name_patterns.h"
#include "vkdisk/console_ports.h"
#include "engine/fat/ops/add_file.h"
#include "engine/fat/ops/cluster_guard.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/dir_ops.h"
#include "engine/fat/ops/extract.h"
#include "engine/fat/ops/extract_tree.h"
#include "engine/fat/dir/short_names.h"
#include "engine/ports/host_text.h"
#include "engine/fat/dir/fs_options.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/ops/name_claims.h"
#include "engine/fat/dir/root_directory.h"
#include "engine/ports/host_failure.h"
#include "engine/ports/host_files.h"
#include "engine/strings/string_ids.h"

namespace vk::cli {
namespace {

const char kAddUsage[] =
    "usage: vkdisk add IMAGE FILE... [--to PATH] [-r] [--force] [--strict] [--tokenize] [--yes|--no]\n"
    "\n"
    "Copies host files into the image's root directory, or into the folder\n"
    "PATH (parts split at / or \\), under their 8.3 names. A host folder\n"
    "becomes an empty folder; with -r its files and folders come along, all\n"
    "the way down (a folder of that name there already takes them in). A full\n"
    "folder grows by one cluster; the root has a fixed size. Files of one run\n"
    "that map to one 8.3 name in one folder (a.b.c and ab.c, longname1.txt\n"
    "and longname2.txt) all get numeric tails, as Windows gives short names\n"
    "(LONGNA~1.TXT, LONGNA~2.TXT, taken by nothing else), each said in a line.\n"
    "With -r a link to a folder is not followed: it is skipped with a line\n"
    "naming it, and the exit code is 1; a link to a file adds the file. An\n"
    "existing entry of the same name (one that was there before the run) is\n"
    "replaced after a question; --force replaces without asking, --yes and\n"
    "--no answer every question. An empty FILE argument is refused before\n"
    "anything is done. --strict checks names under the strict rules (no\n"
    "characters above 0x7F) before cutting them.\n"
    "--tokenize stores each file that is an MSX-BASIC listing (in MSX\n"
    "characters, as SAVE \"NAME\",A writes it, or in UTF-8) as the program\n"
    "SAVE \"NAME\" stores; other files go in as they are. A listing with a\n"
    "line that has no number, or numbers out of order, stops the command.\n"
    "The image is saved once at the end, and only when every file was added\n"
    "or declined; after a failure it stays as it was. Only plain files and\n"
    "folders are taken: devices, pipes and sockets are refused. Without a\n"
    "terminal an unasked replacement is declined, and the exit code is 1.\n";

const char kGetUsage[] =
    "usage: vkdisk get IMAGE NAME... [-d DIR] [--force] [--basic-text [--utf8]] [--yes|--no]\n"
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
    "itself, never followed, and the image itself is never overwritten.\n"
    "Entries that would land on one host name in one run (A:B.TXT, A?B.TXT\n"
    "and A_B.TXT; case ignored) never overwrite each other: the first keeps\n"
    "the name, each later one gets a numeric tail as Windows short names do\n"
    "(A_B~1.TXT, A_B~2.TXT, taken by nothing else), and a line names the\n"
    "entry and the name it got. The question about replacing is only asked\n"
    "of host files that were there before the run. The exit code is 1 when a\n"
    "NAME matches nothing, an extraction fails, or a replacement was declined\n"
    "for want of a terminal.\n"
    "--basic-text writes each tokenized MSX-BASIC program NAME names as the\n"
    "listing SAVE \"NAME\",A writes (MSX characters, CR LF, a final ^Z), under\n"
    "the same name, so that it still loads on an MSX; with --utf8 as UTF-8\n"
    "with this host's line ends instead. Other files, and the files of\n"
    "folders, come out as they are.\n";

void DiscardAndClose(ImageDocument& doc) { doc.Discard(); }

// Writes the file just extracted to `path` again in `form`, when it is a
// tokenized program: beside it first, then in its place, with its time kept.
bool WriteAsText(const ImageDocument& doc, uint32_t entry, const std::string& path, TextForm form) {
    std::vector<uint8_t> bytes;
    if (!ReadEntryBytes(doc, entry, bytes).Done() ||
        ClassifyFileBytes(bytes.data(), bytes.size()) != FileKind::kTokenizedBasic) {
        return true;  // nothing to convert: the file stays as extracted
    }
    std::optional<Notice> stop;
    const std::vector<uint8_t> text = ConvertedBytes(bytes, form, stop);
    if (stop) Tell(*stop);
    std::error_code ec;
    const auto stamp = std::filesystem::last_write_time(path, ec);
    const std::string beside = path + ".vktext";
    if (std::FILE* out = std::fopen(beside.c_str(), "wb")) {
        const bool wrote = std::fwrite(text.data(), 1, text.size(), out) == text.size();
        if (std::fclose(out) == 0 && wrote) {
            std::filesystem::rename(beside, path, ec);
            if (!ec) {
                std::filesystem::last_write_time(path, stamp, ec);
                return !stop;
            }
        }
        std::remove(beside.c_str());
    }
    Complain(path + ": the listing could not be written");
    return false;
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
bool AddedFolder(ImageDocument& doc, const std::string& name, DirRef dir, DirRef& folder) {
    const uint32_t entry = FindPackedEntry(VolumeOf(doc), dir, PackShortName(name));
    if (entry == 0 || !(doc.Area()[entry + kDirAttr] & kAttrDirectory)) return false;
    folder = DirRef{Load16(doc.Area() + entry + kDirFirstCluster)};
    return true;
}

// What one add command keeps track of across its folders.
struct AddRun {
    AddRun(const ImageDocument& doc, const FileSystemOptions& options) : options(options), guard(doc) {}
    FileSystemOptions options;           // --force and --strict
    bool recursive = false;
    ClusterGuard guard;                  // one cluster map for every file of the command
    CommandSlots slots;                  // each folder's slots, walked once for every file of the command
    ShortNameClaims claims;              // 8.3 names given, so none is given twice
    std::vector<std::string> skipped;    // replacements declined for want of a terminal
    std::vector<std::string> links;      // links to folders, not followed
    std::optional<TokenizedCopies> tokenized;  // --tokenize: programs stored from listings
};

bool AddBatch(ImageDocument& doc, const std::vector<std::string>& hostPaths, DirRef dir, AddRun& run);

// Adds `hostPath` into `dir` as `name`, and with -r a host folder's contents
// into the folder it became, names sorted. False when the add must stop.
// `source` is the file read: `hostPath` itself, or its tokenized copy.
bool AddOne(ImageDocument& doc, const std::string& hostPath, const std::string& source, const std::string& name,
            const HostFindData* listed, DirRef dir, AddRun& run) {
    std::error_code error;
    // Only a recursive add looks at what the path is itself.
    const std::filesystem::file_status own =
        run.recursive ? std::filesystem::symlink_status(hostPath, error) : std::filesystem::file_status();
    // A link to a folder could lead anywhere, into the tree itself included.
    if (run.recursive && std::filesystem::is_symlink(own) && std::filesystem::is_directory(hostPath, error)) {
        Complain(hostPath + " is a link to a folder: not followed, skipped");
        run.links.push_back(hostPath);
        return true;
    }
    const unsigned unasked = UnaskedDeclines();
    const Result added = AddHostFile(doc, source, run.options, dir, name, &run.guard, &run.slots, listed);
    Report(added);
    if (UnaskedDeclines() != unasked) {
        run.skipped.push_back(hostPath);
    }
    if (!added.Done()) {
        return added.goOn;  // a declined replacement goes on and is no failure
    }
    if (!name.empty() && run.claims.Tailed(dir, name)) {
        Tell(AddedUnderTailNotice(hostPath, name));
    }
    if (!run.recursive || !std::filesystem::is_directory(own)) {
        return true;
    }
    DirRef folder;
    if (!AddedFolder(doc, name, dir, folder)) {
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
    return AddBatch(doc, children, folder, run);
}

// Host files going into one folder together: those of one 8.3 name get tails.
bool AddBatch(ImageDocument& doc, const std::vector<std::string>& hostPaths, DirRef dir, AddRun& run) {
    std::vector<std::string> sources = hostPaths;
    if (run.tokenized) {
        for (std::string& source : sources) {
            std::optional<Notice> fault;
            if (!run.tokenized->Substitute(source, fault)) {
                if (fault) Tell(*fault);
                Complain(source + (fault ? ": a listing that cannot be tokenized" : ": its tokenized copy could not be written"));
                return false;
            }
        }
    }
    std::vector<HostFindData> listed;
    const std::vector<std::string> names = run.claims.Plan(doc, dir, sources, &listed);
    for (size_t i = 0; i < hostPaths.size(); ++i) {
        // A path the plan did not find is looked up again, to say why.
        if (!AddOne(doc, hostPaths[i], sources[i], names[i], names[i].empty() ? nullptr : &listed[i], dir, run)) {
            return false;
        }
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
    Tell(ClassifyHostCode(error) == HostFailure::kNotFound
                           ? TextNotice(kMsgFolderMissing, Tone::kError, {folder, HostFolderOf(folder)})
                           : HostCreateFailure(folder, error));
    return false;
}

}  // namespace

int CmdAdd(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, ImageCommand({{"--force", "-f", "--strict", "-r", "--recursive", "--tokenize"}, {"--to"}}), kAddUsage, 2, SIZE_MAX,
                        parsed, exitCode)) {
        return exitCode;
    }
    const bool recursive = parsed.Has("-r") || parsed.Has("--recursive");
    for (size_t i = 1; i < parsed.positional.size(); ++i) {
        if (parsed.positional[i].empty()) {
            Complain("FILE argument " + std::to_string(i) + " is empty (\"\"): it names no host file; nothing was added");
            return kExitUsage;
        }
    }
    if (!OpenForChange(parsed)) return kExitFailure;
    ImageDocument& doc = Document();
    DirRef target;
    bool failed = !ResolveFolder(parsed.Value("--to"), target);
    AddRun run(doc, OptionsFrom(parsed));  // one cluster map for every file of the command
    run.recursive = recursive;
    if (parsed.Has("--tokenize")) run.tokenized.emplace();
    if (!failed) {
        failed = !AddBatch(doc, {parsed.positional.begin() + 1, parsed.positional.end()}, target, run);
    }
    if (failed) {
        Complain("nothing was saved");
        DiscardAndClose(doc);
        return kExitFailure;
    }
    const bool saved = !doc.modified || Shown(SaveImage(doc));
    DiscardAndClose(doc);
    if (!run.skipped.empty()) {
        ReportSkipped(run.skipped, "these files did not replace the entries of their names");
    }
    return saved && run.skipped.empty() && run.links.empty() ? kExitOk : kExitFailure;
}

int CmdGet(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, ImageCommand({{"--force", "-f", "--all", "--basic-text", "--utf8"}, {"-d", "--dir"}}), kGetUsage,
                        1, SIZE_MAX, parsed, exitCode)) {
        return exitCode;
    }
    const TextForm form = !parsed.Has("--basic-text") ? TextForm::kAsItIs
                          : parsed.Has("--utf8")      ? TextForm::kUtf8Listing
                                                      : TextForm::kMsxListing;
    if (parsed.Has("--utf8") && form == TextForm::kAsItIs) {
        Complain("--utf8 goes with --basic-text");
        return kExitUsage;
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
    if (!OpenDocument(parsed, true)) return kExitFailure;

    std::vector<uint32_t> entries = ListedEntries(doc);
    const bool unmatched =
        !all && !ResolveNames(std::vector<std::string>(parsed.positional.begin() + 1, parsed.positional.end()), entries);
    const unsigned replaceFlags = parsed.Has("--force") || parsed.Has("-f") ? kReplaceSilently : kReplaceAsk;
    if (!folder.empty() && !entries.empty() && !PrepareTargetFolder(folder)) {
        DiscardAndClose(doc);
        return kExitFailure;
    }
    bool ok = true;
    bool failedOne = false;  // a folder's tree went on past a failure
    HostNameClaims claims;   // nothing this run writes is written over by it
    const std::string into = folder.empty() ? std::string(".") : folder;
    std::vector<std::string> skipped;
    for (size_t i = 0; i < entries.size() && ok; ++i) {
        const std::string name = EntryDisplayName(doc.Area() + entries[i]);
        const unsigned unasked = UnaskedDeclines();
        const bool isFolder = (doc.Area()[entries[i] + kDirAttr] & (kAttrDirectory | kAttrVolume)) == kAttrDirectory;
        std::string written;
        const SavePathChooser intoFolder = [&](std::string_view safe, std::string& path) {
            std::optional<Notice> tailed;
            path = claims.ClaimPath(into, std::string(safe), name, tailed);
            if (tailed) Tell(*tailed);
            written = path;
            return true;
        };
        Result saved = isFolder ? ExtractTree(doc, {entries[i]}, into, replaceFlags, nullptr, &claims)
                                : SaveEntryAs(doc, entries[i], intoFolder, replaceFlags);
        if (!isFolder && form != TextForm::kAsItIs && saved.Done() && !written.empty() &&
            !WriteAsText(doc, entries[i], written, form)) {
            failedOne = true;
        }
        Report(saved);
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
    return ok && !failedOne && !unmatched && skipped.empty() ? kExitOk : kExitFailure;
}

}  // namespace vk::cli
