#include "vkdisk/name_patterns.h"

#include "engine/fat/name_match.h"
#include "vkdisk/command_support.h"
#include "vkdisk/console_ports.h"

namespace vk::cli {

bool ResolveNames(const std::vector<std::string>& patterns, std::vector<size_t>& indices) {
    const std::vector<ConsoleItem>& items = ListItems();
    std::vector<bool> chosen(items.size(), false);
    bool ok = true;
    for (const std::string& pattern : patterns) {
        bool any = false;
        for (size_t i = 0; i < items.size(); ++i) {
            if (MatchesName(pattern, items[i].text)) {
                chosen[i] = true;
                any = true;
            }
        }
        if (!any) {
            Complain("no entry matches '" + pattern + "'");
            ok = false;
        }
    }
    indices.clear();
    for (size_t i = 0; i < items.size(); ++i) {
        if (chosen[i]) {
            indices.push_back(i);
        }
    }
    return ok;
}

}  // namespace vk::cli
