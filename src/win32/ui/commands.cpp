#include "win32/ui/commands.h"

#include <commctrl.h>

#include "win32/check/check_dialogs.h"
#include "win32/common/file_dialog.h"
#include "engine/core/document.h"
#include "win32/disk_dialogs/disk_dialogs.h"
#include "win32/dragdrop/dragdrop.h"
#include "engine/fat/ops/add_file.h"
#include "engine/fat/ops/delete_rename.h"
#include "engine/fat/ops/extract.h"
#include "engine/ports/window_sync.h"
#include "win32/settings/help.h"
#include "win32/sheets/sheets.h"
#include "win32/sheets/viewer_dialog.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/strings/string_ids.h"
#include "win32/ui/app_state.h"
#include "win32/ui/file_options.h"
#include "win32/ui/document_view.h"
#include "win32/ui/explorer_list.h"
#include "win32/ui/current_folder.h"
#include "win32/ui/extract_many.h"
#include "win32/ui/folder_commands.h"
#include "win32/ui/list_sync.h"
#include "win32/ui/main_window.h"
#include "win32/ui/write_to_disk.h"
#include "win32/ports/win32_prompts.h"

namespace vk::win32 {
namespace {

// The Add file dialog's name buffer: room for many names, with a one-path
// fallback when that much memory cannot be had.
constexpr size_t kMultiSelectBufferSize = 32768;

const struct {
    UINT id;
    uint32_t view;
} kViewCommands[] = {
    {ID_VIEW_ICON, LVS_ICON},
    {ID_VIEW_REPORT, LVS_REPORT},
    {ID_VIEW_SMALL_ICON, LVS_SMALLICON},
    {ID_VIEW_LIST, LVS_LIST},
};

// Items grayed without an open image.
const UINT kNeedImage[] = {ID_FILE_SAVE_AS, ID_FILE_WRITE_TO_DISK, ID_FILE_CLOSE, ID_FILE_PROPERTIES,
                           ID_EDIT_ADD_FILE, ID_VIEW_REPORT, ID_VIEW_LIST, ID_VIEW_ICON,
                           ID_VIEW_SMALL_ICON, ID_VIEW_DETAILS, ID_CONTEXT_MENU_KEY, ID_EDIT_NEW_FOLDER,
                           ID_EXTRAS_CHECK_DISK, ID_EXTRAS_UNDELETE, ID_EDIT_SELECT_ALL};
// Items grayed without an open image or without a selection.
const UINT kNeedSelection[] = {ID_EDIT_PROPERTIES, ID_EDIT_EXTRACT, ID_EDIT_DELETE, ID_EDIT_RENAME};
// Items grayed while the engine refuses every change of the image.
const UINT kChangeImage[] = {ID_FILE_SAVE,   ID_FILE_SAVE_AS,    ID_EDIT_ADD_FILE,      ID_EDIT_DELETE,
                             ID_EDIT_RENAME, ID_EDIT_NEW_FOLDER, ID_EDIT_DELETE_FOLDER, ID_EXTRAS_UNDELETE};
// Every item a rule may gray, for UpdateMenuState.
const UINT kRuledItems[] = {ID_FILE_SAVE,       ID_FILE_SAVE_AS,  ID_FILE_WRITE_TO_DISK, ID_FILE_CLOSE,
                            ID_FILE_PROPERTIES, ID_EDIT_ADD_FILE, ID_VIEW_REPORT,        ID_VIEW_LIST,
                            ID_VIEW_ICON,       ID_VIEW_SMALL_ICON, ID_VIEW_DETAILS,     ID_EDIT_PROPERTIES,
                            ID_EDIT_EXTRACT,    ID_EDIT_DELETE,   ID_EDIT_RENAME,        ID_EDIT_NEW_FOLDER,
                            ID_EDIT_DELETE_FOLDER, ID_VIEW_PARENT_FOLDER, ID_EXTRAS_CHECK_DISK, ID_EXTRAS_UNDELETE,
                            ID_FILE_OPEN_PARTITION, ID_EXTRAS_VIEW, ID_EDIT_SELECT_ALL};

template <size_t N>
bool Contains(const UINT (&ids)[N], UINT id) {
    for (UINT i : ids) {
        if (i == id) {
            return true;
        }
    }
    return false;
}

HWND List() { return MainParts().list; }

void OpenCommand(HWND owner) {
    char path[kMaxPath] = "";
    bool readOnly = false;
    if (!ShowFileDialog(owner, kStrOpenImageFilter, 0, path, sizeof path, OFN_FILEMUSTEXIST,
                        FileDialogKind::kOpen, &readOnly)) {
        return;
    }
    OpenDocument(TheDocument(), owner, path, readOnly);
}

void AddFilesCommand(HWND owner) {
    ByteBlock names;
    if (!names.Allocate(kMultiSelectBufferSize)) {
        names.Allocate(kMaxPath);
    }
    if (names.empty()) {
        return;
    }
    char* buffer = reinterpret_cast<char*>(names.data());
    buffer[0] = '\0';
    if (!ShowFileDialog(owner, kStrAllFilesFilter, 0, buffer, static_cast<DWORD>(names.size()),
                        OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY,
                        FileDialogKind::kOpen)) {
        return;
    }
    ImageDocument& doc = TheDocument();
    const ScopedPromptOwner boxes(owner);
    AddFiles(
        doc, SelectedPaths(buffer, names.size()),
        [owner, &doc](const Result& one) { ShowResult(owner, List(), doc, one); }, CurrentFileOptions(),
        TheFolder().Dir());
}

// Over the window that owns the Extract file command's boxes.
bool ChooseExtractPath(std::string_view suggestedName, std::string& path) {
    char buffer[kMaxPath] = "";
    lstrcpynA(buffer, SafeHostName(suggestedName).c_str(), sizeof buffer);
    if (!ShowFileDialog(PromptOwner(), kStrAllFilesFilter, 0, buffer, sizeof buffer,
                        OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_CREATEPROMPT, FileDialogKind::kSave)) {
        return false;
    }
    path = buffer;
    return true;
}

// The one selected file, when the selection is one file.
uint32_t SelectedFile(const ImageDocument& doc) {
    const std::vector<uint32_t> entries = List() != nullptr ? SelectedEntries(List()) : std::vector<uint32_t>();
    if (entries.size() != 1 || (doc.Area()[entries[0] + kDirAttr] & (kAttrDirectory | kAttrVolume)) != 0) return 0;
    return entries[0];
}

void ViewFileCommand(HWND mainWindow) {
    const ImageDocument& doc = TheDocument();
    const uint32_t entry = SelectedFile(doc);
    if (entry == 0) return;
    ViewedFile file;
    file.name = EntryColumns(doc.Area() + entry).name;
    const Result read = ReadEntryBytes(doc, entry, file.bytes);
    if (!read.Done()) {
        Report(mainWindow, read);
        return;
    }
    RunViewerDialog(mainWindow, file);
}

void CloseAndLeave(HWND mainWindow) {
    if (CloseDocument(TheDocument(), false)) {
        PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    }
    RemoveDragTempDirectory();
}

}  // namespace

MenuContext CurrentMenuContext() {
    const ImageDocument& doc = TheDocument();
    MenuContext context;
    context.open = doc.IsOpen();
    context.hasFile = doc.imageFile.IsOpen();
    context.readOnly = doc.readOnly;
    context.changesRefused = doc.changeBlock != ChangeBlock::kNone;
    context.extractRefused = doc.changeBlock == ChangeBlock::kInvalidBootSector;
    context.trackImage = doc.changeBlock == ChangeBlock::kTrackImage;
    context.selected = List() != nullptr && SendMessageA(List(), LVM_GETSELECTEDCOUNT, 0, 0) > 0;
    context.viewType = TheSettings().viewType;
    context.atRoot = TheFolder().AtRoot();
    context.foldersSelected = context.selected && SelectionIsFolders(List(), doc);
    context.oneFileSelected = context.open && context.selected && SelectedFile(doc) != 0;
    context.partitioned = doc.IsOpen() && doc.partition != 0;
    return context;
}

bool IsCommandGrayed(UINT id, const MenuContext& context) {
    const bool plainCopy = context.trackImage && id == ID_FILE_SAVE_AS;
    if ((context.changesRefused && !plainCopy && Contains(kChangeImage, id)) ||
        (context.extractRefused && (id == ID_EDIT_EXTRACT || id == ID_EXTRAS_VIEW))) {
        return true;
    }
    if (id == ID_FILE_SAVE) {
        return !context.open || !context.hasFile || context.readOnly;
    }
    if (Contains(kNeedImage, id)) {
        return !context.open;
    }
    if (Contains(kNeedSelection, id)) {
        return !context.open || !context.selected;
    }
    if (id == ID_EDIT_DELETE_FOLDER) {
        return !context.open || !context.foldersSelected;
    }
    if (id == ID_VIEW_PARENT_FOLDER) {
        return !context.open || context.atRoot;
    }
    if (id == ID_FILE_OPEN_PARTITION) {
        return !context.open || !context.partitioned;
    }
    if (id == ID_EXTRAS_VIEW) {
        return !context.open || !context.oneFileSelected;
    }
    return false;
}

UINT ViewCommand(uint32_t viewType) {
    for (const auto& v : kViewCommands) {
        if (v.view == viewType) {
            return v.id;
        }
    }
    return 0;
}

void UpdateMenuState(HMENU menu) {
    const MenuContext context = CurrentMenuContext();
    for (UINT id : kRuledItems) {
        EnableMenuItem(menu, id, MF_BYCOMMAND | (IsCommandGrayed(id, context) ? MF_GRAYED : MF_ENABLED));
    }
    const UINT checked = ViewCommand(context.viewType);
    for (const auto& v : kViewCommands) {
        CheckMenuItem(menu, v.id, MF_BYCOMMAND | (v.id == checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

void ExtractEachWithSaveDialog(HWND mainWindow) {
    for (const uint32_t entry : SelectedEntries(List())) {
        Result saved;
        {
            const ScopedPromptOwner boxes(mainWindow);
            saved = SaveEntryAs(TheDocument(), entry, ChooseExtractPath);
        }
        Report(mainWindow, saved);
        if (!saved.goOn) {
            break;
        }
    }
}

void ExecuteCommand(UINT id, HWND mainWindow) {
    if (IsCommandGrayed(id, CurrentMenuContext())) {
        return;
    }
    ImageDocument& doc = TheDocument();
    switch (id) {
    case ID_FILE_NEW:
        if (CloseDocument(doc, true)) {
            RemoveDragTempDirectory();
            RunNewImageDialog(mainWindow);
        }
        break;
    case ID_FILE_OPEN:
        OpenCommand(mainWindow);
        break;
    case ID_FILE_OPEN_PARTITION:
        OpenOtherPartition(doc, mainWindow);
        break;
    case ID_FILE_SAVE:
        SaveDocument(doc);
        break;
    case ID_FILE_SAVE_AS:
        SaveDocumentAs(doc, mainWindow);
        break;
    case ID_FILE_WRITE_TO_DISK:
        ConfirmWriteToDisk(mainWindow);
        break;
    case ID_FILE_CLOSE:
        CloseDocument(doc, true);
        RemoveDragTempDirectory();
        break;
    case ID_FILE_EXIT:
        CloseAndLeave(mainWindow);
        break;
    case ID_EDIT_ADD_FILE:
        AddFilesCommand(mainWindow);
        break;
    case ID_EDIT_EXTRACT:
        ExtractCommand(mainWindow);
        break;
    case ID_EDIT_DELETE: {
        const ScopedPromptOwner boxes(mainWindow);
        ShowResult(mainWindow, List(), doc, DeleteEntries(doc, SelectedEntries(List()), CurrentFileOptions()));
        break;
    }
    case ID_EDIT_RENAME:
        BeginRename(List());
        break;
    case ID_EDIT_NEW_FOLDER:
        NewFolderCommand(mainWindow);
        break;
    case ID_EDIT_DELETE_FOLDER:
        DeleteFolderCommand(mainWindow);
        break;
    case ID_EDIT_SELECT_ALL:
        SelectAllEntries(List());
        break;
    case ID_VIEW_PARENT_FOLDER:
        GoToParentFolder(doc);
        break;
    case ID_VIEW_REPORT:
    case ID_VIEW_LIST:
    case ID_VIEW_ICON:
    case ID_VIEW_SMALL_ICON:
        for (const auto& v : kViewCommands) {
            if (v.id == id) {
                SetViewMode(List(), v.view);
            }
        }
        break;
    case ID_FILE_PROPERTIES:
        ShowImageProperties(mainWindow);
        break;
    case ID_EDIT_PROPERTIES:
        ShowFileProperties(mainWindow);
        break;
    case ID_VIEW_DETAILS:
        CaptureColumnWidths(List());
        ShowDetailsDialog(mainWindow);
        break;
    case ID_EXTRAS_CHECK_DISK:
        ShowCheckDiskDialog(mainWindow);
        break;
    case ID_EXTRAS_UNDELETE:
        ShowUndeleteDialog(mainWindow);
        break;
    case ID_EXTRAS_VIEW:
        ViewFileCommand(mainWindow);
        break;
    case ID_EXTRAS_OPTIONS:
        ShowOptions(mainWindow);
        break;
    case ID_HELP_INDEX:
        ShowHelp(mainWindow, nullptr);
        break;
    case ID_HELP_ABOUT:
        ShowAbout(mainWindow);
        break;
    case ID_CONTEXT_MENU_KEY: {
        POINT corner = {0, 0};
        ClientToScreen(mainWindow, &corner);
        ShowContextMenu(mainWindow, corner);
        break;
    }
    default:
        // Original order does nothing.
        break;
    }
}

void ShowContextMenu(HWND mainWindow, POINT screenPoint) {
    HMENU menu = LoadMenuA(App().instance, MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
    if (menu == nullptr) {
        return;
    }
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTBUTTON, screenPoint.x, screenPoint.y, 0, mainWindow, nullptr);
    DestroyMenu(menu);
}

std::vector<std::string> SelectedPaths(const char* buffer, size_t size) {
    std::vector<std::string> paths;
    const char* end = buffer + size;
    const size_t firstLength = strnlen(buffer, size);
    if (firstLength == 0 || firstLength >= size) {
        return paths;
    }
    std::string folder(buffer, firstLength);
    const char* name = buffer + firstLength + 1;
    if (name >= end || *name == '\0') {
        paths.push_back(folder);  // one file: its full path
        return paths;
    }
    // A drive root comes with its separator already.
    if (folder.back() != '\\') {
        folder += '\\';
    }
    while (name < end && *name != '\0') {
        const size_t length = strnlen(name, static_cast<size_t>(end - name));
        paths.push_back(folder + std::string(name, length));
        name += length + 1;
    }
    return paths;
}

}  // namespace vk::win32
