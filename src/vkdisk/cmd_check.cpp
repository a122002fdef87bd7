// vkdisk check and undelete: the disk checked and mended as MSX-DOS reads
// it, and deleted entries brought back, through the same engine calls as
// VOLKARN's Check disk and Undelete dialogs.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/core/document.h"
#include "engine/fat/check/disk_check.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/name_match.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "vkdisk/command_support.h"
#include "vkdisk/console_ports.h"

namespace vk::cli {
namespace {

const char kCheckUsage[] =
    "usage: vkdisk check IMAGE... [--fix] [--lost=free] [--json]\n"
    "\n"
    "Checks each image as MSX-DOS reads it: FAT copies that differ, lost\n"
    "chains, cross-linked files and folders under two parents, chains that\n"
    "run into free, reserved, bad or absent clusters or loop, sizes that do\n"
    "not fit their chains, damaged folders, names and attributes no DOS\n"
    "accepts, stray long-name entries, and the bad-sector list (.der) against\n"
    "the clusters the FAT marks bad. One line per finding (where: a path or a\n"
    "cluster; what; what --fix does), then a summary per image. Without --fix\n"
    "nothing is written. --fix mends the image and saves it whole or not at\n"
    "all; the boot sector is never written, and an image whose boot sector\n"
    "describes no possible disk is reported and left as it is. Lost chains are\n"
    "kept as FOUND.000/FILE0000.CHK ..., or freed with --lost=free. --json\n"
    "prints the findings as JSON instead. Exit 0: every image sound; 1:\n"
    "findings (after --fix: findings left); 2: an image could not be read.\n";

const char kUndeleteUsage[] =
    "usage: vkdisk undelete IMAGE [NAME...] [--first C]\n"
    "\n"
    "Without NAME lists the deleted files and folders of the root and the\n"
    "folders that can still be recovered, their lost first character shown as\n"
    "'?'. With NAMEs (paths into folders with / or \\, wildcards * and ? in\n"
    "the last part; the first character of a name matches any) recovers them\n"
    "with C (default _) as their first character, their clusters taken as one\n"
    "run from their first cluster on, as MSX-DOS 2's UNDEL does. An entry\n"
    "whose clusters are in use, or whose recovered name is taken, is refused;\n"
    "the exit code is 1 then.\n";

std::string TextOf(const Notice& notice) {
    std::string text;
    if (notice.form == Notice::Form::kText) ExpandInserts(LoadText(notice.id), notice.inserts, text);
    return text;
}

std::string SlashPath(std::string path) {
    std::replace(path.begin(), path.end(), kPathSeparator, '/');
    return path;
}

std::string ShownPath(const std::string& path) { return Printable(SlashPath(path)); }

std::string Json(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20 || b >= 0x7F) {
            // Names may hold bytes of any code page: each is written as the code point of its value.
            out += "\\u00";
            out += kHex[b >> 4];
            out += kHex[b & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

struct ImageVerdict {
    std::string image;
    bool readable = true;
    bool fixed = false;     // --fix was asked and the image could be written
    bool saved = true;
    std::vector<Finding> findings;
    size_t left = 0;
    std::string reason;
};

void PrintLines(const ImageVerdict& v, bool fix) {
    for (const Finding& f : v.findings) {
        const char* label = !fix ? "--fix" : (v.fixed && v.saved && f.mendable ? "mended" : "left");
        std::printf("%s: %s: %s: %s (%s: %s)\n", Printable(v.image).c_str(), ShownPath(f.place).c_str(),
                    std::string(LoadText(FindingKindTextId(f.kind))).c_str(), Printable(TextOf(f.what)).c_str(),
                    label, Printable(TextOf(f.mend)).c_str());
    }
    if (!v.readable) return;
    const std::string image = Printable(v.image);
    if (v.findings.empty()) {
        std::printf("%s\n", TextOf(TextNotice(kMsgCheckSound, Tone::kPlain, {image})).c_str());
    } else if (!v.fixed) {
        std::printf("%s\n",
                    TextOf(TextNotice(kMsgCheckFindings, Tone::kPlain, {image, std::to_string(v.findings.size())})).c_str());
    } else {
        std::printf("%s\n", TextOf(TextNotice(kMsgCheckMended, Tone::kPlain,
                                              {image, std::to_string(v.findings.size() - std::min(v.left, v.findings.size())),
                                               std::to_string(v.left)}))
                                .c_str());
    }
}

void PrintJson(const std::vector<ImageVerdict>& verdicts) {
    std::printf("[");
    for (size_t i = 0; i < verdicts.size(); ++i) {
        const ImageVerdict& v = verdicts[i];
        std::printf("%s\n  {\"image\": %s, \"readable\": %s, \"sound\": %s, \"fixed\": %s, \"left\": %s,",
                    i == 0 ? "" : ",", Json(v.image).c_str(), v.readable ? "true" : "false",
                    v.readable && v.findings.empty() ? "true" : "false", v.fixed && v.saved ? "true" : "false",
                    std::to_string(v.left).c_str());
        if (!v.reason.empty()) std::printf(" \"reason\": %s,", Json(v.reason).c_str());
        std::printf(" \"findings\": [");
        for (size_t k = 0; k < v.findings.size(); ++k) {
            const Finding& f = v.findings[k];
            std::printf("%s\n    {\"kind\": \"%s\", \"place\": %s, \"cluster\": %u, \"what\": %s, \"mend\": %s, "
                        "\"mendable\": %s}",
                        k == 0 ? "" : ",", FindingKindKey(f.kind), Json(SlashPath(f.place)).c_str(), f.cluster,
                        Json(TextOf(f.what)).c_str(), Json(TextOf(f.mend)).c_str(), f.mendable ? "true" : "false");
        }
        std::printf("%s]}", v.findings.empty() ? "" : "\n  ");
    }
    std::printf("\n]\n");
}

ImageVerdict CheckOne(const std::string& path, uint32_t partition, const std::string& member, bool fix,
                      const CheckOptions& options) {
    ImageVerdict v;
    v.image = path;
    ImageDocument& doc = Document();
    CloseDocument();
    // The FAT copies are the check's own business: no backup-FAT question at opening.
    const Result opened = OpenImage(doc, path, OpenOptions{!fix, partition, member});
    if (!Shown(opened)) {
        if (opened.kind == FailureKind::kNoPartitionChosen) Complain("name the partition to check with --partition N");
        if (opened.kind == FailureKind::kNoMemberChosen) Complain("name the image to check with --member NAME");
        v.readable = false;
        v.reason = "cannot be opened";
        return v;
    }
    CheckReport report = CheckDisk(doc, options);
    if (!report.readable) {
        v.readable = false;
        v.reason = TextOf(report.reason);
        if (v.reason.empty()) v.reason = "cannot be checked";
        Complain(path + ": " + v.reason);
        doc.Discard();
        return v;
    }
    v.findings = report.findings;
    v.left = report.findings.size();
    if (!fix || report.Sound()) {
        doc.Discard();
        return v;
    }
    CheckReport mended;
    CheckReport left;
    const Result fixed = FixDisk(doc, options, mended, left);
    if (fixed.kind == FailureKind::kRefused) {
        Complain(path + " cannot be written; nothing was changed");
        doc.Discard();
        return v;
    }
    v.fixed = true;
    v.findings = mended.findings;
    v.left = left.findings.size();
    if (doc.modified && !Shown(SaveImage(doc))) {
        v.saved = false;
        v.left = report.findings.size();
    }
    doc.Discard();
    return v;
}

// The path of a deleted entry matches a NAME: folders by name, the last part
// with its first character free.
bool NamesDeleted(const std::string& pattern, const DeletedEntry& d) {
    std::vector<std::string> want = SplitPath(pattern);
    std::vector<std::string> have = SplitPath(d.path);
    if (want.empty() || want.size() != have.size()) return false;
    for (size_t i = 0; i + 1 < want.size(); ++i) {
        if (!SameName(want[i], have[i])) return false;
    }
    std::string last = want.back();
    last[0] = '?';
    return MatchesName(last, have.back());
}

}  // namespace

int CmdCheck(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, ImageCommand({{"--fix", "--json"}, {"--lost"}}), kCheckUsage, 1, SIZE_MAX, parsed,
                        exitCode)) {
        return exitCode;
    }
    const std::string lost = parsed.Value("--lost", "keep");
    if (lost != "keep" && lost != "free") {
        Complain("--lost takes keep or free, not '" + lost + "'");
        std::fputs(kCheckUsage, stderr);
        return kExitUsage;
    }
    CheckOptions options;
    options.freeLostChains = lost == "free";
    const bool fix = parsed.Has("--fix");
    SetAnswerMode(AnswerMode::kNo);
    std::vector<ImageVerdict> verdicts;
    for (const std::string& path : parsed.positional) {
        verdicts.push_back(CheckOne(path, PartitionOption(parsed), MemberOption(parsed), fix, options));
        const ImageVerdict& v = verdicts.back();
        const int code = !v.readable ? 2 : v.left != 0 ? 1 : 0;
        exitCode = std::max(exitCode, code);
        if (!parsed.Has("--json")) PrintLines(v, fix);
    }
    if (parsed.Has("--json")) PrintJson(verdicts);
    return exitCode;
}

int CmdUndelete(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, ImageCommand({{}, {"--first"}}), kUndeleteUsage, 1, SIZE_MAX, parsed, exitCode)) {
        return exitCode;
    }
    const std::string first = parsed.Value("--first", "_");
    if (first.size() != 1) {
        Complain("--first takes one character");
        std::fputs(kUndeleteUsage, stderr);
        return kExitUsage;
    }
    if (parsed.positional.size() == 1) {
        if (!OpenDocument(parsed, true)) return kExitFailure;
        for (const DeletedEntry& d : FindDeleted(Document())) {
            if (!d.recoverable) continue;
            std::printf("%-24s %12s\n", ShownPath(d.path).c_str(), d.folder ? "<DIR>" : std::to_string(d.size).c_str());
        }
        CloseDocument();
        return kExitOk;
    }
    if (!OpenForChange(parsed)) return kExitFailure;
    const std::vector<DeletedEntry> deleted = FindDeleted(Document());
    std::vector<uint32_t> entries;
    for (size_t i = 1; i < parsed.positional.size(); ++i) {
        // A recoverable entry first: an older one of the same name may have lost its clusters.
        const DeletedEntry* chosen = nullptr;
        for (const DeletedEntry& d : deleted) {
            if (!NamesDeleted(parsed.positional[i], d)) continue;
            if (chosen == nullptr || (!chosen->recoverable && d.recoverable)) chosen = &d;
        }
        if (chosen == nullptr) {
            Complain("no deleted entry '" + parsed.positional[i] + "'");
            exitCode = kExitFailure;
        } else if (std::find(entries.begin(), entries.end(), chosen->entry) == entries.end()) {
            entries.push_back(chosen->entry);
        }
    }
    const Result recovered = Undelete(Document(), entries, first[0]);
    Report(recovered);
    for (const uint32_t entry : recovered.changes.added) {
        for (const DeletedEntry& d : deleted) {
            if (d.entry != entry) continue;
            std::string path = d.path;
            path[path.size() - SplitPath(d.path).back().size()] =
                static_cast<char>(std::toupper(static_cast<unsigned char>(first[0])));
            std::printf("recovered %s\n", ShownPath(path).c_str());
        }
    }
    if (!recovered.Done()) exitCode = kExitFailure;
    return SaveAndClose(true, exitCode);
}

}  // namespace vk::cli
