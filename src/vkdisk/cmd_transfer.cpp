// vkdisk add and get: host files into the image and entries out of it,
// through the same steps as the Add file and Extract file commands.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "command_support.h"
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

char Fold(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool Glob(const char* pattern, const char* name) {
    for (; *pattern; ++pattern, ++name) {
        if (*pattern == '*') {
            for (const char* rest = name;; ++rest) {
                if (Glob(pattern + 1, rest)) return true;
                if (*rest == '\0') return false;
            }
        }
        if (*name == '\0' || (*pattern != '?' && Fold(*pattern) != Fold(*name))) return false;
    }
    return *name == '\0';
}

// DOS wildcards, where "NAME.*" also takes a name without an extension.
bool MatchesPattern(const std::string& pattern, const std::string& name) {
    if (Glob(pattern.c_str(), name.c_str())) return true;
    const bool anyExtension = pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0;
    return anyExtension && name.find('.') == std::string::npos &&
           Glob(pattern.substr(0, pattern.size() - 2).c_str(), name.c_str());
}

struct Listed {
    uint32_t offset;
    std::string name;  // as the list shows it
};

std::string DisplayName(const uint8_t* e) {
    std::string base(reinterpret_cast<const char*>(e + kDirName), kDirNameLength);
    std::string ext(reinterpret_cast<const char*>(e + kDirExt), kDirExtLength);
    while (!base.empty() && base.back() == ' ') base.pop_back();
    while (!ext.empty() && ext.back() == ' ') ext.pop_back();
    if (!base.empty() && base[0] == '\x05') base[0] = '\xE5';  // FAT's stand-in for a leading 0xE5
    return ext.empty() ? base : base + "." + ext;
}

// The files and folders of the root directory, as the main list holds them.
std::vector<Listed> ListRoot(const ImageDocument& doc) {
    std::vector<Listed> items;
    const Layout layout = doc.GetLayout();
    for (uint32_t i = 0;; ++i) {
        const uint32_t offset = RootEntryOffset(layout, doc.AreaLength(), i);
        if (offset == 0 || doc.Area()[offset] == kEntryNeverUsed) break;
        const uint8_t* e = doc.Area() + offset;
        if (e[kDirName] != kEntryDeleted && !(e[kDirAttr] & kAttrVolume)) items.push_back({offset, DisplayName(e)});
    }
    return items;
}

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
    ImageDocument& doc = Document();
    if (!OpenImage(doc, MainWindow(), parsed.positional[0])) return kExitFailure;
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

    const std::vector<Listed> items = ListRoot(doc);
    std::vector<bool> chosen(items.size(), all);
    bool unmatched = false;
    for (size_t p = 1; p < parsed.positional.size(); ++p) {
        bool any = false;
        for (size_t i = 0; i < items.size(); ++i) {
            if (MatchesPattern(parsed.positional[p], items[i].name)) chosen[i] = any = true;
        }
        if (!any) {
            Complain("no entry matches '" + parsed.positional[p] + "'");
            unmatched = true;
        }
    }
    const unsigned replaceFlags = parsed.Has("--force") || parsed.Has("-f") ? kReplaceSilently : kReplaceAsk;
    const SavePathChooser intoFolder = [&folder](WindowRef, std::string_view name, std::string& path) {
        path = (folder.empty() ? std::string(".") : folder) + HostPathSeparator() + std::string(name);
        return true;
    };
    bool ok = true;
    for (size_t i = 0; i < items.size() && ok; ++i) {
        if (chosen[i]) ok = SaveEntryAs(doc, MainWindow(), items[i].name, items[i].offset, intoFolder, replaceFlags);
    }
    DiscardAndClose(doc);
    return ok && !unmatched ? kExitOk : kExitFailure;
}

}  // namespace vk::cli
