#include "engine/fat/ops/extract_tree.h"

#include <unordered_set>
#include <utility>

#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "engine/core/write_safety.h"
#include "engine/fat/dir/dir_check.h"
#include "engine/fat/ops/dir_ops.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/dir_tree.h"
#include "engine/fat/ops/extract.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/ops/name_claims.h"
#include "engine/ports/host_files.h"
#include "engine/ports/host_failure.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

// One entry to write, found before anything is written, so that a folder the
// walk would not enter is known before its host folder would be made.
struct Item {
    uint32_t entryOffset;
    uint32_t depth;  // 0: an entry of `entries`
    std::string path;  // in the image, for messages
};

struct MadeFolder {
    std::string hostPath;
    uint32_t entryOffset;
};

class TreeExtraction {
public:
    TreeExtraction(const ImageDocument& doc, unsigned replaceFlags, HostNameClaims& claims,
                   ItemQuestion* replace)
        : doc_(doc), replaceFlags_(replaceFlags), claims_(claims), replace_(replace) {}

    // The entry itself, then (a folder) its tree; false when an answer stops everything.
    bool Entry(uint32_t entryOffset, const std::string& hostFolder) {
        const ConstVolume vol = VolumeOf(doc_);
        const uint8_t* area = vol.area;
        const uint8_t* e = area + entryOffset;
        const std::string name = EntryDisplayName(e);
        const std::string path =
            JoinPath(DirectoryPath(vol, DirectoryOf(doc_, entryOffset)), name);
        std::vector<Item> items{{entryOffset, 0, path}};
        std::unordered_set<uint32_t> skipped;
        const uint32_t firstCluster = Load16(e + kDirFirstCluster);
        if ((e[kDirAttr] & kAttrDirectory) && firstCluster == 0) {
            // Cluster 0 would name the root: such a folder is damaged, not the disk's top.
            skipped.insert(entryOffset);
            Fail(FailureKind::kDamaged, FolderFaultNotice(path));
        } else if (e[kDirAttr] & kAttrDirectory) {
            const TreeWalkEnd end = WalkTree(vol, DirRef{firstCluster},
                                             path, [&](const TreeItem& item) {
                                                 items.push_back(Item{item.entryOffset, item.depth + 1, item.path});
                                                 return true;
                                             });
            for (const TreeProblem& problem : end.problems) {
                skipped.insert(problem.entryOffset == 0 ? entryOffset : problem.entryOffset);
                Fail(FailureKind::kDamaged, FolderFaultNotice(problem.path));
            }
        }
        std::vector<std::string> hostFolders{hostFolder};
        for (const Item& item : items) {
            // Below a folder that could not be made, nothing is written.
            if (item.depth >= hostFolders.size()) continue;
            hostFolders.resize(item.depth + 1);
            const uint8_t* entry = area + item.entryOffset;
            if (entry[kDirAttr] & kAttrVolume) {
                Fail(FailureKind::kRefused, TextNotice(kMsgCannotSaveEntry, Tone::kWarning, {item.path}));
                continue;
            }
            if ((entry[kDirAttr] & kAttrDirectory) && skipped.count(item.entryOffset)) continue;
            const std::string target = Target(hostFolders.back(), entry, item.path);
            if (entry[kDirAttr] & kAttrDirectory) {
                bool existed = false;
                const uint32_t error = CreateHostFolder(target, existed);
                if (error != kHostSuccess) {
                    Fail(HostFailureKind(error), HostCreateFailure(target, error));
                    continue;
                }
                made_.push_back(MadeFolder{target, item.entryOffset});
                hostFolders.push_back(target);
            } else {
                Result one = ExtractEntry(doc_, item.entryOffset, replaceFlags_, target, replace_);
                if (one.Done()) {
                    ++written_;
                } else if (one.Failed()) {
                    Fail(one.kind, std::move(*one.failure));
                } else if (!one.goOn) {
                    return false;
                }
            }
        }
        return true;
    }

    // Folders' times last, innermost first: writing into a folder changes its time.
    void StampFolders() {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
            const uint8_t* e = doc_.Area() + it->entryOffset;
            DosDateTime stamp;
            stamp.date = Load16(e + kDirDate);
            stamp.time = Load16(e + kDirTime);
            HostTime time = 0;
            if (LocalDosToHostTime(stamp, time)) {
                SetHostFolderTime(it->hostPath, time);
            }
        }
    }

    Result Finish() {
        if (failures_.empty()) {
            Result result = Done();
            result.notices = std::move(said_);
            return result;
        }
        Result result = Failure(std::move(failures_.back()), true);
        failures_.pop_back();
        result.notices = std::move(said_);
        for (Fault& fault : failures_) result.notices.push_back(std::move(fault.notice));
        return result;
    }

    uint32_t Written() const { return written_; }

private:
    void Fail(FailureKind kind, Notice notice) { failures_.push_back(Fault{kind, std::move(notice)}); }

    // Where an entry goes in `hostFolder`: its own name, or one with a tail
    // when something this extraction wrote there has that name already.
    std::string Target(const std::string& hostFolder, const uint8_t* entry, const std::string& path) {
        std::optional<Notice> tailed;
        std::string target = claims_.ClaimPath(hostFolder, SafeHostName(EntryDisplayName(entry)), path, tailed);
        if (tailed) said_.push_back(*tailed);
        return target;
    }

    const ImageDocument& doc_;
    unsigned replaceFlags_;
    HostNameClaims& claims_;
    ItemQuestion* replace_;
    std::vector<MadeFolder> made_;
    std::vector<Notice> said_;
    std::vector<Fault> failures_;
    uint32_t written_ = 0;
};

}  // namespace

Result ExtractTree(const ImageDocument& doc, const std::vector<uint32_t>& entries,
                   const std::string& hostFolder, unsigned replaceFlags, uint32_t* written,
                   HostNameClaims* claims, ItemQuestion* replace) {
    if (std::optional<Notice> refusal = ExtractionRefusal(doc)) return Failure(FailureKind::kRefused, *refusal);
    HostNameClaims ownClaims;
    TreeExtraction extraction(doc, replaceFlags, claims != nullptr ? *claims : ownClaims, replace);
    bool goOn = true;
    for (const uint32_t entryOffset : entries) {
        if (!(goOn = extraction.Entry(entryOffset, hostFolder))) break;
    }
    extraction.StampFolders();
    if (written != nullptr) *written = extraction.Written();
    Result result = extraction.Finish();
    if (!goOn) {
        result.goOn = false;
        if (result.Done()) result = Declined(false);
    }
    return result;
}

}  // namespace vk
