// Shows one property sheet page or dialog of VOLKARN on a sample image and
// keeps it up for a few seconds, so that scripts/sheet_screenshots.sh can
// take its picture. Not a test: a tool for the documentation.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/bytes.h"
#include "core/document.h"
#include "core/media_errors.h"
#include "core/new_image.h"
#include "fat/dir_entry.h"
#include "fat/volume_info.h"
#include "ports/main_window.h"
#include "resources/sheets_ids.h"
#include "settings/settings.h"
#include "sheets/details_dialog.h"
#include "sheets/file_properties_page.h"
#include "sheets/image_properties.h"
#include "sheets/options_sheet.h"
#include "sheets/sheets.h"

namespace {

using namespace vk;
using namespace vk::win32;

constexpr UINT kShowMs = 8000;
// 2015-12-14 13:45:30
constexpr uint16_t kDate = (2015 - 1980) * 512 + 12 * 32 + 14;
constexpr uint16_t kTime = 13 * 2048 + 45 * 32 + 15;

void CALLBACK EndGallery(HWND, UINT, UINT_PTR, DWORD) { ExitProcess(0); }

uint32_t PutFile(ImageDocument& doc, int slot, const char* name11, uint8_t attr, uint32_t size) {
    const uint32_t offset = static_cast<uint32_t>(doc.GetLayout().rootStart) + slot * kDirEntrySize;
    uint8_t* e = doc.Area() + offset;
    std::memcpy(e + kDirName, name11, kDirFullNameLength);
    e[kDirAttr] = attr;
    Store16(e + kDirDate, kDate);
    Store16(e + kDirTime, kTime);
    Store32(e + kDirSize, size);
    return offset;
}

// A 720 KB image with a label, two files and two bad sectors.
bool SampleImage(ImageDocument& doc, HWND owner, uint32_t& dataFile) {
    if (!CreateEmptyImage(doc, owner, 0xF9, 0) || !CreateErrorList(doc.geometry.totalSectors, doc.errorList)) {
        return false;
    }
    VolumeFigures none;
    ApplyVolumeLabel(doc, owner, none, "MSX DISK");
    PutFile(doc, 1, "AUTOEXECBAT", 0x20, 120);
    dataFile = PutFile(doc, 2, "DATA    BIN", 0x21, 1536);
    MarkBadSector(doc.errorList, 5);
    MarkBadSector(doc.errorList, 700);
    const uint8_t serial[] = {0x78, 0x56, 0x34, 0x12};
    std::memcpy(doc.Area() + 0x27, serial, sizeof serial);
    return true;
}

void RunModeless(HWND sheet, int page) {
    PropSheet_SetCurSel(sheet, nullptr, page);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!PropSheet_IsDialogMessage(sheet, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void CALLBACK SelectSizeRow(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND dialog = FindWindowA("#32770", "Details");
    LVITEMA state = {};
    state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendDlgItemMessageA(dialog, IDC_DETAILS_COLUMNS, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
}

void CALLBACK TypeSector(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    SetDlgItemTextA(FindWindowA("#32770", "Add sector"), IDC_ADD_SECTOR_NUMBER, "12");
}

}  // namespace

int main(int argc, char** argv) {
    InitCommonControls();
    const std::string what = argc > 1 ? argv[1] : "volume";
    // An invisible owner the size of a small screen: the sheets centre over it.
    HWND owner = CreateWindowExA(0, "STATIC", "Volkarn", WS_OVERLAPPED, 0, 0, 800, 600, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetMainWindow(owner);
    ImageDocument doc;
    uint32_t dataFile = 0;
    if (!SampleImage(doc, owner, dataFile)) {
        return 1;
    }
    SetTimer(nullptr, 0, kShowMs, EndGallery);

    const struct {
        const char* name;
        int page;
    } imagePages[] = {{"volume", 0}, {"errors", 1}, {"media", 2}};
    for (const auto& p : imagePages) {
        if (what == p.name) {
            RunModeless(reinterpret_cast<HWND>(OpenImagePropertiesSheet(owner, doc, true, PSH_MODELESS)), p.page);
            return 0;
        }
    }
    const struct {
        const char* name;
        int page;
    } optionPages[] = {{"strength", 0}, {"format", 1}, {"copy", 2}};
    for (const auto& p : optionPages) {
        if (what == p.name) {
            RunModeless(reinterpret_cast<HWND>(OpenOptionsSheet(owner, PSH_MODELESS)), p.page);
            return 0;
        }
    }
    if (what == "file") {
        FilePropertiesRequest request;
        request.doc = &doc;
        request.entryOffset = dataFile;
        // The type names beside the program, as VOLKARN finds them.
        char module[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, module, sizeof module);
        request.typeNamesPath = std::string(module).substr(0, std::string(module).find_last_of('\\') + 1) + "VOLKARN.INI";
        RunModeless(reinterpret_cast<HWND>(OpenFilePropertiesSheet(owner, "DATA.BIN", request, PSH_MODELESS)), 0);
        return 0;
    }
    if (what == "addsector") {
        SetTimer(nullptr, 0, 300, TypeSector);
        uint32_t sector = 0;
        AskSectorNumber(owner, doc.geometry.totalSectors, sector);
        return 0;
    }
    if (what == "details") {
        const int widths[kColumnCount] = {95, 62, 97, 53};
        std::memcpy(TheSettings().columnWidths, widths, sizeof widths);
        SetTimer(nullptr, 0, 300, SelectSizeRow);
        ShowDetailsDialog(owner);
        return 0;
    }
    return 2;
}
