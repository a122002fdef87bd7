// The page "General" of the file properties sheet, and the sheet.
#include "win32/sheets/file_properties_page.h"

#include "win32/common/dialog_helpers.h"
#include "engine/core/document.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/file_properties.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "engine/ports/window_sync.h"
#include "win32/resources/dialog_ids.h"
#include "win32/resources/sheets_ids.h"
#include "win32/sheets/page_support.h"
#include "win32/sheets/sheets.h"
#include "win32/ui/app_state.h"
#include "win32/ui/command_line.h"
#include "win32/ui/current_folder.h"
#include "win32/ui/explorer_list.h"
#include "win32/ui/main_window.h"
#include "win32/ports/main_window.h"
#include "win32/ports/win32_prompts.h"

namespace vk::win32 {
namespace {

constexpr char kFilePropertiesTopic[] = "FileProp";
constexpr int kItemTextLength = 260;

struct AttributeBox {
    int control;
    uint8_t bit;
};
constexpr AttributeBox kAttributeBoxes[] = {
    {IDC_FILE_READ_ONLY, kAttrReadOnly},
    {IDC_FILE_HIDDEN, kAttrHidden},
    {IDC_FILE_ARCHIVE, kAttrArchive},
    {IDC_FILE_SYSTEM, kAttrSystem},
};

bool IsAttributeBox(int control) {
    for (const AttributeBox& box : kAttributeBoxes) {
        if (box.control == control) {
            return true;
        }
    }
    return false;
}

// The list's image for the entry, or the program's own icon of that kind.
// The icon taken from the image list is the page's to destroy.
void ShowEntryIcon(HWND page, const FilePropertiesRequest& request, bool isDirectory) {
    HICON icon = nullptr;
    if (request.images != nullptr) {
        icon = ImageList_GetIcon(request.images, isDirectory ? kImageFolder : kImageFile, ILD_NORMAL);
    }
    if (icon == nullptr) {
        icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr),
                                             MAKEINTRESOURCEA(isDirectory ? IDI_FOLDER_CLOSED : IDI_FILE),
                                             IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    }
    SendDlgItemMessageA(page, IDC_FILE_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void OnDestroyFilePropertiesPage(HWND page) {
    const FilePropertiesRequest* request = WindowData<FilePropertiesRequest>(page);
    HICON icon = reinterpret_cast<HICON>(SendDlgItemMessageA(page, IDC_FILE_ICON, STM_GETICON, 0, 0));
    if (request != nullptr && request->images != nullptr && icon != nullptr) {
        SendDlgItemMessageA(page, IDC_FILE_ICON, STM_SETICON, 0, 0);
        DestroyIcon(icon);
    }
    SetWindowData(page, nullptr);
}

}  // namespace

void OnInitFilePropertiesPage(HWND page, FilePropertiesRequest& request) {
    const FileProperties p = ReadFileProperties(*request.doc, request.entryOffset, request.typeNamesPath, request.folderPath);
    if (p.isDirectory) {
        SetItemText(page, IDC_FILE_NAME_LABEL, std::string(LoadText(kStrFolderLabel)));
    }
    SetItemText(page, IDC_FILE_NAME, p.file);
    SetItemText(page, IDC_FILE_TYPE, p.type);
    SetItemText(page, IDC_FILE_LOCATION, p.location);
    SetItemText(page, IDC_FILE_SIZE, p.size);
    SetItemText(page, IDC_FILE_CHANGED, p.changed);
    for (const AttributeBox& box : kAttributeBoxes) {
        CheckDlgButton(page, box.control, (p.attributes & box.bit) ? BST_CHECKED : BST_UNCHECKED);
        // An image the engine keeps read-only shows the attributes without offering a change.
        EnableWindow(GetDlgItem(page, box.control), request.doc->changeBlock == ChangeBlock::kNone);
    }
    ShowEntryIcon(page, request, p.isDirectory);
    SetWindowData(page, &request);
    CenterSheet(page);
}

uint8_t CheckedAttributes(HWND page) {
    uint8_t bits = 0;
    for (const AttributeBox& box : kAttributeBoxes) {
        if (IsDlgButtonChecked(page, box.control) == BST_CHECKED) {
            bits |= box.bit;
        }
    }
    return bits;
}

void ApplyFilePropertiesPage(HWND page) {
    FilePropertiesRequest* request = WindowData<FilePropertiesRequest>(page);
    if (request == nullptr) {
        return;
    }
    const Result applied = ApplyFileAttributes(*request->doc, request->entryOffset, CheckedAttributes(page));
    Report(MainWindowHandle(), applied);
    if (!applied.changes.Empty()) {
        request->applied = true;
    }
}

INT_PTR CALLBACK FilePropertiesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitFilePropertiesPage(page, *reinterpret_cast<FilePropertiesRequest*>(PageParam(lParam)));
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && IsAttributeBox(LOWORD(wParam))) {
            MarkPageChanged(page);
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY:
        switch (reinterpret_cast<NMHDR*>(lParam)->code) {
        case PSN_APPLY:
            ApplyFilePropertiesPage(page);
            return PageResult(page, PSNRET_NOERROR);
        case PSN_HELP:
            ShowTopic(page, kFilePropertiesTopic);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_DESTROY:
        OnDestroyFilePropertiesPage(page);
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR OpenFilePropertiesSheet(HWND owner, const std::string& itemText, FilePropertiesRequest& request,
                                DWORD extraFlags) {
    const PROPSHEETPAGEA page = MakePropertyPage(IDD_FILE_PROPERTIES_PAGE, FilePropertiesPageProc,
                                                 reinterpret_cast<LPARAM>(&request), PSP_HASHELP);
    PROPSHEETHEADERA header = MakePropertySheet(owner, &page, 1, PSH_HASHELP | PSH_PROPTITLE | extraFlags);
    header.pszCaption = itemText.c_str();
    return RunPropertySheet(header, 0);
}

void ShowFileProperties(HWND owner) {
    WaitCursor wait;
    ImageDocument& doc = TheDocument();
    HWND list = MainParts().list;
    if (!doc.IsOpen() || list == nullptr) {
        return;
    }
    const int item = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    FilePropertiesRequest request;
    request.doc = &doc;
    if (item < 0 || !ItemEntryOffset(list, item, request.entryOffset) || request.entryOffset > doc.AreaLength() ||
        doc.AreaLength() - request.entryOffset < kDirEntrySize) {
        return;
    }
    char text[kItemTextLength] = "";
    LVITEMA lvItem = {};
    lvItem.pszText = text;
    lvItem.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvItem));
    request.typeNamesPath = ProgramDirectory() + kTypeNamesFile;
    request.folderPath = TheFolder().Path();
    request.images = MainParts().images.largeIcons;
    OpenFilePropertiesSheet(owner, text, request);
    // The attributes column shows the entry's new bits.
    if (request.applied) {
        InvalidateRect(list, nullptr, FALSE);
    }
}

}  // namespace vk::win32
