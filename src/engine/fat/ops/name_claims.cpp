#include "engine/fat/ops/name_claims.h"

#include <map>

#include "engine/core/document.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/dir_ops.h"
#include "engine/fat/dir/short_names.h"
#include "engine/ports/host_files.h"
#include "engine/ports/host_text.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/text_format.h"

namespace vk {
namespace {

constexpr char kTailMark = '~';
constexpr char kExtensionDot = '.';
// More tails than a FAT12 folder has entries are never needed.
constexpr unsigned kMostTails = 99999;

// A host name with a tail before its extension (the part after the last dot).
std::string HostNameWithTail(const std::string& name, unsigned number) {
    const size_t dot = name.rfind(kExtensionDot);
    const size_t split = dot == std::string::npos || dot == 0 ? name.size() : dot;
    return name.substr(0, split) + kTailMark + std::to_string(number) + name.substr(split);
}

// The 8.3 display name an add gives a host file: the host's own short name,
// else one made from its name, upper-cased. Empty when the file is not found.
std::string AddedShortName(std::string_view hostPath, HostFindData& found) {
    if (FindHostFile(hostPath, found) != kHostSuccess) return std::string();
    std::string name = MakeShortName(found);
    HostUpperCase(name);
    return name;
}

// What is said of an entry that went out under a tailed name: its path in
// the image and the host path it got.
Notice RenamedOnHostNotice(std::string_view entryPath, std::string_view hostPath) {
    return TextNotice(kMsgExtractedUnderTail, Tone::kInformation, {entryPath, hostPath});
}

}  // namespace

bool HostNameClaims::Take(const std::string& hostFolder, const std::string& name) {
    if (!taken_.insert(hostFolder + '\n' + AsciiUpper(name)).second) return false;
    given_.emplace_back(hostFolder, name);
    return true;
}

std::vector<std::string> HostNameClaims::ClaimedIn(const std::string& hostFolder) const {
    std::vector<std::string> names;
    for (const auto& claim : given_) {
        if (claim.first == hostFolder) names.push_back(claim.second);
    }
    return names;
}

std::string HostNameClaims::Claim(const std::string& hostFolder, const std::string& name) {
    if (Take(hostFolder, name)) {
        return name;
    }
    for (unsigned number = 1; number < kMostTails; ++number) {
        const std::string tailed = HostNameWithTail(name, number);
        uint32_t attributes = 0;
        if (GetHostFileAttributes(hostFolder + HostPathSeparator() + tailed, attributes) != kHostSuccess &&
            Take(hostFolder, tailed)) {
            return tailed;
        }
    }
    return name;  // unreachable in practice; the replace question guards it still
}

std::string HostNameClaims::ClaimPath(const std::string& hostFolder, const std::string& name,
                                      std::string_view entryPath, std::optional<Notice>& renamed) {
    const std::string claimed = Claim(hostFolder, name);
    std::string path = hostFolder + HostPathSeparator() + claimed;
    if (claimed != name) renamed = RenamedOnHostNotice(entryPath, path);
    return path;
}

Notice AddedUnderTailNotice(std::string_view hostPath, std::string_view shortName) {
    return TextNotice(kMsgAddedUnderTail, Tone::kInformation, {hostPath, shortName});
}

std::string ShortNameWithTail(std::string_view shortName, unsigned number) {
    const size_t dot = shortName.find(kExtensionDot);
    const std::string_view base = shortName.substr(0, dot);
    const std::string tail = kTailMark + std::to_string(number);
    const size_t room = kDirNameLength > tail.size() ? kDirNameLength - tail.size() : 0;
    std::string result(base.substr(0, CutWithoutSplitting(base, room)));
    result += tail;
    if (dot != std::string_view::npos) result += shortName.substr(dot);
    return result;
}


bool ShortNameClaims::Taken(const ImageDocument& doc, DirSlots& slots, const std::string& name) const {
    return given_.count({slots.Dir().cluster, name}) != 0 ||
           slots.Find(VolumeOf(doc), PackShortName(name)).offset != 0;
}

std::vector<std::string> ShortNameClaims::Plan(const ImageDocument& doc, DirRef dir,
                                               const std::vector<std::string>& hostPaths,
                                               std::vector<HostFindData>* listed) {
    std::vector<std::string> names;
    std::map<std::string, unsigned> uses;
    if (listed != nullptr) listed->assign(hostPaths.size(), HostFindData());
    for (size_t i = 0; i < hostPaths.size(); ++i) {
        HostFindData found;
        names.push_back(AddedShortName(hostPaths[i], found));
        if (listed != nullptr && !names.back().empty()) (*listed)[i] = std::move(found);
        if (!names.back().empty()) ++uses[names.back()];
    }
    // A name met once keeps it, unless this command gave it here already.
    std::vector<bool> tailed(names.size(), false);
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i].empty()) continue;
        tailed[i] = uses[names[i]] > 1 || given_.count({dir.cluster, names[i]}) != 0;
        if (!tailed[i]) given_.insert({dir.cluster, names[i]});
    }
    // One walk of the folder answers every candidate; nothing changes it while
    // the plan is made. A number passed over for a name stays taken, so the
    // next file of that name looks on from the last number it got.
    DirSlots slots(dir);
    std::map<std::string, unsigned> lastTail;
    for (size_t i = 0; i < names.size(); ++i) {
        if (!tailed[i]) continue;
        unsigned& last = lastTail[names[i]];
        for (unsigned number = last + 1; number < kMostTails; ++number) {
            const std::string candidate = ShortNameWithTail(names[i], number);
            if (uses.count(candidate) == 0 && !Taken(doc, slots, candidate)) {
                last = number;
                names[i] = candidate;
                tailed_.insert({dir.cluster, candidate});
                break;
            }
        }
        given_.insert({dir.cluster, names[i]});
    }
    return names;
}

}  // namespace vk
