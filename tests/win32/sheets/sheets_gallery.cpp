// Shows one property sheet page or dialog of VOLKARN on a sample image and
// keeps it up for a few seconds, so that scripts/sheet_screenshots.sh can
// take its picture. Not a test: a tool for the documentation.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/common/bytes.h"
#include "engine/core/boot_sector.h"
#include "engine/core/document.h"
#include "engine/core/media_errors.h"
#include "engine/core/new_image.h"
#include "engine/fat/table/volume.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/dir_ops.h"
#include "engine/fat/ops/volume_info.h"
#include "win32/ports/main_window.h"
#include "win32/check/check_dialogs.h"
#include "win32/resources/check_dialog_ids.h"
#include "win32/resources/sheets_ids.h"
#include "win32/settings/settings.h"
#include "win32/sheets/details_dialog.h"
#include "win32/sheets/file_properties_page.h"
#include "win32/sheets/image_properties.h"
#include "win32/sheets/options_sheet.h"
#include "win32/sheets/sheets.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/ports/prompts.h"
#include "win32/ports/prompt_owner.h"
#include "engine/ports/window_sync.h"
#include "win32/resources/command_ids.h"
#include "engine/strings/string_ids.h"
#include "win32/ui/app_state.h"
#include "win32/ui/command_line.h"
#include "win32/ui/explorer_list.h"
#include "win32/ui/extract_many.h"
#include "win32/ui/file_options.h"
#include "win32/ui/main_window.h"
#include "win32/ui/document_view.h"
#include "win32/ui/list_sync.h"

namespace {

using namespace vk;
using namespace vk::win32;

constexpr UINT kShowMs = 8000;
// 2015-12-14 13:45:30
constexpr uint16_t kDate = PackDosDate(2015, 12, 14);
constexpr uint16_t kTime = PackDosTime(13, 45, 30);

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
    if (!win32::Shown(owner, CreateEmptyImage(doc, 0xF9, 0)) || !CreateErrorList(doc.geometry.totalSectors, doc.errorList)) {
        return false;
    }
    VolumeFigures none;
    Report(owner, ApplyVolumeLabel(doc, none, "MSX DISK"));
    PutFile(doc, 1, "AUTOEXECBAT", 0x20, 120);
    dataFile = PutFile(doc, 2, "DATA    BIN", 0x21, 1536);
    MarkBadSector(doc.errorList, 5);
    MarkBadSector(doc.errorList, 700);
    const uint8_t serial[] = {0x78, 0x56, 0x34, 0x12};
    std::memcpy(doc.Area() + kBsVolumeSerial, serial, sizeof serial);
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

UINT g_view = ID_VIEW_REPORT;

// The main window first shows its list in report view; then the view
// changes as the user would choose it from the View menu.
void CALLBACK ChangeView(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    SendMessageA(MainParts().window, WM_COMMAND, MAKEWPARAM(g_view, 0), 0);
}

// The main window on the sample image with a few more files, two selected.
int ShowMainWindow(UINT view) {
    App().instance = GetModuleHandleA(nullptr);
    TheSettings() = Settings{};
    SetDefaultColumnWidths(TheSettings());
    // Report view is shown coming back from the list view.
    TheSettings().viewType = view == ID_VIEW_REPORT ? LVS_LIST : LVS_REPORT;
    if (!RegisterMainWindowClass(App().instance)) {
        return 1;
    }
    HWND window = CreateMainWindow(App().instance);
    if (window == nullptr) {
        return 1;
    }
    ImageDocument& doc = TheDocument();
    uint32_t dataFile = 0;
    if (!SampleImage(doc, window, dataFile)) {
        return 1;
    }
    const char* more[] = {"COMMAND COM", "MSXDOS  SYS", "README  TXT", "GAME    BAS", "TOOLS      "};
    for (int i = 0; i < 5; ++i) {
        PutFile(doc, 3 + i, more[i], i == 4 ? 0x10 : 0x20, i == 4 ? 0 : 1000 * (i + 1));
    }
    win32::UpdateTitle(doc);
    win32::EnableExplorerList(true);
    win32::FillEntryList(MainParts().list, doc);
    LVITEMA state = {};
    state.state = state.stateMask = LVIS_SELECTED;
    for (int item : {2, 4}) {
        SendMessageA(MainParts().list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    g_view = view;
    SetTimer(nullptr, 0, 600, ChangeView);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

// A file entry in slot `slot` of the folder whose one cluster is `dir`'s.
void PutFileIn(ImageDocument& doc, DirRef dir, int slot, const char* name11, uint32_t size) {
    uint8_t* e = doc.Area() + doc.GetLayout().ClusterOffset(dir.cluster) + slot * kDirEntrySize;
    std::memcpy(e + kDirName, name11, kDirFullNameLength);
    e[kDirAttr] = 0x20;
    Store16(e + kDirDate, kDate);
    Store16(e + kDirTime, kTime);
    Store32(e + kDirSize, size);
}

// The main window in report view inside the folder GAMES\SHOOT of the sample image.
int ShowFolder() {
    App().instance = GetModuleHandleA(nullptr);
    TheSettings() = Settings{};
    SetDefaultColumnWidths(TheSettings());
    if (!RegisterMainWindowClass(App().instance)) {
        return 1;
    }
    HWND window = CreateMainWindow(App().instance);
    ImageDocument& doc = TheDocument();
    uint32_t dataFile = 0;
    if (window == nullptr || !SampleImage(doc, window, dataFile)) {
        return 1;
    }
    const Result games = MakeFolderIn(doc, kRootDir, "GAMES", CurrentFileOptions());
    if (!games.Done()) {
        return 1;
    }
    const DirRef gamesDir{Load16(doc.Area() + games.changes.added.front() + kDirFirstCluster)};
    const Result shoot = MakeFolderIn(doc, gamesDir, "SHOOT", CurrentFileOptions());
    if (!shoot.Done()) {
        return 1;
    }
    const DirRef shootDir{Load16(doc.Area() + shoot.changes.added.front() + kDirFirstCluster)};
    if (!MakeFolderIn(doc, shootDir, "LEVELS", CurrentFileOptions()).Done()) {
        return 1;
    }
    const char* files[] = {"SHOOT   COM", "SHOOT   DAT", "HISCORE DAT", "README  TXT"};
    for (int i = 0; i < 4; ++i) {
        PutFileIn(doc, shootDir, 3 + i, files[i], 2500 * (i + 1));
    }
    win32::UpdateTitle(doc);
    win32::EnableExplorerList(true);
    win32::FillEntryList(MainParts().list, doc);
    ShowWindow(window, SW_SHOWNORMAL);
    OpenFolderEntry(doc, window, games.changes.added.front());
    OpenFolderEntry(doc, window, shoot.changes.added.front());
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

void CALLBACK TypeSector(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    SetDlgItemTextA(FindWindowA("#32770", "Add sector"), IDC_ADD_SECTOR_NUMBER, "12");
}

void CALLBACK SelectFirstFinding(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND dialog = FindWindowA("#32770", "Check disk");
    LVITEMA state = {};
    state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendDlgItemMessageA(dialog, IDC_CHECK_FINDINGS, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    SetFocus(GetDlgItem(dialog, IDC_CHECK_FINDINGS));
}

void CALLBACK TickFirstDeleted(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND dialog = FindWindowA("#32770", "Undelete");
    LVITEMA state = {};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(2);
    SendDlgItemMessageA(dialog, IDC_UNDELETE_LIST, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
}

// The sample image with its sizes given clusters, a lost chain and deleted
// files, one of them over clusters a file took since.
bool DamagedSample(ImageDocument& doc, HWND owner) {
    uint32_t dataFile = 0;
    if (!SampleImage(doc, owner, dataFile)) {
        return false;
    }
    const Volume vol = VolumeOf(doc);
    Store16(doc.Area() + dataFile + kDirFirstCluster, 2);
    WriteFatEntry(vol, 2, 3);
    WriteFatEntry(vol, 3, 0xFFF);
    WriteFatEntry(vol, 10, 11);
    WriteFatEntry(vol, 11, 0xFFF);
    const uint32_t kept = PutFile(doc, 3, "\xE5" "AMES   BAS", 0x20, 3000);
    Store16(doc.Area() + kept + kDirFirstCluster, 5);
    const uint32_t taken = PutFile(doc, 4, "\xE5" "ETTERS TXT", 0x20, 900);
    Store16(doc.Area() + taken + kDirFirstCluster, 3);
    const uint32_t gone = PutFile(doc, 5, "\xE5" "OTES   DOC", 0x20, 1800);
    Store16(doc.Area() + gone + kDirFirstCluster, 8);
    const Layout layout = doc.GetLayout();
    std::memcpy(doc.Area() + layout.FatCopyStart(1), doc.Area() + layout.fatStart, layout.fatBytes);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    InitCommonControls();
    const std::string what = argc > 1 ? argv[1] : "volume";
    const struct {
        const char* name;
        UINT command;
    } views[] = {{"view-list", ID_VIEW_LIST}, {"view-icon", ID_VIEW_ICON}, {"view-small-icon", ID_VIEW_SMALL_ICON},
                 {"view-report", ID_VIEW_REPORT}};
    for (const auto& v : views) {
        if (what == v.name) {
            SetTimer(nullptr, 0, kShowMs, EndGallery);
            return ShowMainWindow(v.command);
        }
    }
    if (what == "folder") {
        SetTimer(nullptr, 0, kShowMs, EndGallery);
        return ShowFolder();
    }
    if (what == "check-disk" || what == "undelete") {
        HWND owner = CreateWindowExA(0, "STATIC", "Volkarn", WS_OVERLAPPED, 0, 0, 800, 600, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
        SetMainWindow(owner);
        if (!DamagedSample(TheDocument(), owner)) {
            return 1;
        }
        TheDocument().fileName = "GAMES.DSK";
        SetTimer(nullptr, 0, kShowMs, EndGallery);
        SetTimer(nullptr, 0, 300, what == "undelete" ? TickFirstDeleted : SelectFirstFinding);
        if (what == "undelete") {
            ShowUndeleteDialog(owner);
        } else {
            ShowCheckDiskDialog(owner);
        }
        return 0;
    }
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
    if (what == "extract-folder") {
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        std::string folder = temp;
        ChooseExtractFolder(owner, folder);
        return 0;
    }
    if (what == "yes-to-all") {
        Ask(owner, TextNotice(kMsgDeleteFile, Tone::kQuestion, {"DATA.BIN"}), Choices::kYesAllNoCancel, true);
        return 0;
    }
    if (what == "replace-yes-to-all") {
        Ask(owner, TextNotice(kMsgReplaceEntry, Tone::kQuestion, {"GAME.BIN"}), Choices::kYesAllNoCancel);
        return 0;
    }
    if (what == "add-self") {
        Tell(owner, TextNotice(kMsgAddOpenImage, Tone::kError, {"C:\\Games\\GAMES.DSK"}));
        return 0;
    }
    if (what == "save-as") {
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        std::string path = std::string(temp) + "GAMES.DSK";
        const ScopedPromptOwner boxes(owner);
        AskSaveImagePath(path);
        return 0;
    }
    if (what == "folder-properties") {
        const Result games = MakeFolderIn(doc, kRootDir, "GAMES", CurrentFileOptions());
        if (!games.Done()) {
            return 1;
        }
        const DirRef gamesDir{Load16(doc.Area() + games.changes.added.front() + kDirFirstCluster)};
        PutFileIn(doc, gamesDir, 2, "SHOOT   COM", 1300);
        PutFileIn(doc, gamesDir, 3, "SHOOT   DAT", 2000);
        FilePropertiesRequest request;
        request.doc = &doc;
        request.entryOffset = games.changes.added.front();
        RunModeless(reinterpret_cast<HWND>(OpenFilePropertiesSheet(owner, "GAMES", request, PSH_MODELESS)), 0);
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
