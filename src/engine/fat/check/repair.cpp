#include "engine/fat/check/repair.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>

#include "engine/core/disk_format.h"
#include "engine/core/media_errors.h"
#include "engine/fat/dir/cluster_map.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/dir_walk.h"
#include "engine/fat/dir/folder.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/dir/long_names.h"
#include "engine/fat/dir/short_names.h"
#include "engine/fat/table/fat12.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"

namespace vk {
namespace {

// Values that are no link: 1, and the seven below the bad mark (0xFF0 ..
// 0xFF6 in FAT12, 0xFFF0 .. 0xFFF6 in FAT16) reserved.
constexpr uint32_t kReservedLink = 1;
constexpr uint32_t kReservedBelowBad = 7;
// Attribute bits no DOS defines.
constexpr uint8_t kAttrUndefined = 0xC0;
// A long name has at most 20 parts (255 characters, 13 a part).
constexpr uint32_t kMaxLongNameParts = 20;
constexpr uint8_t kLongNameOrderMask = 0x3F;
// Bytes no DOS accepts in a short name, besides control codes and DEL.
constexpr char kBadNameBytes[] = "\"*+,./:;<=>?[\\]|";
constexpr unsigned kMaxFoundFolders = 1000;
constexpr unsigned kMaxChkFiles = 10000;
// The bytes of FAT entries 0 and 1, the media byte and the end mark: three
// in FAT12, four in FAT16.
uint64_t FatHeaderBytes(const Layout& layout) { return layout.fatBits == 12 ? 3 : 4; }

std::string Num(uint64_t n) { return std::to_string(n); }

std::string Hex(uint32_t n) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", n & 0xFF);
    return text;
}

std::string Expand(unsigned id, std::initializer_list<std::string_view> inserts) {
    std::string out;
    ExpandInserts(LoadText(id), inserts, out);
    return out;
}

bool IsReservedValue(const Layout& layout, uint32_t v) {
    return v == kReservedLink || (v >= layout.BadMark() - kReservedBelowBad && v < layout.BadMark());
}

bool IsBadNameByte(uint32_t index, uint8_t b) {
    if (b < 0x20) return !(index == 0 && b == kEscapedE5);
    return b == 0x7F || (b != 0 && std::strchr(kBadNameBytes, b) != nullptr);
}

bool HasBadName(const uint8_t* e) {
    if (e[kDirName] == ' ') return true;
    for (uint32_t i = 0; i < kDirFullNameLength; ++i) {
        if (IsBadNameByte(i, e[i])) return true;
    }
    return false;
}

bool IsLabel(const uint8_t* e) { return (e[kDirAttr] & (kAttrVolume | kAttrDirectory)) == kAttrVolume; }

// A live short entry of a file or folder: no long-name part, label or dot entry.
bool IsLiveShort(const uint8_t* e) {
    return e[kDirName] != kEntryDeleted && e[kDirName] != kEntryNeverUsed && !IsLongNameEntry(e) && !IsLabel(e) &&
           !IsDotOrDotDot(e);
}

PackedName NameOf(const uint8_t* e) {
    PackedName name;
    std::memcpy(name.data(), e + kDirName, name.size());
    return name;
}

// A frame of the walk: one directory, its used slots read once when it is
// entered (after its chain was mended), and the next one to look at.
struct Frame {
    uint32_t dirCluster = 0;  // 0 for the root
    uint32_t origin = 0;      // the cluster this folder was copied from; its own when it is no copy
    std::string path;
    std::vector<uint32_t> slots;
    size_t next = 0;
};

class Repairer {
public:
    Repairer(const RepairTarget& target, const CheckOptions& options)
        : t_(target), vol_(target.vol), layout_(target.vol.layout), options_(options) {}

    RepairOutcome Run();

private:
    bool Usable(uint32_t c) const { return layout_.IsDataCluster(c) && vol_.ClusterInBounds(c); }
    uint8_t* At(uint32_t offset) const { return vol_.area + offset; }
    void Add(FindingKind kind, uint32_t entry, uint32_t other, uint32_t cluster, uint32_t count, std::string place,
             Notice what, Notice mend, bool mendable = true);
    std::string ClusterPlace(uint32_t c) const { return Expand(kStrPlaceCluster, {Num(c)}); }
    std::string PathOf(uint32_t entry) const;

    void MendFatCopies();
    uint64_t DamageScore(uint32_t copy) const;
    void PlanKeep();
    uint32_t Allocate();

    void WalkAndMend();
    Frame OpenFrame(uint32_t dirCluster, uint32_t origin, std::string path, std::vector<uint32_t> slots);
    std::vector<uint32_t> RootSlots() const;
    std::vector<uint32_t> FolderSlots(const std::vector<uint32_t>& chain) const;
    void MendEntryFields(const Frame& frame, size_t index);
    void MendLongNames(const Frame& frame);
    uint32_t MendFolder(Frame& frame, size_t index, const std::string& path, const std::vector<Frame>& stack,
                        std::vector<uint32_t>& chain, uint32_t& origin);
    void MendFile(uint32_t entry, const std::string& path);
    std::vector<uint32_t> MendChain(uint32_t entry, const std::string& path, bool folder);
    void RemoveEntry(const Frame& frame, size_t index);
    bool HasDotNames(uint32_t c) const;

    void MendLostChains();
    bool KeepAsFile(const std::vector<uint32_t>& chain, std::string& name);
    bool MakeFoundFolder();
    uint32_t FoundSlot();
    void MendBadSectors();
    void CopyFatOne();

    const RepairTarget& t_;
    Volume vol_;
    Layout layout_;
    CheckOptions options_;
    RepairOutcome out_;
    std::vector<uint32_t> owner_;  // the entry owning each cluster, 0 for none
    std::vector<uint32_t> stamp_;  // the chain walk that met each cluster last, to see loops
    uint32_t walk_ = 0;
    ClusterSet keep_;              // free clusters nothing may take: a chain reaches them, or a bad sector
    uint32_t freeFrom_ = kFirstDataCluster;
    std::unordered_map<uint32_t, std::string> paths_;
    // FOUND.nnn, once made for the first lost chain kept.
    bool foundTried_ = false;
    uint32_t foundEntry_ = 0;
    std::string foundName_;
    std::vector<uint32_t> foundChain_;
    uint32_t foundNextSlot_ = 2;
    unsigned chkNumber_ = 0;
};

void Repairer::Add(FindingKind kind, uint32_t entry, uint32_t other, uint32_t cluster, uint32_t count,
                   std::string place, Notice what, Notice mend, bool mendable) {
    Finding f;
    f.kind = kind;
    f.entry = entry;
    f.other = other;
    f.cluster = cluster;
    f.count = count;
    f.place = std::move(place);
    f.what = std::move(what);
    f.mend = std::move(mend);
    f.mendable = mendable;
    out_.findings.push_back(std::move(f));
}

std::string Repairer::PathOf(uint32_t entry) const {
    const auto it = paths_.find(entry);
    return it != paths_.end() ? it->second : EntryDisplayName(At(entry));
}

RepairOutcome Repairer::Run() {
    if (!layout_.IsWritableWidth() || layout_.lastCluster < kFirstDataCluster) return std::move(out_);
    owner_.assign(size_t{layout_.lastCluster} + 1, 0);
    stamp_.assign(size_t{layout_.lastCluster} + 1, 0);
    if (!t_.firstFatInForce) MendFatCopies();
    PlanKeep();
    WalkAndMend();
    MendLostChains();
    MendBadSectors();
    CopyFatOne();
    return std::move(out_);
}

// ---- FAT copies -------------------------------------------------------------

uint64_t Repairer::DamageScore(uint32_t copy) const {
    Layout layout = layout_;
    layout.fatStart = layout_.FatCopyStart(copy);
    const ClusterMap map = ClusterMap::Build(ConstVolume(layout, vol_.area, vol_.length));
    uint64_t score = 0;
    for (const Damage& d : map.Findings()) score += d.kind == DamageKind::kLostClusters ? d.count : 1;
    return score;
}

void Repairer::MendFatCopies() {
    std::vector<uint32_t> copies;  // those that lie whole inside the image
    for (uint32_t k = 0; k < layout_.fatCount; ++k) {
        if (vol_.InBounds(layout_.FatCopyStart(k), layout_.fatBytes)) copies.push_back(k);
    }
    const auto same = [&](uint32_t a, uint32_t b) {
        return std::memcmp(At(static_cast<uint32_t>(layout_.FatCopyStart(a))),
                           At(static_cast<uint32_t>(layout_.FatCopyStart(b))), layout_.fatBytes) == 0;
    };
    if (std::all_of(copies.begin(), copies.end(), [&](uint32_t k) { return same(0, k); })) return;
    // The copy whose chains meet the least damage agrees with the folders; the first of equals wins.
    uint32_t best = 0;
    uint64_t bestScore = DamageScore(0);
    for (uint32_t k : copies) {
        if (k == 0 || same(best, k)) continue;
        const uint64_t score = DamageScore(k);
        if (score < bestScore) best = k, bestScore = score;
    }
    Layout bestLayout = layout_;
    bestLayout.fatStart = layout_.FatCopyStart(best);
    const ConstVolume bestVol(bestLayout, vol_.area, vol_.length);
    for (uint32_t k : copies) {
        if (k == best || same(best, k)) continue;
        Layout layout = layout_;
        layout.fatStart = layout_.FatCopyStart(k);
        const ConstVolume kVol(layout, vol_.area, vol_.length);
        uint32_t first = 0;
        for (uint32_t c = 0; c <= layout_.lastCluster; ++c) {
            if (kVol.FatEntry(c) != bestVol.FatEntry(c)) {
                first = c;
                break;
            }
        }
        Add(FindingKind::kFatCopiesDiffer, 0, k + 1, first, 0, Expand(kStrPlaceFatCopy, {Num(k + 1)}),
            TextNotice(kMsgWhatFatCopies, Tone::kWarning, {Num(k + 1), Num(best + 1), Num(first)}),
            TextNotice(kMsgMendFatCopy, Tone::kInformation, {Num(best + 1)}));
    }
    // Entries 0 and 1 of copy 1 stay: its first byte is the media byte a disk without BPB takes its
    // geometry from. The other copies get them from it with the rest (CopyFatOne).
    const uint64_t header = std::min<uint64_t>(FatHeaderBytes(layout_), layout_.fatBytes);
    const uint8_t* source = At(static_cast<uint32_t>(layout_.FatCopyStart(best) + header));
    for (uint32_t k : copies) {
        if (k != best) {
            std::memmove(At(static_cast<uint32_t>(layout_.FatCopyStart(k) + header)), source, layout_.fatBytes - header);
        }
    }
}

void Repairer::PlanKeep() {
    keep_ = ClusterMap::Build(ConstVolume(vol_)).FreeButOwned();
    if (t_.errorList == nullptr || t_.errorList->empty()) return;
    const uint64_t perCluster = layout_.clusterBytes / kSectorSize;
    for (uint32_t c = kFirstDataCluster; c <= layout_.lastCluster; ++c) {
        const uint64_t first = layout_.ClusterOffset(c) / kSectorSize;
        for (uint64_t s = first; s < first + perCluster; ++s) {
            if (IsSectorMarked(*t_.errorList, static_cast<uint32_t>(s))) keep_.set(c);
        }
    }
}

// A free cluster inside the image that nothing still reaches, marked the end
// of a chain; 0 when there is none.
uint32_t Repairer::Allocate() {
    const uint32_t c = FindFreeClusterFrom(vol_, freeFrom_, &keep_);
    if (c == 0 || !Usable(c)) return 0;
    freeFrom_ = c + 1;
    vol_.SetFatEntry(c, layout_.EndMark());
    return c;
}

// ---- the tree ---------------------------------------------------------------

std::vector<uint32_t> Repairer::RootSlots() const {
    std::vector<uint32_t> slots;
    WalkRootEntries(vol_, [&](uint32_t offset) {
        slots.push_back(offset);
        return true;
    });
    return slots;
}

std::vector<uint32_t> Repairer::FolderSlots(const std::vector<uint32_t>& chain) const {
    std::vector<uint32_t> slots;
    for (uint32_t c : chain) {
        const uint32_t first = static_cast<uint32_t>(layout_.ClusterOffset(c));
        for (uint32_t s = 0; s < layout_.clusterBytes / kDirEntrySize; ++s) {
            const uint32_t offset = first + s * kDirEntrySize;
            if (At(offset)[kDirName] == kEntryNeverUsed) return slots;
            slots.push_back(offset);
        }
    }
    return slots;
}

bool Repairer::HasDotNames(uint32_t c) const {
    if (!Usable(c) || layout_.clusterBytes < 2 * kDirEntrySize) return false;
    const uint8_t* p = vol_.Cluster(c);
    return std::memcmp(p, kDotName, kDirFullNameLength) == 0 &&
           std::memcmp(p + kDirEntrySize, kDotDotName, kDirFullNameLength) == 0;
}

Frame Repairer::OpenFrame(uint32_t dirCluster, uint32_t origin, std::string path, std::vector<uint32_t> slots) {
    Frame frame{dirCluster, origin, std::move(path), std::move(slots), 0};
    for (size_t i = 0; i < frame.slots.size(); ++i) MendEntryFields(frame, i);
    MendLongNames(frame);
    return frame;
}

void Repairer::MendEntryFields(const Frame& frame, size_t index) {
    const uint32_t offset = frame.slots[index];
    uint8_t* e = At(offset);
    if (e[kDirName] == kEntryDeleted || IsLongNameEntry(e) || IsDotOrDotDot(e)) return;
    const uint8_t attr = e[kDirAttr];
    const bool folderLabel = (attr & kAttrDirectory) && (attr & kAttrVolume);
    if (IsLabel(e) && !(attr & kAttrUndefined)) return;  // a label may hold any bytes
    const std::string path = JoinPath(frame.path, EntryDisplayName(e));
    if ((attr & kAttrUndefined) || folderLabel) {
        uint8_t fixed = attr & static_cast<uint8_t>(~kAttrUndefined);
        if (folderLabel) {
            fixed &= static_cast<uint8_t>(~kAttrVolume);
            if (!HasDotNames(Load16(e + kDirFirstCluster))) fixed &= static_cast<uint8_t>(~kAttrDirectory);
        }
        e[kDirAttr] = fixed;
        Add(FindingKind::kBadAttributes, offset, 0, 0, 0, path,
            TextNotice(kMsgWhatBadAttributes, Tone::kWarning, {Hex(attr)}),
            TextNotice(kMsgMendAttributes, Tone::kInformation, {Hex(fixed)}));
        out_.changes.changed.push_back(offset);
        if (IsLabel(e)) return;
    }
    if (!HasBadName(e)) return;
    PackedName name = NameOf(e);
    for (uint32_t i = 0; i < name.size(); ++i) {
        if (IsBadNameByte(i, name[i])) name[i] = '_';
    }
    if (name[0] == ' ') name[0] = '_';
    std::set<PackedName> taken;
    for (uint32_t other : frame.slots) {
        if (other != offset && IsLiveShort(At(other))) taken.insert(NameOf(At(other)));
    }
    const PackedName plain = name;
    for (unsigned n = 1; taken.count(name) != 0 && n < kMaxChkFiles * 100; ++n) {
        // A numeric tail at the base's end, as Windows gives short names one.
        const std::string tail = "~" + Num(n);
        size_t base = 0;
        while (base < kDirNameLength && plain[base] != ' ') ++base;
        base = std::min(base, kDirNameLength - tail.size());
        name = plain;
        std::fill(name.begin() + static_cast<std::ptrdiff_t>(base), name.begin() + kDirNameLength, ' ');
        std::memcpy(name.data() + base, tail.data(), tail.size());
    }
    std::memcpy(e + kDirName, name.data(), name.size());
    Add(FindingKind::kBadName, offset, 0, 0, 0, path, TextNotice(kMsgWhatBadName, Tone::kWarning),
        TextNotice(kMsgMendRenamed, Tone::kInformation, {EntryDisplayName(e)}));
    out_.changes.changed.push_back(offset);
}

void Repairer::MendLongNames(const Frame& frame) {
    std::vector<uint32_t> run;
    uint32_t expected = 0;
    uint8_t checksum = 0;
    const auto stray = [&]() {
        if (run.empty()) return;
        Add(FindingKind::kStrayLongName, run.front(), 0, 0, static_cast<uint32_t>(run.size()),
            frame.path.empty() ? std::string(1, kPathSeparator) : frame.path,
            TextNotice(kMsgWhatStrayLongName, Tone::kWarning),
            TextNotice(kMsgMendLongNameRemoved, Tone::kInformation));
        for (uint32_t offset : run) At(offset)[kDirName] = kEntryDeleted;
        run.clear();
    };
    for (uint32_t offset : frame.slots) {
        const uint8_t* e = At(offset);
        if (e[kDirName] == kEntryDeleted || IsDotOrDotDot(e)) {
            stray();  // a dot entry is no long-name part, whatever its attributes say
            continue;
        }
        if (IsLongNameEntry(e)) {
            const uint8_t order = e[kLongNameOrder];
            const uint32_t place = order & kLongNameOrderMask;
            if (order & kLongNameLastFlag) {
                stray();
                run.push_back(offset);
                checksum = e[kLongNameChecksum];
                expected = place - 1;
                if (place == 0 || place > kMaxLongNameParts || (order & 0x80)) stray();
            } else if (!run.empty() && expected >= 1 && order == expected && e[kLongNameChecksum] == checksum) {
                run.push_back(offset);
                --expected;
            } else {
                run.push_back(offset);
                stray();
            }
            continue;
        }
        if (!run.empty()) {
            if (expected == 0 && IsLiveShort(e) && ShortNameChecksum(e + kDirName) == checksum) {
                run.clear();
            } else {
                stray();
            }
        }
    }
    stray();
}

void Repairer::RemoveEntry(const Frame& frame, size_t index) {
    At(frame.slots[index])[kDirName] = kEntryDeleted;
    // Its long name goes with it; the run in front of it held together (MendLongNames).
    for (size_t k = index; k-- > 0;) {
        uint8_t* e = At(frame.slots[k]);
        if (!IsLongNameEntry(e) || e[kDirName] == kEntryDeleted) break;
        e[kDirName] = kEntryDeleted;
    }
    out_.changes.removed.push_back(frame.slots[index]);
}

// The chain of the file or folder at `entry`, cut where it breaks, with its
// own copy of clusters an earlier entry owns; the entry's first cluster
// follows. Its clusters are then the entry's.
std::vector<uint32_t> Repairer::MendChain(uint32_t entry, const std::string& path, bool folder) {
    uint8_t* e = At(entry);
    std::vector<uint32_t> chain;
    const uint32_t first = Load16(e + kDirFirstCluster);
    if (first == 0) return chain;
    if (!Usable(first)) {
        Store16(e + kDirFirstCluster, 0);
        Store32(e + kDirSize, 0);
        Add(FindingKind::kChainOutOfRange, entry, 0, first, 0, path,
            TextNotice(kMsgWhatChainBreak, Tone::kWarning, {Num(first)}),
            TextNotice(kMsgMendSizeShrinks, Tone::kInformation, {"0"}));
        out_.changes.changed.push_back(entry);
        return chain;
    }
    ++walk_;
    uint32_t c = first;
    FindingKind broke = FindingKind::kBootSector;  // none
    for (;;) {
        stamp_[c] = walk_;
        chain.push_back(c);
        const uint32_t v = vol_.FatEntry(c);
        if (layout_.IsEndMark(v)) break;
        if (v == kFatFree) {
            broke = FindingKind::kChainIntoFree;
        } else if (v == layout_.BadMark()) {
            broke = FindingKind::kChainIntoBad;
        } else if (IsReservedValue(layout_, v)) {
            broke = FindingKind::kChainIntoReserved;
        } else if (!Usable(v)) {
            broke = FindingKind::kChainOutOfRange;
        } else if (stamp_[v] == walk_) {
            broke = FindingKind::kLoop;
        } else {
            c = v;
            continue;
        }
        break;
    }
    if (broke != FindingKind::kBootSector) {
        vol_.SetFatEntry(c, layout_.EndMark());
        Add(broke, entry, 0, c, 0, path, TextNotice(kMsgWhatChainBreak, Tone::kWarning, {Num(c)}),
            TextNotice(kMsgMendCut, Tone::kInformation, {Num(c)}));
    }
    size_t shared = 0;
    while (shared < chain.size() && owner_[chain[shared]] == 0) ++shared;
    if (shared < chain.size()) {
        const uint32_t other = owner_[chain[shared]];
        const bool sharedFolder = folder && shared == 0 && (At(other)[kDirAttr] & kAttrDirectory);
        const FindingKind kind = sharedFolder ? FindingKind::kSharedFolder : FindingKind::kCrossLink;
        Notice what = sharedFolder ? TextNotice(kMsgWhatSharedFolder, Tone::kWarning, {PathOf(other)})
                                   : TextNotice(kMsgWhatCrossLink, Tone::kWarning, {Num(chain[shared]), PathOf(other)});
        std::vector<uint32_t> copies;
        for (size_t j = shared; j < chain.size(); ++j) {
            const uint32_t copy = Allocate();
            if (copy == 0) break;
            copies.push_back(copy);
        }
        if (copies.size() == chain.size() - shared) {
            for (size_t j = 0; j < copies.size(); ++j) {
                std::memcpy(vol_.Cluster(copies[j]), vol_.Cluster(chain[shared + j]), layout_.clusterBytes);
                if (j > 0) vol_.SetFatEntry(copies[j - 1], copies[j]);
            }
            if (shared == 0) {
                Store16(e + kDirFirstCluster, static_cast<uint16_t>(copies[0]));
            } else {
                vol_.SetFatEntry(chain[shared - 1], copies[0]);
            }
            Add(kind, entry, other, chain[shared], 0, path, std::move(what),
                TextNotice(kMsgMendOwnCopy, Tone::kInformation, {Num(copies.size())}));
            std::copy(copies.begin(), copies.end(), chain.begin() + static_cast<std::ptrdiff_t>(shared));
        } else {
            // No room for a copy: the later owner gives the shared clusters up.
            for (uint32_t copy : copies) vol_.SetFatEntry(copy, kFatFree);
            freeFrom_ = kFirstDataCluster;
            if (shared == 0) {
                Store16(e + kDirFirstCluster, 0);
            } else {
                vol_.SetFatEntry(chain[shared - 1], layout_.EndMark());
            }
            Add(kind, entry, other, chain[shared], 0, path, std::move(what),
                shared == 0 ? TextNotice(kMsgMendSizeShrinks, Tone::kInformation, {"0"})
                            : TextNotice(kMsgMendCut, Tone::kInformation, {Num(chain[shared - 1])}));
            chain.resize(shared);
            if (shared == 0) Store32(e + kDirSize, 0);
        }
        out_.changes.changed.push_back(entry);
    }
    for (uint32_t cluster : chain) owner_[cluster] = entry;
    return chain;
}

void Repairer::MendFile(uint32_t entry, const std::string& path) {
    std::vector<uint32_t> chain = MendChain(entry, path, false);
    uint8_t* e = At(entry);
    const uint32_t size = Load32(e + kDirSize);
    const uint64_t need = (uint64_t{size} + layout_.clusterBytes - 1) / layout_.clusterBytes;
    if (chain.size() == need) return;
    Notice what = TextNotice(kMsgWhatSize, Tone::kWarning, {Num(size), Num(need), Num(chain.size())});
    if (chain.size() > need) {
        Add(FindingKind::kChainLongerThanSize, entry, 0, chain[need], static_cast<uint32_t>(chain.size()), path,
            std::move(what), TextNotice(kMsgMendChainCut, Tone::kInformation, {Num(need)}));
        if (need == 0) {
            Store16(e + kDirFirstCluster, 0);
        } else {
            vol_.SetFatEntry(chain[need - 1], layout_.EndMark());
        }
        for (size_t j = need; j < chain.size(); ++j) {
            vol_.SetFatEntry(chain[j], kFatFree);
            owner_[chain[j]] = 0;
        }
        freeFrom_ = std::min(freeFrom_, chain[need]);
    } else {
        const uint64_t bytes = std::min<uint64_t>(uint64_t{chain.size()} * layout_.clusterBytes, 0xFFFFFFFFu);
        Add(FindingKind::kSizeLongerThanChain, entry, 0, chain.empty() ? 0 : chain.front(),
            static_cast<uint32_t>(chain.size()), path, std::move(what),
            TextNotice(kMsgMendSizeShrinks, Tone::kInformation, {Num(bytes)}));
        Store32(e + kDirSize, static_cast<uint32_t>(bytes));
    }
    out_.changes.changed.push_back(entry);
}

// Mends the folder at slot `index` of `frame` and gives its chain to enter,
// or removes its entry; 0 when there is nothing to enter.
uint32_t Repairer::MendFolder(Frame& frame, size_t index, const std::string& path, const std::vector<Frame>& stack,
                              std::vector<uint32_t>& chain, uint32_t& origin) {
    const uint32_t entry = frame.slots[index];
    uint8_t* e = At(entry);
    const uint32_t first = Load16(e + kDirFirstCluster);
    if (!HasDotNames(first)) {
        Add(FindingKind::kInvalidFolder, entry, 0, first, 0, path,
            TextNotice(kMsgWhatInvalidFolder, Tone::kWarning, {Num(first)}),
            TextNotice(kMsgMendEntryRemoved, Tone::kInformation));
        RemoveEntry(frame, index);
        return 0;
    }
    if (owner_[first] != 0) {
        // A folder met again on its own path would be copied without end: the later entry goes.
        const bool onPath = std::any_of(stack.begin(), stack.end(), [&](const Frame& f) {
            return f.dirCluster == first || f.origin == first;
        });
        if (onPath) {
            Add(FindingKind::kSharedFolder, entry, owner_[first], first, 0, path,
                TextNotice(kMsgWhatSharedFolder, Tone::kWarning, {PathOf(owner_[first])}),
                TextNotice(kMsgMendEntryRemoved, Tone::kInformation));
            RemoveEntry(frame, index);
            return 0;
        }
    }
    origin = first;
    chain = MendChain(entry, path, true);
    if (chain.empty()) {
        RemoveEntry(frame, index);
        return 0;
    }
    uint8_t* dots = vol_.Cluster(chain[0]);
    if (Load16(dots + kDirFirstCluster) != chain[0] ||
        Load16(dots + kDirEntrySize + kDirFirstCluster) != frame.dirCluster) {
        Store16(dots + kDirFirstCluster, static_cast<uint16_t>(chain[0]));
        Store16(dots + kDirEntrySize + kDirFirstCluster, static_cast<uint16_t>(frame.dirCluster));
        Add(FindingKind::kDotEntries, entry, 0, chain[0], 0, path, TextNotice(kMsgWhatDotEntries, Tone::kWarning),
            TextNotice(kMsgMendDotsRewritten, Tone::kInformation));
    }
    return chain[0];
}

void Repairer::WalkAndMend() {
    std::vector<Frame> stack;
    stack.push_back(OpenFrame(0, 0, std::string(), RootSlots()));
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.slots.size()) {
            stack.pop_back();
            continue;
        }
        const size_t index = frame.next++;
        const uint32_t entry = frame.slots[index];
        const uint8_t* e = At(entry);
        if (!IsLiveShort(e)) continue;
        std::string path = JoinPath(frame.path, EntryDisplayName(e));
        paths_[entry] = path;
        if (!(e[kDirAttr] & kAttrDirectory)) {
            MendFile(entry, path);
            continue;
        }
        std::vector<uint32_t> chain;
        uint32_t origin = 0;
        const uint32_t child = MendFolder(frame, index, path, stack, chain, origin);
        if (child == 0) continue;
        Frame next = OpenFrame(child, origin, std::move(path), FolderSlots(chain));
        stack.push_back(std::move(next));  // `frame` is gone once the stack grows
    }
}

// ---- lost chains ------------------------------------------------------------

bool Repairer::MakeFoundFolder() {
    foundTried_ = true;
    uint32_t slot = 0;
    std::set<PackedName> taken;
    const RootWalkEnd end = WalkRootEntries(vol_, [&](uint32_t offset) {
        const uint8_t* e = At(offset);
        if (e[kDirName] == kEntryDeleted) {
            if (slot == 0) slot = offset;
        } else if (!IsLongNameEntry(e)) {
            taken.insert(NameOf(e));
        }
        return true;
    });
    uint32_t endMark = 0;  // the slot that ends the root once the never-used one is taken
    if (slot == 0 && end.neverUsed) {
        slot = end.offset;
        endMark = RootEntryOffset(layout_, vol_.length, end.index + 1);
    }
    if (slot == 0) return false;
    PackedName name = PackShortName("FOUND.000");
    unsigned n = 0;
    for (; n < kMaxFoundFolders; ++n) {
        char ext[4];
        std::snprintf(ext, sizeof ext, "%03u", n);
        std::memcpy(name.data() + kDirNameLength, ext, kDirExtLength);
        if (taken.count(name) == 0) break;
    }
    if (n == kMaxFoundFolders) return false;
    const uint32_t cluster = Allocate();
    if (cluster == 0) return false;
    WriteEmptyFolder(vol_.Cluster(cluster), layout_.clusterBytes, cluster, 0, t_.date, t_.time);
    // What lies past the old end of the root stays hidden behind a new end.
    if (endMark != 0) At(endMark)[kDirName] = kEntryNeverUsed;
    uint8_t* e = At(slot);
    std::memset(e, 0, kDirEntrySize);
    std::memcpy(e + kDirName, name.data(), name.size());
    e[kDirAttr] = kAttrDirectory;
    Store16(e + kDirTime, t_.time);
    Store16(e + kDirDate, t_.date);
    Store16(e + kDirFirstCluster, static_cast<uint16_t>(cluster));
    owner_[cluster] = slot;
    foundEntry_ = slot;
    foundName_ = EntryDisplayName(e);
    foundChain_.push_back(cluster);
    out_.changes.added.push_back(slot);
    return true;
}

// A free slot of FOUND.nnn, the folder growing by a zeroed cluster when full; 0 when there is no room.
uint32_t Repairer::FoundSlot() {
    const uint32_t perCluster = static_cast<uint32_t>(layout_.clusterBytes / kDirEntrySize);
    if (foundNextSlot_ == foundChain_.size() * perCluster) {
        const uint32_t grow = Allocate();
        if (grow == 0) return 0;
        std::memset(vol_.Cluster(grow), 0, layout_.clusterBytes);
        vol_.SetFatEntry(foundChain_.back(), grow);
        owner_[grow] = foundEntry_;
        foundChain_.push_back(grow);
    }
    const uint32_t index = foundNextSlot_++;
    return static_cast<uint32_t>(layout_.ClusterOffset(foundChain_[index / perCluster]) +
                                 uint64_t{index % perCluster} * kDirEntrySize);
}

bool Repairer::KeepAsFile(const std::vector<uint32_t>& chain, std::string& name) {
    if (!foundTried_) MakeFoundFolder();
    if (foundEntry_ == 0 || chkNumber_ == kMaxChkFiles) return false;
    const uint32_t slot = FoundSlot();
    if (slot == 0) return false;
    char text[16];
    std::snprintf(text, sizeof text, "FILE%04u.CHK", chkNumber_++);
    const PackedName packed = PackShortName(text);
    uint8_t* e = At(slot);
    std::memset(e, 0, kDirEntrySize);
    std::memcpy(e + kDirName, packed.data(), packed.size());
    e[kDirAttr] = kAttrArchive;
    Store16(e + kDirTime, t_.time);
    Store16(e + kDirDate, t_.date);
    Store16(e + kDirFirstCluster, static_cast<uint16_t>(chain.front()));
    Store32(e + kDirSize,
            static_cast<uint32_t>(std::min<uint64_t>(uint64_t{chain.size()} * layout_.clusterBytes, 0xFFFFFFFFu)));
    for (uint32_t c : chain) owner_[c] = slot;
    out_.changes.added.push_back(slot);
    name = JoinPath(foundName_, text);
    return true;
}

void Repairer::MendLostChains() {
    const uint32_t last = layout_.lastCluster;
    std::vector<uint8_t> lost(size_t{last} + 1, 0);
    std::vector<uint8_t> pointed(size_t{last} + 1, 0);
    bool any = false;
    for (uint32_t c = kFirstDataCluster; c <= last; ++c) {
        const uint32_t v = vol_.FatEntry(c);
        if (owner_[c] == 0 && v != kFatFree && v != layout_.BadMark() && !IsReservedValue(layout_, v)) lost[c] = 1, any = true;
    }
    if (!any) return;
    for (uint32_t c = kFirstDataCluster; c <= last; ++c) {
        const uint32_t v = vol_.FatEntry(c);
        if (lost[c] && layout_.IsDataCluster(v) && lost[v] && v != c) pointed[v] = 1;
    }
    std::vector<uint8_t> taken(size_t{last} + 1, 0);
    const auto follow = [&](uint32_t head) {
        std::vector<uint32_t> chain;
        bool inImage = true;
        for (uint32_t c = head;;) {
            taken[c] = 1;
            chain.push_back(c);
            inImage = inImage && Usable(c);
            const uint32_t v = vol_.FatEntry(c);
            if (layout_.IsEndMark(v)) break;
            if (layout_.IsDataCluster(v) && lost[v] && !taken[v]) {
                c = v;
                continue;
            }
            vol_.SetFatEntry(c, layout_.EndMark());
            break;
        }
        std::string name;
        const bool kept = !options_.freeLostChains && inImage && KeepAsFile(chain, name);
        if (!kept) {
            for (uint32_t c : chain) vol_.SetFatEntry(c, kFatFree);
            freeFrom_ = std::min(freeFrom_, head);
        }
        Add(FindingKind::kLostChain, 0, 0, head, static_cast<uint32_t>(chain.size()), ClusterPlace(head),
            TextNotice(kMsgWhatLostChain, Tone::kWarning, {Num(chain.size()), Num(head)}),
            kept ? TextNotice(kMsgMendKeptAs, Tone::kInformation, {name}) : TextNotice(kMsgMendFreed, Tone::kInformation));
    };
    for (uint32_t c = kFirstDataCluster; c <= last; ++c) {
        if (lost[c] && !pointed[c] && !taken[c]) follow(c);
    }
    for (uint32_t c = kFirstDataCluster; c <= last; ++c) {  // what is left runs in circles
        if (lost[c] && !taken[c]) follow(c);
    }
}

// ---- the bad-sector list ----------------------------------------------------

void Repairer::MendBadSectors() {
    if (t_.errorList == nullptr || t_.errorList->empty()) return;
    ByteBlock& list = *t_.errorList;
    const uint64_t perCluster = layout_.clusterBytes / kSectorSize;
    for (uint32_t c = kFirstDataCluster; c <= layout_.lastCluster; ++c) {
        const uint64_t first = layout_.ClusterOffset(c) / kSectorSize;
        uint64_t marked = 0;
        bool anyMarked = false;
        for (uint64_t s = first; s < first + perCluster && !anyMarked; ++s) {
            if (IsSectorMarked(list, static_cast<uint32_t>(s))) marked = s, anyMarked = true;
        }
        const uint32_t v = vol_.FatEntry(c);
        if (anyMarked && v != layout_.BadMark()) {
            const bool mendable = v == kFatFree && owner_[c] == 0;
            if (mendable) vol_.SetFatEntry(c, layout_.BadMark());
            Add(FindingKind::kBadSectorNotInFat, owner_[c], 0, c, static_cast<uint32_t>(marked),
                owner_[c] != 0 ? PathOf(owner_[c]) : ClusterPlace(c),
                TextNotice(kMsgWhatBadSectorNotInFat, Tone::kWarning, {Num(marked), Num(c)}),
                mendable ? TextNotice(kMsgMendMarkBad, Tone::kInformation, {Num(c)})
                         : TextNotice(kMsgMendNothing, Tone::kInformation),
                mendable);
        } else if (!anyMarked && v == layout_.BadMark() && t_.listHasErrors) {
            for (uint64_t s = first; s < first + perCluster; ++s) MarkBadSector(list, static_cast<uint32_t>(s));
            Add(FindingKind::kBadClusterNotListed, 0, 0, c, 0, ClusterPlace(c),
                TextNotice(kMsgWhatBadClusterNotListed, Tone::kWarning, {Num(c)}),
                TextNotice(kMsgMendListSectors, Tone::kInformation));
        }
    }
}

// The mends wrote FAT copy 1; the others follow it, as a save would make them.
void Repairer::CopyFatOne() {
    for (uint32_t k = 1; k < layout_.fatCount; ++k) {
        if (!vol_.InBounds(layout_.FatCopyStart(k), layout_.fatBytes)) break;
        std::memmove(At(static_cast<uint32_t>(layout_.FatCopyStart(k))), At(static_cast<uint32_t>(layout_.fatStart)),
                     layout_.fatBytes);
    }
}

}  // namespace

RepairOutcome RunRepair(const RepairTarget& target, const CheckOptions& options) {
    return Repairer(target, options).Run();
}

}  // namespace vk
