// The dialog "Add sector" of the Errors page: a sector number, typed or
// picked from the drop-down list of all sectors.
#include <string>

#include "win32/common/dialog_helpers.h"
#include "engine/ports/prompts.h"
#include "win32/resources/sheets_ids.h"
#include "win32/sheets/image_properties.h"
#include "win32/sheets/page_support.h"
#include "engine/strings/string_ids.h"
#include "win32/ports/win32_prompts.h"

namespace vk::win32 {
namespace {

constexpr char kAddSectorTopic[] = "AddSect";
constexpr int kInputLength = 80;

struct AddSectorRequest {
    uint32_t totalSectors = 0;
    uint32_t sector = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

SectorInput ParseSectorInput(std::string_view text, uint32_t totalSectors, uint32_t& sector) {
    size_t at = text.find_first_not_of(' ');
    if (at == std::string_view::npos || !IsDigit(text[at])) {
        return SectorInput::kNoNumber;
    }
    // Digits beyond any sector count stay out of range rather than wrap
    // round to a small number.
    uint64_t value = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        value = value * 10 + static_cast<uint64_t>(text[at] - '0');
        if (value >= totalSectors) {
            return SectorInput::kOutOfRange;
        }
    }
    sector = static_cast<uint32_t>(value);
    return SectorInput::kValid;
}

void OnInitAddSectorDialog(HWND dialog, uint32_t totalSectors) {
    CenterOverParent(dialog);
    HWND combo = GetDlgItem(dialog, IDC_ADD_SECTOR_NUMBER);
    SendMessageA(combo, CB_INITSTORAGE, totalSectors, static_cast<LPARAM>(totalSectors) * 8);
    for (uint32_t sector = 0; sector < totalSectors; ++sector) {
        const std::string text = std::to_string(sector);
        if (SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())) < 0) {
            break;
        }
    }
}

bool ReadAddSectorInput(HWND dialog, uint32_t totalSectors, uint32_t& sector) {
    switch (ParseSectorInput(ItemText(dialog, IDC_ADD_SECTOR_NUMBER, kInputLength), totalSectors, sector)) {
    case SectorInput::kValid:
        return true;
    case SectorInput::kNoNumber:
        Tell(dialog, TextNotice(kMsgNoSectorNumber, Tone::kError));
        return false;
    case SectorInput::kOutOfRange:
        Tell(dialog, TextNotice(kMsgBadSectorNumber, Tone::kError));
        return false;
    }
    return false;
}

INT_PTR CALLBACK AddSectorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* request = reinterpret_cast<AddSectorRequest*>(lParam);
        SetWindowData(dialog, request);
        OnInitAddSectorDialog(dialog, request->totalSectors);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            AddSectorRequest* request = WindowData<AddSectorRequest>(dialog);
            if (ReadAddSectorInput(dialog, request->totalSectors, request->sector)) {
                EndDialog(dialog, IDOK);
            }
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_DIALOG_HELP:
            ShowTopic(dialog, kAddSectorTopic);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

bool AskSectorNumber(HWND owner, uint32_t totalSectors, uint32_t& sector) {
    AddSectorRequest request;
    request.totalSectors = totalSectors;
    if (RunDialog(owner, IDD_ADD_SECTOR, AddSectorDialogProc, reinterpret_cast<LPARAM>(&request)) != IDOK) {
        return false;
    }
    sector = request.sector;
    return true;
}

}  // namespace vk::win32
