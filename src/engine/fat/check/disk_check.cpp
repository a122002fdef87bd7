#include "engine/fat/check/disk_check.h"

#include <cstring>
#include <ctime>

#include "engine/common/local_time.h"
#include "engine/core/document.h"
#include "engine/core/media_errors.h"
#include "engine/core/write_safety.h"
#include "engine/fat/check/repair.h"
#include "engine/fat/ops/volume_info.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"

namespace vk {
namespace {

struct KindNames {
    FindingKind kind;
    unsigned textId;
    const char* key;
};

constexpr KindNames kKindNames[] = {
    {FindingKind::kBootSector, kStrFindBootSector, "boot-sector"},
    {FindingKind::kFatCopiesDiffer, kStrFindFatCopies, "fat-copies-differ"},
    {FindingKind::kLostChain, kStrFindLostChain, "lost-chain"},
    {FindingKind::kCrossLink, kStrFindCrossLink, "cross-link"},
    {FindingKind::kSharedFolder, kStrFindSharedFolder, "shared-folder"},
    {FindingKind::kChainIntoFree, kStrFindChainIntoFree, "chain-into-free"},
    {FindingKind::kChainIntoReserved, kStrFindChainIntoReserved, "chain-into-reserved"},
    {FindingKind::kChainIntoBad, kStrFindChainIntoBad, "chain-into-bad"},
    {FindingKind::kChainOutOfRange, kStrFindChainOutOfRange, "chain-out-of-range"},
    {FindingKind::kLoop, kStrFindLoop, "chain-loop"},
    {FindingKind::kSizeLongerThanChain, kStrFindSizeLonger, "size-longer-than-chain"},
    {FindingKind::kChainLongerThanSize, kStrFindChainLonger, "chain-longer-than-size"},
    {FindingKind::kDotEntries, kStrFindDotEntries, "dot-entries"},
    {FindingKind::kInvalidFolder, kStrFindInvalidFolder, "invalid-folder"},
    {FindingKind::kBadName, kStrFindBadName, "bad-name"},
    {FindingKind::kBadAttributes, kStrFindBadAttributes, "bad-attributes"},
    {FindingKind::kStrayLongName, kStrFindStrayLongName, "stray-long-name"},
    {FindingKind::kBadSectorNotInFat, kStrFindBadSectorNotInFat, "bad-sector-not-in-fat"},
    {FindingKind::kBadClusterNotListed, kStrFindBadClusterNotListed, "bad-cluster-not-listed"},
};

const KindNames& NamesOf(FindingKind kind) {
    for (const KindNames& names : kKindNames) {
        if (names.kind == kind) return names;
    }
    return kKindNames[0];
}

// A boot sector the engine will not change gives nothing to walk: its layout is a guess or impossible.
bool UncheckableBootSector(const ImageDocument& doc) {
    return doc.geometryGuessed || doc.changeBlock == ChangeBlock::kInvalidBootSector ||
           doc.changeBlock == ChangeBlock::kImpossibleLayout || doc.changeBlock == ChangeBlock::kLayoutOutsideImage;
}

Finding BootSectorFinding() {
    Finding f;
    f.kind = FindingKind::kBootSector;
    f.place = std::string(LoadText(kStrFindBootSector));
    f.what = TextNotice(kMsgWhatBootSector, Tone::kWarning);
    f.mend = TextNotice(kMsgMendNothing, Tone::kInformation);
    f.mendable = false;
    return f;
}

bool CopyBlock(const uint8_t* data, size_t size, ByteBlock& copy) {
    if (data == nullptr) return true;  // nothing to copy: the copy stays empty
    if (!copy.Allocate(size)) return false;
    std::memcpy(copy.data(), data, size);
    return true;
}

// The bad-sector list numbers a floppy's sectors from its boot sector; a
// partition of a larger image has no list of its own to compare with.
ByteBlock* ListOf(const ImageDocument& doc, ByteBlock& list) { return doc.partition == 0 ? &list : nullptr; }

DosDateTime Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    return LocalTime(now, local) ? PackDosStamp(local) : DosDateTime{};
}

}  // namespace

unsigned FindingKindTextId(FindingKind kind) { return NamesOf(kind).textId; }
const char* FindingKindKey(FindingKind kind) { return NamesOf(kind).key; }

CheckReport CheckDisk(const ImageDocument& doc, const CheckOptions& options) {
    CheckReport report;
    if (!doc.IsOpen() || doc.changeBlock == ChangeBlock::kFat32) {
        report.readable = false;
        if (const auto notice = ChangeBlockNotice(doc)) report.reason = *notice;
        return report;
    }
    if (UncheckableBootSector(doc)) {
        report.findings.push_back(BootSectorFinding());
        return report;
    }
    // The mends run on a copy, so that the report says what a fix will do.
    ByteBlock scratch;
    ByteBlock list;
    if (!CopyBlock(doc.Area(), doc.AreaLength(), scratch) ||
        !CopyBlock(doc.errorList.data(), doc.errorList.size(), list)) {
        report.readable = false;
        return report;
    }
    RepairTarget target{Volume(doc.GetLayout(), scratch.data(), doc.AreaLength()), ListOf(doc, list),
                        HasMediaErrors(doc)};
    target.firstFatInForce = doc.modified;
    report.findings = RunRepair(target, options).findings;
    return report;
}

Result FixDisk(ImageDocument& doc, const CheckOptions& options, CheckReport& mended, CheckReport& left) {
    mended = CheckReport{};
    left = CheckReport{};
    if (!doc.IsOpen() || doc.changeBlock == ChangeBlock::kFat32) {
        mended.readable = left.readable = false;
        return Failure(FailureKind::kRefused, ChangeBlockNotice(doc).value_or(TextNotice(kMsgChangeRefused, Tone::kError)));
    }
    if (UncheckableBootSector(doc)) {
        mended.findings.push_back(BootSectorFinding());
        left.findings.push_back(BootSectorFinding());
        return Failure(FailureKind::kRefused, TextNotice(kMsgWhatBootSector, Tone::kError));
    }
    if (const auto refusal = ChangeRefusal(doc)) return Failure(FailureKind::kRefused, *refusal);
    if (doc.readOnly) return Failure(FailureKind::kRefused, TextNotice(kMsgChangeRefused, Tone::kError));
    const DosDateTime stamp = Now();
    RepairTarget target{VolumeOf(doc), ListOf(doc, doc.errorList), HasMediaErrors(doc), doc.modified, stamp.date,
                        stamp.time};
    RepairOutcome outcome = RunRepair(target, options);
    mended.findings = std::move(outcome.findings);
    for (const Finding& f : mended.findings) {
        if (f.mendable) doc.modified = true;
    }
    left = CheckDisk(doc, options);
    if (left.Sound()) return Done(std::move(outcome.changes));
    Result result = Failure(FailureKind::kDamaged, left.findings.empty() ? left.reason : left.findings.front().what);
    result.changes = std::move(outcome.changes);
    return result;
}

Result FixDisk(ImageDocument& doc, const CheckOptions& options) {
    CheckReport mended;
    CheckReport left;
    return FixDisk(doc, options, mended, left);
}

}  // namespace vk
