#include "vkdisk/command_support.h"

#include <cstdio>
#include <cstdlib>

#include "engine/core/disk_format.h"
#include "engine/core/media_errors.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/strings/string_ids.h"
#include "engine/ports/host_files.h"

#include "vkdisk/console_ports.h"

namespace vk::cli {

FileSystemOptions OptionsFrom(const ParsedArgs& parsed) {
    FileSystemOptions options;
    options.forceSwitch = parsed.Has("--force") || parsed.Has("-f");
    if (parsed.Has("--strict")) options.nameStrength = NameStrength::kStrict;
    return options;
}

namespace {

const char kPartitionHelp[] =
    "\n"
    "--partition N (-p N) works on partition N of an image with a partition\n"
    "table (MBR or MSX-IDE), counted from 1 as MSX-DOS counts them: the\n"
    "primary partitions, then the logical ones. Such an image needs it.\n"
    "\n"
    "An image may be kept in a gzip or zip file: it is unpacked as it is read\n"
    "and packed again when it is saved. --member NAME works on the\n"
    "zip member NAME; a zip holding several files that may be images needs it.\n";

constexpr uint32_t kMaxPartitionNumber = 1000;

bool TakesImage(const KnownOptions& known) { return known.withValue.count("--partition") != 0; }

}  // namespace

KnownOptions ImageCommand(KnownOptions known) {
    known.withValue.insert({"--partition", "-p", "--member"});
    return known;
}

std::string MemberOption(const ParsedArgs& parsed) { return parsed.Value("--member"); }

uint32_t PartitionOption(const ParsedArgs& parsed) {
    const std::string text = parsed.Value("--partition", parsed.Value("-p"));
    char* end = nullptr;
    const unsigned long number = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || text[0] < '0' || text[0] > '9' || number == 0 ||
        number > kMaxPartitionNumber) {
        return 0;
    }
    return static_cast<uint32_t>(number);
}

bool PrepareCommand(const Args& args, KnownOptions known, const char* usage, size_t minPositional,
                    size_t maxPositional, ParsedArgs& parsed, int& exitCode) {
    known.flags.insert({"--help", "-h", "--yes", "-y", "--no", "-n"});
    parsed = ParseArgs(args, known);
    if (parsed.Has("--help") || parsed.Has("-h")) {
        std::fputs(usage, stdout);
        if (TakesImage(known)) std::fputs(kPartitionHelp, stdout);
        exitCode = kExitOk;
        return false;
    }
    if (parsed.error.empty() && (parsed.positional.size() < minPositional || parsed.positional.size() > maxPositional)) {
        parsed.error = parsed.positional.size() < minPositional ? "missing arguments" : "too many arguments";
    }
    if (parsed.error.empty() && (parsed.Has("--yes") || parsed.Has("-y")) && (parsed.Has("--no") || parsed.Has("-n"))) {
        parsed.error = "--yes and --no exclude each other";
    }
    if (parsed.error.empty() && parsed.values.count("--member") &&
        MemberOption(parsed).empty()) {
        parsed.error = "--member needs the name of a file in the zip";
    }
    if (parsed.error.empty() && (parsed.values.count("--partition") || parsed.values.count("-p")) &&
        PartitionOption(parsed) == 0) {
        parsed.error = "--partition needs a partition number from 1";
    }
    if (!parsed.error.empty()) {
        Complain(parsed.error);
        std::fputs(usage, stderr);
        exitCode = kExitUsage;
        return false;
    }
    if (parsed.Has("--yes") || parsed.Has("-y")) {
        SetAnswerMode(AnswerMode::kYes);
    } else if (parsed.Has("--no") || parsed.Has("-n")) {
        SetAnswerMode(AnswerMode::kNo);
    }
    return true;
}

ImageDocument& Document() {
    static ImageDocument doc;
    return doc;
}

bool ParseFormatCode(const std::string& text, uint32_t& code) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 16);
    if (text.empty() || *end != '\0' || value < kFirstFormatCode || value >= kCustomFormatCode ||
        !IsUsableFormat(FormatRow(static_cast<uint32_t>(value)))) {
        return false;
    }
    code = static_cast<uint32_t>(value);
    return true;
}

void Complain(const std::string& text) { std::fprintf(stderr, "vkdisk: %s\n", Printable(text).c_str()); }

bool ErrorFileMayGo(const std::string& imagePath, bool force, bool& existed) {
    const std::string der = ErrorFileName(imagePath);
    HostFindData found;
    existed = FindHostFile(der, found) == 0;
    if (existed && !force) {
        Complain(der + " exists; use --force to replace it");
        return false;
    }
    return true;
}

void TellErrorFileFate(const std::string& imagePath, bool existed) {
    const std::string der = ErrorFileName(imagePath);
    HostFindData found;
    if (existed && FindHostFile(der, found) != 0) {
        Complain("removed " + der + ": the new image has no bad sectors");
    } else if (existed) {
        Complain("replaced " + der + " with the new image's bad sectors");
    }
}

bool Shown(const Result& result) {
    Report(result);
    return result.Done();
}

bool OpenDocument(const ParsedArgs& parsed, bool readOnly) {
    ImageDocument& doc = Document();
    CloseDocument();
    const std::string& path = parsed.positional[0];
    const Result opened = OpenImage(doc, path, OpenOptions{readOnly, PartitionOption(parsed), MemberOption(parsed)});
    if (!Shown(opened)) {
        if (opened.kind == FailureKind::kNoPartitionChosen) {
            Complain("name the partition to work on with --partition N");
        } else if (opened.kind == FailureKind::kNoMemberChosen) {
            Complain("name the image to work on with --member NAME");
        }
        return false;
    }
    // A command that only reads saves nothing, so there is nothing to ask:
    // the mismatch is stated as a warning in the question's own words.
    if (!readOnly) {
        CheckBackupFat(doc);
    } else if (BackupFatDiffers(doc)) {
        Tell(TextNotice(kMsgBackupFatMismatch, Tone::kWarning));
    }
    return true;
}

void CloseDocument() { Shown(CloseImage(Document())); }

bool OpenForChange(const ParsedArgs& parsed) {
    ImageDocument& doc = Document();
    if (!OpenDocument(parsed, false)) {
        return false;
    }
    if (doc.readOnly || doc.changeBlock != ChangeBlock::kNone) {
        const std::string where = doc.partition != 0 ? " partition " + std::to_string(doc.partition) : "";
        Complain(parsed.positional[0] + where + " cannot be written; nothing was changed");
        CloseDocument();
        return false;
    }
    return true;
}

int SaveAndClose(bool keep, int exitCode) {
    ImageDocument& doc = Document();
    if (doc.modified && keep && !Shown(SaveImage(doc))) {
        exitCode = kExitFailure;
    }
    doc.Discard();
    return exitCode;
}

}  // namespace vk::cli
