// What the Check disk and Undelete dialogs share: notice texts and their
// report lists.
#include "win32/check/check_dialogs.h"

#include "engine/strings/strings.h"
#include "win32/sheets/page_support.h"

namespace vk::win32 {

std::string NoticeLine(const Notice& notice) {
    if (notice.form != Notice::Form::kText) {
        return notice.firstLine;
    }
    std::string text;
    ExpandInserts(LoadText(notice.id), notice.inserts, text);
    return text;
}

void SetUpReportList(HWND list, const unsigned* captionIds, const int* shares, int rightAligned) {
    ApplyListLook(list);
    RECT client = {};
    GetClientRect(list, &client);
    // Room for the vertical scroll bar, so that no horizontal one comes.
    const int width = client.right - client.left - GetSystemMetrics(SM_CXVSCROLL);
    for (int column = 0; captionIds[column] != 0; ++column) {
        std::string caption(LoadText(captionIds[column]));
        LVCOLUMNA header = {};
        header.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        header.fmt = column == rightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT;
        header.cx = width * shares[column] / 100;
        header.pszText = caption.data();
        header.iSubItem = column;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&header));
    }
}

int AppendRow(HWND list, const std::vector<std::string>& texts, LPARAM param) {
    std::string first = texts.empty() ? std::string() : texts.front();
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = first.data();
    item.lParam = param;
    const int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) {
        return row;
    }
    for (size_t column = 1; column < texts.size(); ++column) {
        std::string text = texts[column];
        LVITEMA sub = {};
        sub.iSubItem = static_cast<int>(column);
        sub.pszText = text.data();
        SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&sub));
    }
    return row;
}

}  // namespace vk::win32
