// Names one command hands out, so that nothing it writes lands on what it
// wrote a moment before: host names for extracted entries, 8.3 names for
// added host files. A later claimant of a taken name gets a numeric tail,
// as Windows gives short names one (A_B~1.TXT, LONGNA~1.TXT).
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/common/notice.h"
#include "engine/fat/dir/dir_slot.h"
#include "engine/fat/dir/dir_walk.h"

namespace vk {

struct ImageDocument;

// Host names written by one extraction, at any depth. The first claimant
// keeps its name; a later one whose name equals a claimed one (case ignored:
// the host may ignore it) gets the first tail that nothing claimed and no
// host file holds. Only a name nobody claimed can meet a host file that was
// there before the command, so only that one is asked about.
class HostNameClaims {
public:
    // The name (a SafeHostName) under which an entry goes into `hostFolder`.
    std::string Claim(const std::string& hostFolder, const std::string& name);
    // The host path under which the entry at `entryPath` in the image, named
    // `name` (a SafeHostName), goes into `hostFolder`; when it got a tail,
    // `renamed` is the notice that says so.
    std::string ClaimPath(const std::string& hostFolder, const std::string& name, std::string_view entryPath,
                          std::optional<Notice>& renamed);
    // The names claimed in `hostFolder` so far, in the order they were given.
    std::vector<std::string> ClaimedIn(const std::string& hostFolder) const;

private:
    bool Take(const std::string& hostFolder, const std::string& name);
    std::set<std::string> taken_;
    std::vector<std::pair<std::string, std::string>> given_;  // folder, name
};

// What is said of a host file added under a tailed 8.3 name.
Notice AddedUnderTailNotice(std::string_view hostPath, std::string_view shortName);

// `shortName` (a display name such as "LONGNAME.TXT") with tail `number`:
// the base cut so that base and tail fit 8 bytes ("LONGNA~1.TXT"), never
// inside a UTF-8 character.
std::string ShortNameWithTail(std::string_view shortName, unsigned number);

// 8.3 names given by one add command, per image folder. Host files of one
// batch (the arguments, or one host folder's contents) that map to one 8.3
// name all get tails; a name met alone keeps it, so an entry that was on
// the disk before the command is still replaced after the question.
class ShortNameClaims {
public:
    // The 8.3 display name for each of `hostPaths`, all going into `dir`; an
    // empty name for a path the host does not find (the add reports it).
    // `listed`, when given, gets what the host said of each path, so that
    // the add need not ask again.
    std::vector<std::string> Plan(const ImageDocument& doc, DirRef dir, const std::vector<std::string>& hostPaths,
                                  std::vector<HostFindData>* listed = nullptr);
    // True when Plan gave `name` in `dir` with a numeric tail, not as the
    // host file's own short name.
    bool Tailed(DirRef dir, const std::string& name) const { return tailed_.count({dir.cluster, name}) != 0; }

private:
    bool Taken(const ImageDocument& doc, DirSlots& slots, const std::string& name) const;
    std::set<std::pair<uint32_t, std::string>> given_;
    std::set<std::pair<uint32_t, std::string>> tailed_;
};

}  // namespace vk
