#include "vkdisk/name_patterns.h"

#include <algorithm>

#include "engine/core/document.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/dir/name_match.h"
#include "engine/ports/prompts.h"
#include "vkdisk/command_support.h"

namespace vk::cli {
namespace {

bool IsPath(const std::string& pattern) { return pattern.find_first_of("/\\") != std::string::npos; }

// Says what a failed look-up has to say; "not found" as a name without a
// path says it.
void TellLookup(const std::string& pattern, const Result& result) {
    if (result.kind == FailureKind::kNotFound && result.notices.empty()) {
        Complain("no entry matches '" + pattern + "'");
        return;
    }
    Report(result);
}

}  // namespace

bool ResolveNames(const std::vector<std::string>& patterns, std::vector<uint32_t>& entries) {
    const ImageDocument& doc = Document();
    const std::vector<uint32_t> listed = ListedEntries(doc);
    std::vector<bool> chosen(listed.size(), false);
    std::vector<uint32_t> inFolders;
    bool ok = true;
    for (const std::string& pattern : patterns) {
        if (IsPath(pattern)) {
            DirRef dir;
            std::vector<uint32_t> found;
            const Result resolved =
                ResolvePattern(VolumeOf(doc), pattern, dir, found);
            if (!resolved.Done()) {
                TellLookup(pattern, resolved);
                ok = false;
                continue;
            }
            Report(resolved);  // a folder whose chain broke off
            for (uint32_t entry : found) {
                const auto at = std::find(listed.begin(), listed.end(), entry);
                if (at != listed.end()) {
                    chosen[static_cast<size_t>(at - listed.begin())] = true;
                } else if (std::find(inFolders.begin(), inFolders.end(), entry) == inFolders.end()) {
                    inFolders.push_back(entry);
                }
            }
            continue;
        }
        bool any = false;
        for (size_t i = 0; i < listed.size(); ++i) {
            if (MatchesName(pattern, EntryDisplayName(doc.Area() + listed[i]))) {
                chosen[i] = true;
                any = true;
            }
        }
        if (!any) {
            Complain("no entry matches '" + pattern + "'");
            ok = false;
        }
    }
    entries.clear();
    for (size_t i = 0; i < listed.size(); ++i) {
        if (chosen[i]) {
            entries.push_back(listed[i]);
        }
    }
    entries.insert(entries.end(), inFolders.begin(), inFolders.end());
    return ok;
}

bool ResolveFolder(const std::string& path, DirRef& dir) {
    const ImageDocument& doc = Document();
    const Result resolved = ResolveDirectory(VolumeOf(doc), path, dir);
    if (!resolved.Done()) {
        Report(resolved);
        return false;
    }
    return true;
}

}  // namespace vk::cli
