// vkdisk catalog and find: many images read at once, each by a worker of
// its own with a document of its own, the records written in path order.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define VK_ISATTY _isatty
#else
#include <unistd.h>
#define VK_ISATTY isatty
#endif

#include "engine/fat/dir/name_match.h"
#include "vkdisk/catalog.h"
#include "vkdisk/catalog_output.h"
#include "vkdisk/command_support.h"
#include "vkdisk/console_ports.h"

namespace vk::cli {
namespace {

const char kCatalogUsage[] =
    "usage: vkdisk catalog PATH... [--json|--csv] [--jobs N]\n"
    "\n"
    "Describes every image at or below each PATH: folders are searched for\n"
    "files ending in .dsk .di1 .di2 .flp .img .dmk .gz or .zip (any case), a\n"
    "file named directly is taken whatever its name. One record per image,\n"
    "sorted by path: its size, container, format, boot sector (msx-dos1,\n"
    "msx-dos2, ms-dos or other), OEM name, label, serial, free space, what a\n"
    "check finds (sound, how many findings, their kinds), and every file and\n"
    "folder with its path, size, date, attributes, CRC32 and SHA-1. An image\n"
    "that cannot be opened is a record with its error; a zip of several files\n"
    "gives one record per member named as an image is. Plain text by default;\n"
    "--json writes an array of records, --csv one row per file with the\n"
    "image's fields repeated (an image without files gives one row). Images\n"
    "are read by N workers at once (default: one per processor); a progress\n"
    "line is shown on a terminal. Nothing is written to the images and no\n"
    "question is asked. Exit 0: every image read and sound; 1: an image\n"
    "damaged or unreadable, or a PATH missing.\n";

const char kFindUsage[] =
    "usage: vkdisk find PATH... NAME-PATTERN [--jobs N]\n"
    "       vkdisk find PATH... --sha1 HASH [--jobs N]\n"
    "\n"
    "Searches the images at or below each PATH, as catalog finds them, for\n"
    "files whose name matches NAME-PATTERN (wildcards * and ?, case not\n"
    "minded; with / it is a path from the root, wildcards in the last part),\n"
    "or whose SHA-1 is HASH (40 hex digits). Prints one line per match: the\n"
    "image (a zip member as ZIP/MEMBER), a colon and the path inside it.\n"
    "Exit 0: something found; 1: nothing found.\n";

unsigned JobsOption(const ParsedArgs& parsed, bool& ok) {
    ok = true;
    const std::string text = parsed.Value("--jobs", parsed.Value("-j"));
    if (text.empty()) return std::max(1u, std::thread::hardware_concurrency());
    char* end = nullptr;
    const unsigned long jobs = std::strtoul(text.c_str(), &end, 10);
    ok = text[0] >= '0' && text[0] <= '9' && *end == '\0' && jobs >= 1 && jobs <= 256;
    return static_cast<unsigned>(jobs);
}

// Reads every path with `jobs` workers; the records come back in the order
// of `paths` (a zip's members in name order), whatever order the workers
// finish in.
std::vector<CatalogRecord> CatalogAll(const std::vector<std::string>& paths, unsigned jobs,
                                      const CatalogNeeds& needs = CatalogNeeds{}) {
    std::vector<std::vector<CatalogRecord>> perFile(paths.size());
    std::atomic<size_t> next{0};
    std::atomic<size_t> done{0};
    auto work = [&] {
        for (size_t i = next++; i < paths.size(); i = next++) {
            perFile[i] = CatalogImageFile(paths[i], needs);
            ++done;
        }
    };
    std::vector<std::thread> workers;
    for (unsigned k = 0; k < std::min<size_t>(jobs, std::max<size_t>(paths.size(), 1)); ++k) workers.emplace_back(work);
    if (VK_ISATTY(2)) {
        constexpr int kWidth = 30;
        for (size_t shown = SIZE_MAX;;) {
            const size_t now = done.load();
            if (now != shown) {
                const int filled = paths.empty() ? kWidth : static_cast<int>(now * kWidth / paths.size());
                std::fprintf(stderr, "\rvkdisk: [%s%s] %zu/%zu", std::string(filled, '#').c_str(),
                             std::string(kWidth - filled, ' ').c_str(), now, paths.size());
                std::fflush(stderr);
                shown = now;
            }
            if (now == paths.size()) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::fputc('\n', stderr);
    }
    for (std::thread& t : workers) t.join();
    std::vector<CatalogRecord> records;
    for (std::vector<CatalogRecord>& some : perFile) {
        for (CatalogRecord& record : some) records.push_back(std::move(record));
    }
    return records;
}

void PrintText(const CatalogRecord& r) {
    std::printf("%s%s\n", Printable(r.path).c_str(), r.member.empty() ? "" : (" [" + Printable(r.member) + "]").c_str());
    if (!r.readable) {
        std::printf("  error: %s\n", Printable(r.error).c_str());
        return;
    }
    std::string kinds;
    for (const std::string& k : r.findingKinds) kinds += " " + k;
    std::printf("  %s, %s, boot %s, OEM %s, label %s, serial %s, %s bytes free, %s\n", r.container.c_str(),
                r.format.c_str(), r.boot.c_str(), Printable(r.oem).c_str(),
                r.label.empty() ? "-" : Printable(r.label).c_str(), r.serial.empty() ? "-" : r.serial.c_str(),
                std::to_string(r.freeBytes).c_str(),
                r.sound ? "sound" : (std::to_string(r.findings) + " findings:" + kinds).c_str());
    for (const CatalogFile& f : r.files) {
        char crc[9] = "-";
        if (f.digested) std::snprintf(crc, sizeof crc, "%08x", f.crc32);
        std::printf("  %-40s %10s  %-19s %-5s %-8s %s\n", Printable(f.path).c_str(),
                    f.folder ? "<DIR>" : std::to_string(f.size).c_str(), f.date.c_str(), f.attributes.c_str(), crc,
                    f.digested ? f.sha1.c_str() : (f.folder ? "" : f.error.c_str()));
    }
}

bool MatchesPath(const std::string& pattern, const std::string& path) {
    const size_t slash = pattern.find_last_of("/\\");
    const size_t pathSlash = path.rfind('/');
    const std::string name = pathSlash == std::string::npos ? path : path.substr(pathSlash + 1);
    if (slash == std::string::npos) return MatchesName(pattern, name);
    std::string folder = pattern.substr(0, slash);
    std::replace(folder.begin(), folder.end(), '\\', '/');
    while (!folder.empty() && folder[0] == '/') folder.erase(0, 1);
    const std::string pathFolder = pathSlash == std::string::npos ? std::string() : path.substr(0, pathSlash);
    return SameName(folder, pathFolder) && MatchesName(pattern.substr(slash + 1), name);
}

bool PrepareCollection(const ParsedArgs& parsed, size_t skipLast, std::vector<std::string>& images, unsigned& jobs,
                       bool& missing) {
    bool jobsOk = true;
    jobs = JobsOption(parsed, jobsOk);
    if (!jobsOk) {
        Complain("--jobs needs a number from 1 to 256");
        return false;
    }
    std::vector<std::string> absent;
    images = FindImageFiles({parsed.positional.begin(), parsed.positional.end() - static_cast<std::ptrdiff_t>(skipLast)},
                            absent);
    for (const std::string& path : absent) Complain(path + ": no such file or folder");
    missing = !absent.empty();
    // A catalogue changes nothing and asks nothing: every question is answered No.
    SetAnswerMode(AnswerMode::kNo);
    return true;
}

}  // namespace

int CmdCatalog(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, {{"--json", "--csv"}, {"--jobs", "-j"}}, kCatalogUsage, 1, SIZE_MAX, parsed,
                        exitCode)) {
        return exitCode;
    }
    if (parsed.Has("--json") && parsed.Has("--csv")) {
        Complain("give --json or --csv, not both");
        return kExitUsage;
    }
    std::vector<std::string> images;
    unsigned jobs = 1;
    bool missing = false;
    if (!PrepareCollection(parsed, 0, images, jobs, missing)) return kExitUsage;
    const std::vector<CatalogRecord> records = CatalogAll(images, jobs);
    if (parsed.Has("--json")) {
        nlohmann::ordered_json all = nlohmann::ordered_json::array();
        for (const CatalogRecord& r : records) all.push_back(RecordJson(r));
        PrintJson(all);
    } else if (parsed.Has("--csv")) {
        PrintCsvHeader();
        for (const CatalogRecord& r : records) PrintCsvRows(r);
    } else {
        for (const CatalogRecord& r : records) PrintText(r);
    }
    const bool allSound =
        std::all_of(records.begin(), records.end(), [](const CatalogRecord& r) { return r.readable && r.sound; });
    return allSound && !missing ? kExitOk : kExitFailure;
}

int CmdFind(const Args& args) {
    ParsedArgs parsed;
    int exitCode = kExitOk;
    if (!PrepareCommand(args, {{}, {"--jobs", "-j", "--sha1"}}, kFindUsage, 1, SIZE_MAX, parsed, exitCode)) {
        return exitCode;
    }
    std::string hash = parsed.Value("--sha1");
    const bool byHash = parsed.values.count("--sha1") != 0;
    for (char& c : hash) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (byHash && (hash.size() != 40 || hash.find_first_not_of("0123456789abcdef") != std::string::npos)) {
        Complain("--sha1 needs 40 hexadecimal digits");
        return kExitUsage;
    }
    if (!byHash && parsed.positional.size() < 2) {
        Complain("missing arguments");
        std::fputs(kFindUsage, stderr);
        return kExitUsage;
    }
    std::vector<std::string> images;
    unsigned jobs = 1;
    bool missing = false;
    if (!PrepareCollection(parsed, byHash ? 0 : 1, images, jobs, missing)) return kExitUsage;
    const std::string pattern = byHash ? std::string() : parsed.positional.back();
    bool found = false;
    // A search reads what it compares: the names, or the SHA-1 of each file.
    const CatalogNeeds needs{false, false, byHash};
    for (const CatalogRecord& r : CatalogAll(images, jobs, needs)) {
        for (const CatalogFile& f : r.files) {
            if (byHash ? f.digested && f.sha1 == hash : !f.folder && MatchesPath(pattern, f.path)) {
                const std::string image = r.member.empty() ? r.path : r.path + "/" + r.member;
                std::printf("%s:%s\n", Printable(image).c_str(), Printable(f.path).c_str());
                found = true;
            }
        }
    }
    return found ? kExitOk : kExitFailure;
}

}  // namespace vk::cli
