#include "win32/sheets/format_lists.h"

#include <array>
#include <string>

#include "engine/core/disk_format.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"

namespace vk::win32 {
namespace {

LRESULT AddRow(HWND combo, unsigned textId) {
    const std::string text(LoadText(textId));
    return SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace

void FillFormatList(HWND dialog, int control, uint32_t selectedCode, bool withCustom) {
    HWND combo = GetDlgItem(dialog, control);
    std::array<uint32_t, kFormatRows> codes{};
    const size_t count = ListedFormatCodes(codes);
    LRESULT selected = CB_ERR;
    for (size_t i = 0; i < count; ++i) {
        const DiskFormat& row = FormatRow(codes[i]);
        const LRESULT index = AddRow(combo, row.descriptionId);
        if (index < 0) {
            break;
        }
        SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), row.mediaByte);
        if (row.mediaByte == selectedCode) {
            selected = index;
        }
    }
    if (withCustom) {
        const LRESULT index = AddRow(combo, kStrCustomFormat);
        if (index >= 0) {
            SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), 0);
        }
    }
    SendMessageA(combo, CB_SETCURSEL, selected >= 0 ? static_cast<WPARAM>(selected) : 0, 0);
}

void FillBootSectorList(HWND dialog, int control, int32_t selected) {
    HWND combo = GetDlgItem(dialog, control);
    for (unsigned index = 0; index < kBootTemplateCount; ++index) {
        if (AddRow(combo, BootTemplateNameId(index)) < 0) {
            break;
        }
    }
    // An index outside the templates selects nothing (CB_SETCURSEL with -1).
    const bool known = selected >= 0 && selected < static_cast<int32_t>(kBootTemplateCount);
    SendMessageA(combo, CB_SETCURSEL, known ? static_cast<WPARAM>(selected) : static_cast<WPARAM>(-1), 0);
}

}  // namespace vk::win32
