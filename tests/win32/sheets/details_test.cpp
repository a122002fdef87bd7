// The Details dialog over a real list and window: typed widths per column,
// what OK and Cancel leave behind, and the optimum window width.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "win32/resources/sheets_ids.h"
#include "win32/settings/settings.h"
#include "tests/win32/sheets/sheet_fixture.h"
#include "win32/sheets/details_dialog.h"
#include "win32/sheets/sheets.h"
#include "win32/ui/explorer_list.h"
#include "win32/ui/main_window.h"

namespace vk::win32 {
namespace {

constexpr int kFilename = 0;
constexpr int kSize = 1;
constexpr int kStartWidths[kColumnCount] = {95, 62, 97, 53};

class DetailsTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedSettings = TheSettings();
        savedParts = MainParts();
        window = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 30, 300, 200, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 280, 150, window,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
        for (int column = 0; column < kColumnCount; ++column) {
            TheSettings().columnWidths[column] = kStartWidths[column];
            LVCOLUMNA header = {};
            header.mask = LVCF_WIDTH;
            header.cx = kStartWidths[column];
            SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&header));
        }
        MainParts().window = window;
        MainParts().list = list;
    }
    void TearDown() override {
        MainParts() = savedParts;
        TheSettings() = savedSettings;
        DestroyWindow(window);
    }
    void ResetWidths() {
        for (int column = 0; column < kColumnCount; ++column) {
            TheSettings().columnWidths[column] = kStartWidths[column];
            SendMessageA(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), kStartWidths[column]);
        }
    }
    int ListWidth(int column) const {
        return static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    }
    RECT Frame() const {
        RECT r;
        GetWindowRect(window, &r);
        return r;
    }
    // Runs the real dialog over the window with `act` as the user.
    INT_PTR RunDetails(const std::function<void(HWND)>& act) {
        INT_PTR result = -2;
        test::WithDialog("Details", act, [&] { result = ShowDetailsDialog(window); });
        return result;
    }

    test::BoxCatcher boxes{true};
    Settings savedSettings;
    MainWindowParts savedParts;
    HWND window = nullptr;
    HWND list = nullptr;
};

HWND Columns(HWND dialog) { return GetDlgItem(dialog, IDC_DETAILS_COLUMNS); }

TEST_F(DetailsTest, OpensWithTheFourCaptionsNothingSelectedAndAnEmptyField) {
    DetailsWork work;
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_DETAILS), window,
                                     DetailsDialogProc, reinterpret_cast<LPARAM>(&work));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(test::ListRows(Columns(dialog)),
              (std::vector<std::string>{"Filename", "Size", "Last change", "Attributes"}));
    EXPECT_EQ(SendMessageA(Columns(dialog), LVM_GETSELECTEDCOUNT, 0, 0), 0);
    EXPECT_EQ(test::ControlText(dialog, IDC_DETAILS_WIDTH), "");
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_DETAILS_WIDTH, EM_GETLIMITTEXT, 0, 0), 3);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_DETAILS_OPTIMUM), BST_UNCHECKED);
    DestroyWindow(dialog);
}

TEST_F(DetailsTest, TypedWidthIsKeptWhenTheSelectionMoves) {
    DetailsWork work;
    std::copy(kStartWidths, kStartWidths + kColumnCount, work.widths);
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_DETAILS), window,
                                     DetailsDialogProc, reinterpret_cast<LPARAM>(&work));
    ASSERT_NE(dialog, nullptr);
    test::SelectRow(Columns(dialog), kSize);
    EXPECT_EQ(test::ControlText(dialog, IDC_DETAILS_WIDTH), "62");
    test::TypeText(dialog, IDC_DETAILS_WIDTH, "80");
    test::SelectRow(Columns(dialog), kFilename);
    EXPECT_EQ(work.widths[kSize], 80);
    EXPECT_EQ(test::ControlText(dialog, IDC_DETAILS_WIDTH), "95");
    DestroyWindow(dialog);
}

TEST_F(DetailsTest, OkGivesTheListTheTypedWidthsAndIgnoresInvalidOnes) {
    const struct {
        const char* name;
        int select;
        const char* typed;
        int sizeWidth;
    } cases[] = {
        {"80 for Size", kSize, "80", 80},
        {"0 keeps the width", kSize, "0", kStartWidths[kSize]},
        {"empty keeps the width", kSize, "", kStartWidths[kSize]},
        {"nothing selected changes nothing", -1, "80", kStartWidths[kSize]},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetWidths();
        const RECT before = Frame();
        const INT_PTR result = RunDetails([&](HWND dialog) {
            if (c.select >= 0) {
                test::SelectRow(Columns(dialog), c.select);
            }
            test::TypeText(dialog, IDC_DETAILS_WIDTH, c.typed);
            if (c.select >= 0) {
                test::SelectRow(Columns(dialog), kFilename);
            }
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(result, 1);
        EXPECT_EQ(ListWidth(kSize), c.sizeWidth);
        EXPECT_EQ(TheSettings().columnWidths[kSize], c.sizeWidth);
        EXPECT_EQ(ListWidth(kFilename), kStartWidths[kFilename]);
        const RECT after = Frame();
        EXPECT_EQ(after.right - after.left, before.right - before.left) << "unchecked: the window keeps its size";
    }
}

TEST_F(DetailsTest, OptimumWidthResizesTheWindowInPlace) {
    const RECT before = Frame();
    const INT_PTR result = RunDetails([](HWND dialog) {
        test::SelectRow(Columns(dialog), kSize);
        test::TypeText(dialog, IDC_DETAILS_WIDTH, "120");
        test::Click(dialog, IDC_DETAILS_OPTIMUM);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    ASSERT_EQ(result, 1);
    EXPECT_EQ(ListWidth(kSize), 120);
    const RECT after = Frame();
    EXPECT_EQ(after.right - after.left, OptimalWindowWidth());
    EXPECT_EQ(OptimalWindowWidth(), 95 + 120 + 97 + 53 + 4 + 2 * GetSystemMetrics(SM_CXFRAME) +
                                        GetSystemMetrics(SM_CXHSCROLL));
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
}

TEST_F(DetailsTest, CancelChangesNothing) {
    const RECT before = Frame();
    const INT_PTR result = RunDetails([](HWND dialog) {
        test::SelectRow(Columns(dialog), kSize);
        test::TypeText(dialog, IDC_DETAILS_WIDTH, "200");
        test::SelectRow(Columns(dialog), kFilename);
        test::Click(dialog, IDC_DETAILS_OPTIMUM);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, 0);
    for (int column = 0; column < kColumnCount; ++column) {
        EXPECT_EQ(ListWidth(column), kStartWidths[column]);
        EXPECT_EQ(TheSettings().columnWidths[column], kStartWidths[column]);
    }
    const RECT after = Frame();
    EXPECT_EQ(after.right - after.left, before.right - before.left);
}

}  // namespace
}  // namespace vk::win32
