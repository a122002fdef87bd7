// The page "Media": the geometry the document works with, read only.
#include <cstdio>

#include "engine/common/bytes.h"
#include "engine/core/boot_sector.h"
#include "engine/core/document.h"
#include "win32/resources/sheets_ids.h"
#include "win32/sheets/image_properties.h"
#include "win32/sheets/page_support.h"

namespace vk::win32 {
namespace {

// Every image reads as 512-byte sectors, whatever its BPB claims.
constexpr uint32_t kShownSectorSize = 512;
constexpr uint32_t kSerialLength = 4;

}  // namespace

std::string VolumeSerialText(const uint8_t* bootSector) {
    const uint8_t* serial = bootSector + kBsVolumeSerial;
    char text[16];
    std::snprintf(text, sizeof text, "%02X%02X-%02X%02X", serial[3], serial[2], serial[1], serial[0]);
    return text;
}

void OnInitMediaPage(HWND page, const ImageDocument& doc) {
    const DiskFormat& g = doc.geometry;
    SetItemNumber(page, IDC_MEDIA_BYTES_PER_SECTOR, kShownSectorSize);
    SetItemNumber(page, IDC_MEDIA_SECTORS_PER_CLUSTER, g.sectorsPerCluster);
    SetItemNumber(page, IDC_MEDIA_RESERVED_SECTORS, g.reservedSectors);
    SetItemNumber(page, IDC_MEDIA_FAT_COUNT, g.fatCount);
    SetItemNumber(page, IDC_MEDIA_ROOT_ENTRIES, g.rootEntries);
    SetItemNumber(page, IDC_MEDIA_TOTAL_SECTORS, g.totalSectors);
    SetItemNumber(page, IDC_MEDIA_SECTORS_PER_FAT, g.sectorsPerFat);
    SetItemNumber(page, IDC_MEDIA_SECTORS_PER_TRACK, g.sectorsPerTrack);
    SetItemNumber(page, IDC_MEDIA_HEADS, g.heads);
    // The boot-sector fields are read whatever the template; an image too
    // short to hold them shows none.
    if (doc.AreaLength() >= kBsVolumeSerial + kSerialLength) {
        SetItemNumber(page, IDC_MEDIA_HIDDEN_SECTORS, Load16(doc.Area() + kBpbHiddenSectors));
        SetItemText(page, IDC_MEDIA_SERIAL, VolumeSerialText(doc.Area()));
    }
    CheckDlgButton(page, IDC_MEDIA_HARD_DISK, g.totalSectors == 0 ? BST_CHECKED : BST_UNCHECKED);
    CenterSheet(page);
}

INT_PTR CALLBACK MediaPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitMediaPage(page, *reinterpret_cast<const ImageDocument*>(PageParam(lParam)));
        return TRUE;
    case WM_NOTIFY:
        // The page has no topic of its own: a help request is taken and ends here.
        if (reinterpret_cast<NMHDR*>(lParam)->code == PSN_HELP) {
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace vk::win32
