// The disk-image properties sheet: which pages it opens with, and the sheet.
#include "win32/sheets/image_properties.h"

#include "win32/common/dialog_helpers.h"
#include "engine/core/document.h"
#include "win32/resources/dialog_ids.h"
#include "win32/resources/sheets_ids.h"
#include "win32/sheets/sheets.h"
#include "engine/strings/string_ids.h"
#include "win32/ui/app_state.h"

namespace vk::win32 {
namespace {

constexpr int kMaxImagePages = 3;

}  // namespace

int ImagePageCount(bool hasErrorList, bool shiftHeld) {
    if (shiftHeld) {
        return kMaxImagePages;
    }
    return hasErrorList ? 2 : 1;
}

INT_PTR OpenImagePropertiesSheet(HWND owner, ImageDocument& doc, bool shiftHeld, DWORD extraFlags) {
    const LPARAM param = reinterpret_cast<LPARAM>(&doc);
    const PROPSHEETPAGEA pages[kMaxImagePages] = {
        MakePropertyPage(IDD_VOLUME_PAGE, VolumePageProc, param, PSP_HASHELP),
        MakePropertyPage(IDD_ERRORS_PAGE, ErrorsPageProc, param, PSP_HASHELP),
        MakePropertyPage(IDD_MEDIA_PAGE, MediaPageProc, param),
    };
    const int count = ImagePageCount(!doc.errorList.empty(), shiftHeld);
    PROPSHEETHEADERA header =
        MakePropertySheet(owner, pages, static_cast<UINT>(count), PSH_HASHELP | PSH_USEICONID | extraFlags);
    header.pszIcon = MAKEINTRESOURCEA(IDI_PROGRAM);
    return RunPropertySheet(header, kStrImagePropertiesCaption);
}

void ShowImageProperties(HWND owner) {
    ImageDocument& doc = TheDocument();
    if (!doc.IsOpen()) {
        return;
    }
    // The Media page is for those who ask for it: Shift held as the sheet opens.
    const bool shiftHeld = GetKeyState(VK_SHIFT) < 0;
    OpenImagePropertiesSheet(owner, doc, shiftHeld);
}

}  // namespace vk::win32
