// The View dialog on the real window: a tokenized program as its listing, a
// text file as text, anything else as a hex dump; Find next selects what it
// finds, Copy puts the whole text on the clipboard.
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/basic/basic_program.h"
#include "engine/core/document.h"
#include "engine/core/new_image.h"
#include "tests/win32/box_catcher.h"
#include "tests/win32/dialog_driver.h"
#include "tests/win32/main_window/window_fixture.h"
#include "win32/resources/command_ids.h"
#include "win32/resources/viewer_dialog_ids.h"
#include "win32/ui/app_state.h"
#include "win32/ui/document_view.h"

namespace vk::test {
namespace {

using Bytes = std::vector<uint8_t>;

void WriteAll(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::wstring TextOf(HWND control) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, &text[0], static_cast<int>(text.size()))));
    return text;
}

std::wstring Clipboard() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

class ViewerWindow : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(StartWindow({}));
        ImageDocument blank;
        ASSERT_TRUE(win32::Shown(nullptr, CreateEmptyImage(blank, 0xF9, 0)));
        const std::string image = folder.File("VIEW.DSK");
        WriteAll(image, Bytes(blank.imageBuffer.data(), blank.imageBuffer.data() + blank.imageSize));
        blank.Discard();
        BoxCatcher boxes(true);
        boxes.ChooseFile(image);
        Command(ID_FILE_OPEN);
        ASSERT_TRUE(win32::TheDocument().IsOpen());
        const struct {
            const char* name;
            Bytes bytes;
        } files[] = {{"PROG.BAS", TokenizeBasicProgram("10 PRINT \"\x82t\xE9\":GOTO 10\r\n").bytes},
                     {"NOTE.TXT", Bytes{'H', 'i', '\n', 'y', 'o', 'u', 0x1A}},
                     {"DATA.BIN", Bytes{0x00, 0xFF, 0x41}}};
        for (const auto& f : files) {
            WriteAll(folder.File(f.name), f.bytes);
            boxes.ChooseFile(folder.File(f.name));
            Command(ID_EDIT_ADD_FILE);
        }
        ASSERT_EQ(3, ItemCount());
    }

    void SelectOnly(const char* name) {
        for (int i = 0; i < ItemCount(); ++i) Select(i, ItemText(i, 0) == name);
    }
};

TEST_F(ViewerWindow, ShowsEachKindOfFileAsItIs) {
    const struct {
        const char* name;
        const wchar_t* text;
        bool byKey;  // Shift+Enter rather than the menu
    } cases[] = {{"PROG.BAS", L"10 PRINT \"\u00e9t\u0398\":GOTO 10\r\n", false},
                 {"NOTE.TXT", L"Hi\r\nyou", true},
                 {"DATA.BIN", L"000000  00 FF 41                                         ..A\r\n", false}};
    UseProgramAccelerators();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SelectOnly(c.name);
        std::wstring shown;
        WithDialog(
            (std::string(c.name) + " - View").c_str(),
            [&](HWND dialog) {
                shown = TextOf(GetDlgItem(dialog, IDC_VIEW_TEXT));
                SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
            },
            [&] {
                if (c.byKey) PressKey(VK_RETURN, false, false, true);
                else Command(ID_EXTRAS_VIEW);
            });
        EXPECT_EQ(c.text, shown);
    }
}

TEST_F(ViewerWindow, FindSelectsTheNextMatchAndCopyTakesTheWholeText) {
    SelectOnly("PROG.BAS");
    DWORD start = 0;
    DWORD end = 0;
    std::wstring text;
    WithDialog(
        "PROG.BAS - View",
        [&](HWND dialog) {
            HWND view = GetDlgItem(dialog, IDC_VIEW_TEXT);
            text = TextOf(view);
            SetDlgItemTextA(dialog, IDC_VIEW_FIND, "goto");
            SendMessageA(GetDlgItem(dialog, IDC_VIEW_FIND_NEXT), BM_CLICK, 0, 0);
            SendMessageW(view, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            SendMessageW(view, EM_SETSEL, 0, 0);
            SendMessageA(GetDlgItem(dialog, IDC_VIEW_COPY), BM_CLICK, 0, 0);
            SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        },
        [&] { Command(ID_EXTRAS_VIEW); });
    EXPECT_EQ(text.find(L"GOTO"), start);
    EXPECT_EQ(start + 4, end);
    EXPECT_EQ(text, Clipboard());
}

}  // namespace
}  // namespace vk::test
