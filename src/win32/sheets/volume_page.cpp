// The page "Volume": OEM text, volume label and the space figures.
#include <memory>

#include "engine/core/document.h"
#include "engine/fat/ops/volume_info.h"
#include "win32/resources/sheets_ids.h"
#include "win32/sheets/image_properties.h"
#include "win32/sheets/page_support.h"
#include "win32/ports/win32_prompts.h"

namespace vk::win32 {
namespace {

constexpr char kVolumeTopic[] = "Volume";

struct VolumePage {
    ImageDocument* doc = nullptr;
    VolumeFigures opened;  // with the label entry found at opening, until Apply
};

}  // namespace

void OnInitVolumePage(HWND page, ImageDocument& doc) {
    auto state = std::make_unique<VolumePage>();
    state->doc = &doc;
    state->opened = ReadVolumeFigures(doc);
    const VolumeFigures& f = state->opened;
    SetItemText(page, IDC_VOLUME_OEM, f.oemText);
    SendDlgItemMessageA(page, IDC_VOLUME_LABEL, EM_LIMITTEXT, kLabelLength, 0);
    // An image the engine keeps read-only shows its label without offering a change.
    SendDlgItemMessageA(page, IDC_VOLUME_LABEL, EM_SETREADONLY, doc.changeBlock != ChangeBlock::kNone, 0);
    // Filling the field sends EN_CHANGE: the page is not changed by it, so
    // the record that lets changes count comes after.
    SetItemText(page, IDC_VOLUME_LABEL, f.labelText);
    SetItemGroupedNumber(page, IDC_VOLUME_USED, f.usedBytes);
    SetItemGroupedNumber(page, IDC_VOLUME_FREE, f.freeBytes);
    SetItemGroupedNumber(page, IDC_VOLUME_TOTAL, f.totalBytes);
    SetWindowData(page, state.release());
    CenterSheet(page);
}

bool ApplyVolumePage(HWND page) {
    VolumePage* state = WindowData<VolumePage>(page);
    if (state == nullptr || state->doc->changeBlock != ChangeBlock::kNone) {
        return true;
    }
    const std::string typed = ItemText(page, IDC_VOLUME_LABEL, static_cast<int>(kLabelLength));
    const Result applied = ApplyVolumeLabel(*state->doc, state->opened, typed);
    Report(GetParent(page), applied);
    if (!applied.Done()) {
        return false;
    }
    // A second Apply compares with what is stored now, not with the old label.
    state->opened = ReadVolumeFigures(*state->doc);
    return true;
}

void OnDestroyVolumePage(HWND page) {
    delete WindowData<VolumePage>(page);
    SetWindowData(page, nullptr);
}

INT_PTR CALLBACK VolumePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitVolumePage(page, *reinterpret_cast<ImageDocument*>(PageParam(lParam)));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_VOLUME_LABEL && HIWORD(wParam) == EN_CHANGE &&
            WindowData<VolumePage>(page) != nullptr) {
            MarkPageChanged(page);
        }
        return TRUE;
    case WM_NOTIFY:
        switch (reinterpret_cast<NMHDR*>(lParam)->code) {
        case PSN_APPLY:
            return PageResult(page, ApplyVolumePage(page) ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE);
        case PSN_HELP:
            ShowTopic(page, kVolumeTopic);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_DESTROY:
        OnDestroyVolumePage(page);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace vk::win32
