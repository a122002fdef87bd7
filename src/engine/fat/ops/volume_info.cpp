#include "engine/fat/ops/volume_info.h"

#include <algorithm>
#include <array>

#include "engine/common/local_time.h"
#include "engine/common/bytes.h"
#include "engine/strings/text_format.h"
#include "engine/core/boot_sector.h"
#include "engine/core/document.h"
#include "engine/core/write_safety.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/directory.h"
#include "engine/fat/table/fat12.h"
#include "engine/strings/string_ids.h"

namespace vk {
namespace {

constexpr size_t kOemNameLength = 8;
constexpr char kNoBootLabel[] = "NO NAME    ";

using LabelBytes = std::array<uint8_t, kLabelLength>;

// The extended boot record of DOS 4 and later keeps a copy of the label;
// checkers report a disk whose two labels differ.
void MirrorBootLabel(uint8_t* area, uint32_t length, const uint8_t* label) {
    if (length > kBsVolumeLabel + kLabelLength && area[kBsExtendedSignature] == kExtendedBootSignature) {
        std::copy(label, label + kLabelLength, area + kBsVolumeLabel);
    }
}

LabelBytes PackLabel(std::string_view text) {
    LabelBytes bytes;
    bytes.fill(' ');
    std::copy(text.begin(), text.end(), bytes.begin());
    bytes[0] = StoredFirstByte(bytes[0]);
    return bytes;
}

DosDateTime LocalNowStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    return LocalTime(now, local) ? PackDosStamp(local) : DosDateTime{};
}

}  // namespace

DosDateTime PackDosStamp(const std::tm& local) {
    const int year = local.tm_year + 1900;
    if (year < kDosFirstYear || year > kDosLastYear) {
        return {};
    }
    DosDateTime stamp;
    stamp.date = PackDosDate(year, local.tm_mon + 1, local.tm_mday);
    // A leap second (60) still fits the two-second field as 30.
    stamp.time = PackDosTime(local.tm_hour, local.tm_min, local.tm_sec);
    return stamp;
}

VolumeFigures ReadVolumeFigures(const ImageDocument& doc) {
    VolumeFigures f;
    const uint8_t* area = doc.Area();
    const char* oem = reinterpret_cast<const char*>(area + kBsOemName);
    f.oemText.assign(oem, std::find(oem, oem + kOemNameLength, '\0'));

    const ConstVolume vol = VolumeOf(doc);
    const Layout& layout = vol.layout;
    f.labelOffset = FindVolumeLabel(vol);
    if (f.labelOffset != 0) {
        LabelBytes name;
        std::copy_n(area + f.labelOffset + kDirName, kLabelLength, name.begin());
        name[0] = ShownFirstByte(name[0]);
        f.labelText = TrimField(name.data(), name.size());
    }
    const ClusterCounts counts = CountClusters(vol);
    f.usedBytes = uint64_t{counts.used} * layout.clusterBytes;
    f.freeBytes = uint64_t{counts.free} * layout.clusterBytes;
    f.totalBytes = doc.partition != 0 ? doc.AreaLength() : doc.imageSize;
    return f;
}

Result ApplyVolumeLabel(ImageDocument& doc, const VolumeFigures& opened, std::string_view typed) {
    if (std::optional<Notice> refusal = ChangeRefusal(doc)) return Failure(FailureKind::kRefused, *refusal);
    typed = typed.substr(0, kLabelLength);
    const Volume vol = VolumeOf(doc);
    uint8_t* area = vol.area;
    if (typed.find_first_not_of(' ') == std::string_view::npos) {
        // Every live label goes: a deleted label entry in front of the live
        // one must not let the removal stop at it and report success.
        EntryChanges changes;
        for (uint32_t label = FindVolumeLabel(vol); label != 0;
             label = FindVolumeLabel(vol)) {
            area[label + kDirName] = kEntryDeleted;
            MirrorBootLabel(area, doc.AreaLength(), reinterpret_cast<const uint8_t*>(kNoBootLabel));
            doc.modified = true;
            changes.removed.push_back(label);
        }
        return Done(std::move(changes));
    }
    const LabelBytes name = PackLabel(typed);
    if (opened.labelOffset != 0 && std::equal(name.begin(), name.end(), area + opened.labelOffset + kDirName)) {
        return Done();
    }
    std::array<uint8_t, kDirEntrySize> entry{};
    std::copy(name.begin(), name.end(), entry.begin() + kDirName);
    entry[kDirAttr] = kAttrLabel;
    const DosDateTime stamp = LocalNowStamp();
    Store16(entry.data() + kDirDate, stamp.date);
    Store16(entry.data() + kDirTime, stamp.time);
    // The live label is replaced in place, so that a deleted label entry in
    // front of it cannot leave the disk with two labels.
    const uint32_t live = FindVolumeLabel(vol);
    if (live != 0) {
        std::copy(entry.begin(), entry.end(), area + live);
    } else if (!StoreVolumeLabel(vol, entry.data())) {
        return Failure(FailureKind::kDiskFull, TextNotice(kMsgLabelRootFull, Tone::kError));
    }
    LabelBytes bootLabel = name;
    bootLabel[0] = ShownFirstByte(bootLabel[0]);
    MirrorBootLabel(area, doc.AreaLength(), bootLabel.data());
    doc.modified = true;
    EntryChanges changes;
    (live != 0 ? changes.changed : changes.added).push_back(FindVolumeLabel(vol));
    return Done(std::move(changes));
}

}  // namespace vk
