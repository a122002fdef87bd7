#include "vkdisk/name_patterns.h"

#include "engine/core/document.h"
#include "engine/fat/list_texts.h"
#include "engine/fat/name_match.h"
#include "vkdisk/command_support.h"

namespace vk::cli {

bool ResolveNames(const std::vector<std::string>& patterns, std::vector<uint32_t>& entries) {
    const ImageDocument& doc = Document();
    const std::vector<uint32_t> listed = ListedEntries(doc);
    std::vector<bool> chosen(listed.size(), false);
    bool ok = true;
    for (const std::string& pattern : patterns) {
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
    return ok;
}

}  // namespace vk::cli
