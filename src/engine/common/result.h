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

// What made an operation fail, for a caller to branch on; the notice says it
// to the user. Host failures take theirs from the host code (host_failure.h).
enum class FailureKind : uint8_t {
    kNone,          // not failed
    kNotFound,      // a path, folder or host file named is not there
    kExists,        // the name is taken by an entry or a file that stays
    kAccessDenied,  // the host refused the file or folder
    kDiskFull,      // no room: no free cluster, a full root or folder, a full host disk
    kBadName,       // a name or path given can name nothing: no 8.3 name, above the root, no plain file
    kDamaged,       // the image's structures are broken: a folder, a chain, a cluster two entries own
    kRefused,       // the image may not be changed, or the change would harm it or the open image
    kNotAnImage,    // the file or disk holds nothing this program takes for an image
    kNoPartitionChosen,  // the image is partitioned and no partition, or one it lacks, was named
    kNoMemberChosen,     // the zip holds several files and none, or one it lacks, was named
    kImpossible,    // a format or geometry no disk can have
    kOutOfMemory,
    kHostError,     // any other failure of the host or the drive
};

// A failure on its way to a Result, from a step that returns no Result itself.
struct Fault {
    FailureKind kind = FailureKind::kHostError;
    Notice notice;
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
    FailureKind kind = FailureKind::kNone;  // what `failure` is about; kNone unless kFailed
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

inline Result Failure(FailureKind kind, Notice notice, bool goOn = false) {
    Result result;
    result.status = Result::Status::kFailed;
    result.failure = std::move(notice);
    result.kind = kind;
    result.goOn = goOn;
    return result;
}

inline Result Failure(Fault fault, bool goOn = false) { return Failure(fault.kind, std::move(fault.notice), goOn); }

}  // namespace vk
