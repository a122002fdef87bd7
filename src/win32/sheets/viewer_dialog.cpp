// The View dialog. The text is in a Unicode edit control made at run time,
// so that MSX characters show whatever the system's code page; the edit
// control itself selects, scrolls and copies.
#include "win32/sheets/viewer_dialog.h"

#include <cwctype>

#include "engine/basic/file_view.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "win32/common/dialog_helpers.h"
#include "win32/resources/viewer_dialog_ids.h"
#include "win32/sheets/page_support.h"

namespace vk::win32 {
namespace {

constexpr char kViewTopic[] = "View";

// The controls below the text, which keep their distance to the bottom edge;
// those on the right keep their distance to the right edge too.
const struct {
    int id;
    bool right;
} kBottomControls[] = {{IDC_VIEW_NOTE, false},      {IDC_VIEW_FIND_LABEL, false}, {IDC_VIEW_FIND, false},
                       {IDC_VIEW_FIND_NEXT, false}, {IDC_VIEW_COPY, true},        {IDC_VIEW_HELP, true},
                       {IDCANCEL, true}};

// What the dialog keeps while it is open.
struct ViewerState {
    ViewedFile* file = nullptr;
    HFONT font = nullptr;
    SIZE client = {};      // the client area the controls were last laid out for
    SIZE smallest = {};    // the window's size as the template made it
};

std::wstring Wide(const std::string& utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    }
    return wide;
}

std::wstring WindowTextW(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

HWND Text(HWND dialog) { return GetDlgItem(dialog, IDC_VIEW_TEXT); }

std::string Formatted(unsigned id, std::initializer_list<std::string_view> inserts) {
    std::string text;
    ExpandInserts(LoadText(id), inserts, text);
    return text;
}

// The line under the text: what kind of file it is, and where a listing stopped.
std::string KindNote(const FileView& view, size_t size) {
    switch (view.kind) {
    case FileKind::kTokenizedBasic: {
        std::string note(LoadText(kStrViewBasic));
        if (view.stop) {
            std::string stop;
            ExpandInserts(LoadText(view.stop->id), view.stop->inserts, stop);
            note += "  " + stop;
        }
        return note;
    }
    case FileKind::kText:
        return std::string(LoadText(kStrViewText));
    case FileKind::kBinary:
        break;
    }
    return Formatted(kStrViewHexDump, {std::to_string(size)});
}

void MoveBy(HWND dialog, int id, int dx, int dy, int grow) {
    HWND control = GetDlgItem(dialog, id);
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(control, nullptr, r.left + dx, r.top + dy, r.right - r.left + grow, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void LayOut(HWND dialog, ViewerState& state, int width, int height) {
    const int dx = width - state.client.cx;
    const int dy = height - state.client.cy;
    if (dx == 0 && dy == 0) return;
    RECT text;
    GetWindowRect(Text(dialog), &text);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&text), 2);
    SetWindowPos(Text(dialog), nullptr, 0, 0, text.right - text.left + dx, text.bottom - text.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (const auto& c : kBottomControls) {
        MoveBy(dialog, c.id, c.right ? dx : 0, dy, c.id == IDC_VIEW_NOTE ? dx : 0);
    }
    state.client = {width, height};
    InvalidateRect(dialog, nullptr, TRUE);
}

// The edit control over the placeholder, with a fixed-pitch font and the text.
void MakeTextControl(HWND dialog, ViewerState& state, const std::wstring& text) {
    HWND area = GetDlgItem(dialog, IDC_VIEW_AREA);
    RECT r;
    GetWindowRect(area, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                    ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
                                r.left, r.top, r.right - r.left, r.bottom - r.top, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_VIEW_TEXT)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE)), nullptr);
    // First in the tab order, so that the dialog opens with the text focused.
    SetWindowPos(edit, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    LOGFONTW font = {};
    HDC screen = GetDC(dialog);
    font.lfHeight = -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(dialog, screen);
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynW(font.lfFaceName, L"Courier New", LF_FACESIZE);
    state.font = CreateFontIndirectW(&font);
    if (state.font != nullptr) SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // as much as the file needs
    SetWindowTextW(edit, text.c_str());
}

void OnInit(HWND dialog, ViewedFile& file) {
    ViewerState* state = new ViewerState;
    state->file = &file;
    SetWindowData(dialog, state);
    const FileView view = ViewOfFile(file.bytes.data(), file.bytes.size());
    SetWindowTextA(dialog, Formatted(kStrViewCaption, {file.name}).c_str());
    SetItemText(dialog, IDC_VIEW_NOTE, KindNote(view, file.bytes.size()));
    MakeTextControl(dialog, *state, Wide(view.text));
    RECT client;
    GetClientRect(dialog, &client);
    state->client = {client.right, client.bottom};
    RECT window;
    GetWindowRect(dialog, &window);
    state->smallest = {window.right - window.left, window.bottom - window.top};
    CenterOverParent(dialog);
    SetFocus(Text(dialog));
}

void FindNext(HWND dialog) {
    const std::wstring what = WindowTextW(GetDlgItem(dialog, IDC_VIEW_FIND));
    if (what.empty()) {
        SetFocus(GetDlgItem(dialog, IDC_VIEW_FIND));
        return;
    }
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(Text(dialog), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::wstring text = WindowTextW(Text(dialog));
    // From after the current match, so that Find next moves on.
    const size_t at = FindInView(text, what, start == end ? end : start + 1);
    if (at == std::wstring::npos) {
        MessageBeep(MB_ICONASTERISK);
        std::string typed(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, what.c_str(), -1, nullptr, 0, nullptr, nullptr)), '\0');
        WideCharToMultiByte(CP_ACP, 0, what.c_str(), -1, &typed[0], static_cast<int>(typed.size()), nullptr, nullptr);
        typed.resize(typed.empty() ? 0 : typed.size() - 1);
        SetItemText(dialog, IDC_VIEW_NOTE, Formatted(kStrViewNotFound, {typed}));
        return;
    }
    SendMessageW(Text(dialog), EM_SETSEL, at, at + what.size());
    SendMessageW(Text(dialog), EM_SCROLLCARET, 0, 0);
}

// Copies the selection, or the whole text when nothing is selected.
void Copy(HWND dialog) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(Text(dialog), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start == end) SendMessageW(Text(dialog), EM_SETSEL, 0, -1);
    SendMessageW(Text(dialog), WM_COPY, 0, 0);
    if (start == end) SendMessageW(Text(dialog), EM_SETSEL, start, end);
}

}  // namespace

size_t FindInView(const std::wstring& text, const std::wstring& what, size_t from) {
    if (what.empty() || what.size() > text.size()) return std::wstring::npos;
    auto matchesAt = [&](size_t at) {
        for (size_t k = 0; k < what.size(); ++k) {
            if (std::towupper(text[at + k]) != std::towupper(what[k])) return false;
        }
        return true;
    };
    const size_t last = text.size() - what.size();
    for (size_t i = 0; i <= last; ++i) {
        const size_t at = (from + i) % (last + 1);
        if (matchesAt(at)) return at;
    }
    return std::wstring::npos;
}

INT_PTR CALLBACK ViewerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    ViewerState* state = WindowData<ViewerState>(dialog);
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog, *reinterpret_cast<ViewedFile*>(lParam));
        return FALSE;  // the focus is on the text
    case WM_SIZE:
        if (state != nullptr && wParam != SIZE_MINIMIZED) LayOut(dialog, *state, LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_GETMINMAXINFO:
        if (state != nullptr) reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {state->smallest.cx, state->smallest.cy};
        return TRUE;
    case WM_HELP:
        ShowTopic(dialog, kViewTopic);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_VIEW_FIND_NEXT:
            FindNext(dialog);
            return TRUE;
        case IDC_VIEW_COPY:
            Copy(dialog);
            return TRUE;
        case IDC_VIEW_HELP:
            ShowTopic(dialog, kViewTopic);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_DESTROY:
        if (state != nullptr) {
            if (state->font != nullptr) DeleteObject(state->font);
            delete state;
            SetWindowData(dialog, nullptr);
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void RunViewerDialog(HWND owner, ViewedFile& file) {
    RunDialog(owner, IDD_VIEW_FILE, ViewerDialogProc, reinterpret_cast<LPARAM>(&file));
}

}  // namespace vk::win32
