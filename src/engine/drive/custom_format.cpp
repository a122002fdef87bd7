#include "drive/custom_format.h"

#include <cctype>
#include <cstdio>

#include "core/layout.h"
#include "strings/string_ids.h"

namespace vk {
namespace {

// What GetDlgItemText leaves of a longer text in the dialog's 32-character buffer.
constexpr size_t kFieldTextLimit = 31;
constexpr uint32_t kByteFieldMax = 0xFF;
constexpr uint32_t kWordFieldMax = 0xFFFF;

uint64_t RoundUpKb(uint64_t sectors) { return (sectors * kSectorSize + 1023) / 1024; }

}  // namespace

CustomFormatTexts CustomFormatDefaults() {
    CustomFormatTexts t;
    t.fatCount = "2";
    t.totalSectors = "16384";
    t.sectorsPerFat = "11";
    t.sectorsPerCluster = "4";
    t.reservedSectors = "1";
    t.heads = "4";
    t.sectorsPerTrack = "40";
    t.rootEntries = "224";
    t.mediaByte = "F8";
    return t;
}

int32_t ParseDecimalField(std::string_view text) {
    text = text.substr(0, kFieldTextLimit);
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT32_MAX) {
            value = int64_t{INT32_MAX} + 1;  // saturate: the sign decides below
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT32_MAX) {
        value = INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

uint32_t ParseMediaByteField(std::string_view text) {
    text = text.substr(0, kFieldTextLimit);
    uint64_t value = 0;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            break;
        }
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                                                        : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10;
        value = std::min<uint64_t>(value * 16 + static_cast<uint64_t>(digit), 0xFFFFFFFFull);
    }
    return static_cast<uint32_t>(value);
}

DiskFormat ParseCustomFormat(const CustomFormatTexts& t) {
    auto field = [](const std::string& text) { return static_cast<uint32_t>(ParseDecimalField(text)); };
    DiskFormat row;
    row.descriptionId = 0;
    row.fatCount = field(t.fatCount);
    row.totalSectors = field(t.totalSectors);
    row.sectorsPerFat = field(t.sectorsPerFat);
    row.sectorsPerCluster = field(t.sectorsPerCluster);
    row.reservedSectors = field(t.reservedSectors);
    row.heads = field(t.heads);
    row.sectorsPerTrack = field(t.sectorsPerTrack);
    row.rootEntries = field(t.rootEntries);
    row.mediaByte = ParseMediaByteField(t.mediaByte);
    row.mediaType = 0;
    return row;
}

CustomCapacity ComputeCustomCapacity(const DiskFormat& r) {
    CustomCapacity c;
    c.totalKb = RoundUpKb(r.totalSectors);
    // Whole root sectors, as the image layout takes them; one sector more
    // than the reserved ones is taken off, as the figure always did.
    const int64_t rootSectors = (int64_t{r.rootEntries} + kEntriesPerSector - 1) / kEntriesPerSector;
    const int64_t data = int64_t{r.totalSectors} - int64_t{r.sectorsPerFat} * r.fatCount - rootSectors -
                         int64_t{r.reservedSectors} - 1;
    c.formattedKb = data > 0 ? RoundUpKb(static_cast<uint64_t>(data)) : 0;
    return c;
}

CustomFormatCheck ValidateCustomFormat(const DiskFormat& r) {
    CustomFormatCheck check;
    const CustomCapacity capacity = ComputeCustomCapacity(r);
    if (capacity.totalKb == 0 || capacity.formattedKb == 0) {
        check.verdict = CustomFormatVerdict::kZeroCapacity;
        return check;
    }
    if (r.fatCount == 0 || r.sectorsPerFat == 0 || r.sectorsPerCluster == 0) {
        check.verdict = CustomFormatVerdict::kZeroFatField;
        return check;
    }
    if (r.heads == 0 || r.sectorsPerTrack == 0) {
        check.verdict = CustomFormatVerdict::kNoTracks;
        return check;
    }
    // Each value must survive being stored in its BPB field of 8 or 16 bits.
    const struct {
        uint32_t value;
        uint32_t max;
    } fields[] = {
        {r.fatCount, kByteFieldMax},      {r.totalSectors, kWordFieldMax},     {r.sectorsPerFat, kWordFieldMax},
        {r.sectorsPerCluster, kByteFieldMax}, {r.reservedSectors, kWordFieldMax}, {r.heads, kWordFieldMax},
        {r.sectorsPerTrack, kWordFieldMax}, {r.rootEntries, kWordFieldMax},
    };
    for (const auto& f : fields) {
        if (f.value > f.max) {
            check.verdict = CustomFormatVerdict::kFieldTooLarge;
            check.value = std::to_string(f.value);
            check.limit = std::to_string(f.max);
            return check;
        }
    }
    if (r.mediaByte > kByteFieldMax) {
        char text[16];
        std::snprintf(text, sizeof text, "%X", r.mediaByte);
        check.verdict = CustomFormatVerdict::kFieldTooLarge;
        check.value = text;
        check.limit = "FF";
    }
    return check;
}

bool AcceptCustomFormat(WindowRef owner, const DiskFormat& row) {
    const CustomFormatCheck check = ValidateCustomFormat(row);
    switch (check.verdict) {
    case CustomFormatVerdict::kAccepted: break;
    case CustomFormatVerdict::kZeroCapacity:
        ShowMessage(owner, kMsgZeroCapacity, kIconWarning);
        return false;
    case CustomFormatVerdict::kZeroFatField:
        ShowMessage(owner, kMsgFormatZeroField, kIconWarning);
        return false;
    case CustomFormatVerdict::kNoTracks:
        ShowMessage(owner, kMsgFormatNoTracks, kIconWarning);
        return false;
    case CustomFormatVerdict::kFieldTooLarge:
        ShowMessage(owner, kMsgFormatFieldTooLarge, kIconWarning, {check.value, check.limit});
        return false;
    }
    DiskFormat stored = row;
    stored.descriptionId = 0;
    stored.mediaType = 0;
    FormatRow(kCustomFormatCode) = stored;
    return true;
}

}  // namespace vk
