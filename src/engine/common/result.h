// What an engine operation ended with: done, declined by the user, or failed
// with a notice the caller shows; and which directory entries it added,
// removed or changed, so that a front end can bring its view up to date.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "engine/common/notice.h"

namespace vk {

// Directory entries an operation touched, by offset from the boot sector.
struct EntryChanges {
    std::vector<uint32_t> added;
    std::vector<uint32_t> removed;   // the entry is no longer live
    std::vector<uint32_t> changed;   // same entry, new name, attributes, size or contents

    bool Empty() const { return added.empty() && removed.empty() && changed.empty(); }
    void Append(const EntryChanges& other) {
        added.insert(added.end(), other.added.begin(), other.added.end());
        removed.insert(removed.end(), other.removed.begin(), other.removed.end());
        changed.insert(changed.end(), other.changed.begin(), other.changed.end());
    }
};

struct Result {
    enum class Status : uint8_t {
        kDone,
        kDeclined,  // the user said no or cancelled; nothing changed
        kFailed,    // `failure` says why; nothing changed unless `changes` says so
    };
    Status status = Status::kDone;
    std::vector<Notice> notices;    // said along the way (warnings, a comment), not yet shown
    std::optional<Notice> failure;  // not yet shown: the caller shows it after `notices`
    bool goOn = true;               // a caller walking several items goes on with its next one
    EntryChanges changes;

    bool Done() const { return status == Status::kDone; }
    bool Failed() const { return status == Status::kFailed; }
};

inline Result Done(EntryChanges changes = {}) {
    Result result;
    result.changes = std::move(changes);
    return result;
}

inline Result Declined(bool goOn) {
    Result result;
    result.status = Result::Status::kDeclined;
    result.goOn = goOn;
    return result;
}

inline Result Failure(Notice notice, bool goOn = false) {
    Result result;
    result.status = Result::Status::kFailed;
    result.failure = std::move(notice);
    result.goOn = goOn;
    return result;
}

}  // namespace vk
