// vkdisk mkdir and rmdir: folders made and removed anywhere in the tree,
// through the engine's folder operations.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/dir_ops.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/fs_options.h"
#include "engine/fat/dir/list_texts.h"
#include "vkdisk/command_support.h"
#include "vkdisk/console_ports.h"
#include "vkdisk/name_patterns.h"

namespace vk::cli {
namespace {

const char kMkdirUsage[] =
    "usage: vkdisk mkdir IMAGE PATH...\n"
    "\n"
    "Makes the empty folder PATH (parts split at / or \\); its parent must be\n"
    "there, and the last part must be a free 8.3 name there. A folder that is\n"
    "full grows by one cluster. The image is saved when every folder was made;\n"
    "otherwise it stays as it was and the exit code is 1.\n";

const char kRmdirUsage[] =
    "usage: vkdisk rmdir IMAGE PATH... [-r] [--force] [--yes|--no]\n"
    "\n"
    "Removes folders (wildcards * and ? in the last part of a PATH). A folder\n"
    "must be empty unless -r is given, which removes it with everything below\n"
    "it; the question names how many files it holds. Each folder is confirmed\n"
    "unless --force or --yes is given (without a terminal, the answer is\n"
    "Cancel). A damaged folder below is reported and nothing of it removed,\n"
    "and so is a folder whose clusters an entry outside it also uses.\n"
    "The image is saved when anything was removed; the exit code is 1 when a\n"
    "named folder is left.\n";

}  // namespace

int CmdMkdir(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, ImageCommand({}), kMkdirUsage, 2, SIZE_MAX, parsed, exitCode)) {
        return exitCode;
    }
    if (!OpenForChange(parsed)) {
        return kExitFailure;
    }
    for (size_t i = 1; i < parsed.positional.size(); ++i) {
        std::vector<std::string> parts = SplitPath(parsed.positional[i]);
        if (parts.empty()) {
            Complain("'" + parsed.positional[i] + "' names no folder to make");
            return SaveAndClose(false, kExitFailure);
        }
        const std::string name = parts.back();
        parts.pop_back();
        std::string parentPath;
        for (const std::string& part : parts) parentPath = JoinPath(parentPath, part);
        DirRef parent;
        if (!ResolveFolder(parentPath, parent)) {
            return SaveAndClose(false, kExitFailure);
        }
        if (!Shown(MakeFolderIn(Document(), parent, name, OptionsFrom(parsed)))) {
            return SaveAndClose(false, kExitFailure);
        }
    }
    return SaveAndClose(true, kExitOk);
}

int CmdRmdir(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, ImageCommand({{"-r", "--recursive", "--force", "-f"}, {}}), kRmdirUsage, 2, SIZE_MAX, parsed,
                        exitCode)) {
        return exitCode;
    }
    if (!OpenForChange(parsed)) {
        return kExitFailure;
    }
    std::vector<uint32_t> entries;
    if (!ResolveNames({parsed.positional.begin() + 1, parsed.positional.end()}, entries)) {
        return SaveAndClose(false, kExitFailure);
    }
    // A file is no folder to remove: it is named and left, as rm leaves folders.
    std::vector<uint32_t> folders;
    for (const uint32_t entry : entries) {
        const uint8_t attr = Document().Area()[entry + kDirAttr];
        if ((attr & (kAttrDirectory | kAttrVolume)) == kAttrDirectory) {
            folders.push_back(entry);
        } else {
            Complain(Printable(EntryDisplayName(Document().Area() + entry)) +
                     " is not a folder: vkdisk rm deletes files");
        }
    }
    const Result removed =
        RemoveFolders(Document(), folders, parsed.Has("-r") || parsed.Has("--recursive"), OptionsFrom(parsed));
    Report(removed);
    const bool allGone = removed.changes.removed.size() == entries.size();
    return SaveAndClose(true, allGone ? kExitOk : kExitFailure);
}

}  // namespace vk::cli
