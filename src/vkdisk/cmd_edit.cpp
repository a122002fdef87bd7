// vkdisk ls, rm, ren, label and attr: the directories through the same
// steps the list, the Delete command, the label editor, the Volume page and
// the file properties page take.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "vkdisk/catalog.h"
#include "vkdisk/catalog_output.h"
#include "vkdisk/command_support.h"
#include "vkdisk/name_patterns.h"
#include "engine/strings/text_format.h"
#include "vkdisk/console_ports.h"
#include "engine/fat/ops/delete_rename.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/dir_ops.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/dir_tree.h"
#include "engine/fat/ops/file_properties.h"
#include "engine/fat/dir/fs_options.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/ops/volume_info.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"

namespace vk::cli {
namespace {

const char kLsUsage[] =
    "usage: vkdisk ls IMAGE [PATH] [-R] [--json]\n"
    "\n"
    "Lists the files and folders of the image's root directory, or of the\n"
    "folder PATH (parts split at / or \\): name, size, last change and\n"
    "attributes (R read-only, H hidden, A archive, S system, D directory),\n"
    "then the number of objects. -R lists every folder below as well, as ls -R\n"
    "does: each folder's block begins with its path from the root and a colon\n"
    "(\"/GAMES/SHOOT:\", \"/:\" for the root), the blocks separated by an empty\n"
    "line, parents before their folders. A damaged folder, or one that leads\n"
    "back into the tree, is reported and not entered; the exit code is 1 then.\n"
    "Numbers and dates follow the locale (LANG, LC_ALL), with years in four\n"
    "digits. Bytes below 0x20 and 0x7F in names are shown as \\xNN.\n"
    "--json writes the entries (with -R, those of every folder below as well)\n"
    "as a JSON array instead, each with the fields of vkdisk catalog's files:\n"
    "path, size, date, attributes, crc32 and sha1.\n";

const char kRmUsage[] =
    "usage: vkdisk rm IMAGE NAME... [--force] [--yes|--no]\n"
    "\n"
    "Deletes files. A NAME may hold the wildcards * and ?; case does not\n"
    "matter; a NAME with / or \\ is a path into folders (GAMES/*.SAV). Each\n"
    "file is confirmed unless --force or --yes is given (without a terminal,\n"
    "the answer is Cancel). Folders are never deleted: vkdisk rmdir removes\n"
    "them. A file whose clusters another entry also uses (a damaged disk) is\n"
    "kept, and the message names both. The image is saved when anything was\n"
    "deleted; the exit code is 1 when a named entry is left.\n";

const char kRenUsage[] =
    "usage: vkdisk ren IMAGE OLD NEW [--strict]\n"
    "\n"
    "Renames one entry; OLD may be a path into folders (GAMES/OLD.TXT), and\n"
    "NEW is the new name in the same folder, given alone or with that folder's\n"
    "path (GAMES/NEW.TXT); ren never moves an entry to another folder. NEW is\n"
    "upper-cased and must be an 8.3 name; --strict also refuses characters\n"
    "above 0x7F.\n";

const char kLabelUsage[] =
    "usage: vkdisk label IMAGE [TEXT | --remove]\n"
    "\n"
    "Without TEXT prints the volume label. TEXT (at most 11 characters) is\n"
    "stored as typed; --remove (or a blank TEXT) removes the label.\n";

const char kAttrUsage[] =
    "usage: vkdisk attr IMAGE NAME [+r|-r|+h|-h|+s|-s|+a|-a]...\n"
    "\n"
    "Sets (+) or clears (-) the read-only, hidden, system and archive bits of\n"
    "the entries NAME matches (wildcards * and ? allowed, a path into folders\n"
    "with / or \\). Without changes it prints their attributes.\n";

const KnownOptions kAttrWords = {{}, {}, {"-r", "-h", "-s", "-a", "-R", "-H", "-S", "-A"}};

}  // namespace

int CmdLs(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, ImageCommand({{"-R", "--recursive", "--json"}, {}}), kLsUsage, 1, 2, parsed, exitCode)) {
        return exitCode;
    }
    const bool recursive = parsed.Has("-R") || parsed.Has("--recursive");
    // Looking changes nothing: the backup-FAT question is answered No.
    SetAnswerMode(AnswerMode::kNo);
    ImageDocument& doc = Document();
    if (!OpenDocument(parsed, true)) {
        return kExitFailure;
    }
    DirRef top;
    if (parsed.positional.size() == 2 && !ResolveFolder(parsed.positional[1], top)) {
        CloseDocument();
        return kExitFailure;
    }
    const ConstVolume vol = VolumeOf(doc);
    const std::string topPath = parsed.positional.size() == 2 ? DirectoryPath(vol, top) : std::string();
    if (parsed.Has("--json")) {
        nlohmann::ordered_json files = nlohmann::ordered_json::array();
        for (const CatalogFile& file : CatalogFiles(doc, top, topPath, recursive)) files.push_back(FileJson(file));
        PrintJson(files);
        CloseDocument();
        return exitCode;
    }
    std::vector<std::pair<std::string, DirRef>> folders{{topPath, top}};
    if (recursive) {
        std::vector<std::pair<std::string, uint32_t>> found;  // every folder below, parents first
        const TreeWalkEnd end = WalkTree(vol, top, topPath, [&](const TreeItem& item) {
            if (doc.Area()[item.entryOffset + kDirAttr] & kAttrDirectory) found.emplace_back(item.path, item.entryOffset);
            return true;
        });
        for (const auto& folder : found) {
            const bool skipped = std::any_of(end.problems.begin(), end.problems.end(),
                                             [&](const TreeProblem& p) { return p.entryOffset == folder.second; });
            if (!skipped) folders.emplace_back(folder.first, DirRef{Load16(doc.Area() + folder.second + kDirFirstCluster)});
        }
        for (const Notice& problem : ProblemNotices(end)) Tell(problem);
        if (!end.problems.empty()) exitCode = kExitFailure;
    }
    for (size_t i = 0; i < folders.size(); ++i) {
        if (recursive) {
            std::string heading = "/" + folders[i].first;
            std::replace(heading.begin(), heading.end(), kPathSeparator, '/');
            std::printf("%s%s:\n", i == 0 ? "" : "\n", Printable(heading).c_str());
        }
        const std::vector<uint32_t> entries = ListedEntries(doc, folders[i].second);
        for (const uint32_t entry : entries) {
            const ListColumns c = EntryColumns(doc.Area() + entry);
            std::printf("%-12s %14s  %-24s %s\n", Printable(c.name).c_str(), c.size.c_str(), c.lastChange.c_str(),
                        c.attributes.c_str());
        }
        std::printf("%s\n", FillConversions(LoadText(kStrObjectCount), {std::to_string(entries.size())}).c_str());
    }
    CloseDocument();
    return exitCode;
}

int CmdRm(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, ImageCommand({{"--force", "-f"}, {}}), kRmUsage, 2, SIZE_MAX, parsed, exitCode)) {
        return exitCode;
    }
    if (!OpenForChange(parsed)) {
        return kExitFailure;
    }
    std::vector<uint32_t> entries;
    if (!ResolveNames({parsed.positional.begin() + 1, parsed.positional.end()}, entries)) {
        return SaveAndClose(false, kExitFailure);
    }
    const Result deleted = DeleteEntries(Document(), entries, OptionsFrom(parsed));
    Report(deleted);
    for (const uint32_t entry : entries) {
        if (Document().Area()[entry + kDirAttr] & kAttrDirectory) {
            Complain(Printable(EntryDisplayName(Document().Area() + entry)) +
                     " is a folder: vkdisk rmdir removes folders");
        }
    }
    const bool allGone = deleted.changes.removed.size() == entries.size();
    // What the user confirmed stays deleted even when other names were kept.
    return SaveAndClose(true, allGone ? kExitOk : kExitFailure);
}

int CmdRen(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, ImageCommand({{"--strict"}, {}}), kRenUsage, 3, 3, parsed, exitCode)) {
        return exitCode;
    }
    if (!OpenForChange(parsed)) {
        return kExitFailure;
    }
    std::vector<uint32_t> entries;
    if (!ResolveNames({parsed.positional[1]}, entries)) {
        return SaveAndClose(false, kExitFailure);
    }
    if (entries.size() != 1) {
        Complain("'" + parsed.positional[1] + "' names " + std::to_string(entries.size()) +
                 " entries; ren renames one");
        return SaveAndClose(false, kExitFailure);
    }
    // NEW may repeat OLD's folder (GAMES/OLD.TXT GAMES/NEW.TXT); ren never moves.
    std::vector<std::string> newParts = SplitPath(parsed.positional[2]);
    std::string newName = parsed.positional[2];
    if (newParts.size() > 1 || newName.find_first_of("/\\") != std::string::npos) {
        if (newParts.empty()) {
            Complain("'" + parsed.positional[2] + "' holds no new name");
            return SaveAndClose(false, kExitFailure);
        }
        newName = newParts.back();
        newParts.pop_back();
        std::string folderPath;
        for (const std::string& part : newParts) folderPath = JoinPath(folderPath, part);
        DirRef newFolder;
        if (!ResolveFolder(folderPath, newFolder)) {
            return SaveAndClose(false, kExitFailure);
        }
        if (newFolder != DirectoryOf(Document(), entries[0])) {
            Complain("'" + parsed.positional[2] + "' lies in another folder than '" + parsed.positional[1] +
                     "': ren renames inside one folder and never moves");
            return SaveAndClose(false, kExitFailure);
        }
    }
    const Result renamed = RenameEntry(Document(), entries[0], &newName, OptionsFrom(parsed));
    Report(renamed);
    return SaveAndClose(renamed.Done(), renamed.Done() ? kExitOk : kExitFailure);
}

int CmdLabel(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, ImageCommand({{"--remove"}, {}}), kLabelUsage, 1, 2, parsed, exitCode)) {
        return exitCode;
    }
    const bool remove = parsed.Has("--remove");
    const bool set = parsed.positional.size() == 2;
    if (remove && set) {
        Complain("give a TEXT or --remove, not both");
        std::fputs(kLabelUsage, stderr);
        return kExitUsage;
    }
    if (set && parsed.positional[1].size() > kLabelLength) {
        Complain("a volume label has at most 11 characters");
        return kExitUsage;
    }
    if (!remove && !set) {
        SetAnswerMode(AnswerMode::kNo);
        ImageDocument& doc = Document();
        if (!OpenDocument(parsed, true)) {
            return kExitFailure;
        }
        const VolumeFigures figures = ReadVolumeFigures(doc);
        if (figures.labelOffset != 0) {
            std::printf("%s\n", Printable(figures.labelText).c_str());
        }
        CloseDocument();
        return kExitOk;
    }
    if (!OpenForChange(parsed)) {
        return kExitFailure;
    }
    ImageDocument& doc = Document();
    const VolumeFigures opened = ReadVolumeFigures(doc);
    const Result applied = ApplyVolumeLabel(doc, opened, set ? parsed.positional[1] : std::string());
    Report(applied);
    return SaveAndClose(applied.Done(), applied.Done() ? kExitOk : kExitFailure);
}

int CmdAttr(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, ImageCommand(kAttrWords), kAttrUsage, 2, SIZE_MAX, parsed, exitCode)) {
        return exitCode;
    }
    // Words after the name that look like changes are changes; the rest are more names.
    uint8_t setBits = 0;
    uint8_t clearBits = 0;
    std::vector<std::string> names;
    for (size_t i = 1; i < parsed.positional.size(); ++i) {
        const std::string& word = parsed.positional[i];
        const bool isChange = word.size() == 2 && (word[0] == '+' || word[0] == '-') &&
                              std::string("RHSA").find(static_cast<char>(std::toupper(static_cast<unsigned char>(word[1])))) != std::string::npos;
        if (!isChange) {
            names.push_back(word);
            continue;
        }
        static const uint8_t kBits[] = {kAttrReadOnly, kAttrHidden, kAttrSystem, kAttrArchive};
        const uint8_t bit = kBits[std::string("RHSA").find(static_cast<char>(std::toupper(static_cast<unsigned char>(word[1]))))];
        (word[0] == '+' ? setBits : clearBits) |= bit;
        (word[0] == '+' ? clearBits : setBits) &= static_cast<uint8_t>(~bit);
    }
    if (names.empty()) {
        Complain("missing NAME");
        std::fputs(kAttrUsage, stderr);
        return kExitUsage;
    }
    const bool change = setBits != 0 || clearBits != 0;
    if (!change) {
        SetAnswerMode(AnswerMode::kNo);
    }
    ImageDocument& doc = Document();
    if (change ? !OpenForChange(parsed) : !OpenDocument(parsed, true)) {
        return kExitFailure;
    }
    std::vector<uint32_t> entries;
    if (!ResolveNames(names, entries)) {
        return SaveAndClose(false, kExitFailure);
    }
    for (const uint32_t entry : entries) {
        const uint8_t attr = doc.Area()[entry + kDirAttr];
        if (change) {
            const uint8_t bits = static_cast<uint8_t>(((attr & kAttrEditable) | setBits) & ~clearBits);
            Report(ApplyFileAttributes(doc, entry, bits));
        } else {
            std::printf("%s  %s\n", AttributeText(attr).c_str(), Printable(EntryDisplayName(doc.Area() + entry)).c_str());
        }
    }
    return SaveAndClose(true, kExitOk);
}

}  // namespace vk::cli
