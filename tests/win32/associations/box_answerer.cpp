#include "tests/win32/associations/box_answerer.h"

#include <algorithm>
#include <cstring>

namespace vk::test {
namespace {

constexpr int kMessageTextId = 0xFFFF;  // the message box's text control
constexpr DWORD kPollMilliseconds = 20;

std::string WindowText(HWND window) {
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The system's formatter turns each line break of a text into CR LF; the
// tests compare with the texts as the string tables hold them.
std::string WithoutCarriageReturns(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

unsigned ButtonKind(HWND box) {
    if (GetDlgItem(box, IDABORT)) {
        return MB_ABORTRETRYIGNORE;
    }
    if (GetDlgItem(box, IDYES)) {
        return GetDlgItem(box, IDCANCEL) ? MB_YESNOCANCEL : MB_YESNO;
    }
    return MB_OK;
}

BOOL CALLBACK FindIcon(HWND child, LPARAM result) {
    char name[16] = "";
    GetClassNameA(child, name, sizeof name);
    if (std::strcmp(name, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HICON*>(result) = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        return FALSE;
    }
    return TRUE;
}

// Icons are compared with the shared system icons, which only works for a
// box of this process.
unsigned IconKind(HWND box) {
    HICON icon = nullptr;
    EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&icon));
    const struct {
        LPCSTR name;
        unsigned kind;
    } kIcons[] = {{IDI_HAND, MB_ICONERROR}, {IDI_EXCLAMATION, MB_ICONWARNING},
                  {IDI_QUESTION, MB_ICONQUESTION}, {IDI_ASTERISK, MB_ICONINFORMATION}};
    for (const auto& i : kIcons) {
        if (icon != nullptr && icon == LoadIconA(nullptr, i.name)) {
            return i.kind;
        }
    }
    return 0;
}

// The button drawn as the default one.
int DefaultButton(HWND box) {
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        HWND button = GetDlgItem(box, id);
        if (button != nullptr && (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            return id;
        }
    }
    return 0;
}

}  // namespace

BoxAnswerer::BoxAnswerer(std::string caption) : caption_(std::move(caption)), thread_([this] { Run(); }) {}

BoxAnswerer::~BoxAnswerer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    thread_.join();
}

BoxAnswerer& BoxAnswerer::Answer(int button) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_.push_back(button);
    return *this;
}

std::vector<AnsweredBox> BoxAnswerer::Boxes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

std::vector<std::string> BoxAnswerer::Texts() const {
    std::vector<std::string> texts;
    for (const AnsweredBox& box : Boxes()) {
        texts.push_back(box.text);
    }
    return texts;
}

void BoxAnswerer::Run() {
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stop_) {
                return;
            }
        }
        EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(this));
        Sleep(kPollMilliseconds);
    }
}

BOOL CALLBACK BoxAnswerer::VisitWindow(HWND window, LPARAM self) {
    reinterpret_cast<BoxAnswerer*>(self)->Visit(window);
    return TRUE;
}

void BoxAnswerer::Visit(HWND window) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") != 0 || !IsWindowVisible(window) || WindowText(window) != caption_) {
        return;
    }
    AnsweredBox box;
    GetWindowThreadProcessId(window, &box.processId);
    box.text = WithoutCarriageReturns(WindowText(GetDlgItem(window, kMessageTextId)));
    box.buttons = ButtonKind(window);
    box.icon = box.processId == GetCurrentProcessId() ? IconKind(window) : 0;
    box.defaultButton = DefaultButton(window);

    int button;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (std::find(handled_.begin(), handled_.end(), window) != handled_.end()) {
            return;
        }
        handled_.push_back(window);
        boxes_.push_back(box);
        if (!answers_.empty()) {
            button = answers_.front();
            answers_.pop_front();
        } else {
            button = box.buttons == MB_OK ? IDOK : box.buttons == MB_YESNO ? IDNO : IDCANCEL;
        }
    }
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

}  // namespace vk::test
