// The shared dialog services on real windows: centring, the failure message
// of dialogs and sheets that cannot be made, and the message pump.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/win32/box_catcher.h"
#include "win32/common/dialog_helpers.h"
#include "win32/resources/dialog_ids.h"
#include "engine/strings/string_ids.h"
#include "tests/support/box_flags.h"

namespace vk::test {
namespace {

constexpr UINT kMissingDialog = 9999;

HWND PopupAt(const RECT& r, HWND owner) {
    return CreateWindowExA(0, "STATIC", "", WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top, owner,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

RECT WindowRect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

TEST(CenterOverParent, PlacesTheWindowOverItsOwner) {
    const struct {
        const char* name;
        RECT parent;
        SIZE size;
        POINT expected;
    } kCases[] = {
        {"smaller window in the middle", {100, 100, 500, 400}, {200, 100}, {200, 200}},
        {"odd difference rounds toward zero", {300, 50, 401, 151}, {200, 200}, {251, 1}},
        {"left edge below 0 moves to 0, top stays negative", {0, 10, 100, 110}, {400, 300}, {0, -90}},
        {"owner off the left edge", {-300, 200, -100, 300}, {100, 50}, {0, 225}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        HWND parent = PopupAt(c.parent, nullptr);
        HWND window = PopupAt({5, 5, 5 + c.size.cx, 5 + c.size.cy}, parent);
        ASSERT_TRUE(parent && window);
        CenterOverParent(window);
        const RECT r = WindowRect(window);
        EXPECT_EQ(r.left, c.expected.x);
        EXPECT_EQ(r.top, c.expected.y);
        EXPECT_EQ(r.right - r.left, c.size.cx) << "the size is kept";
        EXPECT_EQ(r.bottom - r.top, c.size.cy);
        DestroyWindow(window);
        DestroyWindow(parent);
    }
}

TEST(CenterOverParent, WindowWithoutParentStaysWhereItIs) {
    HWND window = PopupAt({40, 30, 140, 90}, nullptr);
    CenterOverParent(window);
    const RECT r = WindowRect(window);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 30);
    DestroyWindow(window);
}

INT_PTR CALLBACK EndAtOnce(HWND dialog, UINT message, WPARAM, LPARAM param) {
    if (message == WM_INITDIALOG) {
        EndDialog(dialog, param);
        return TRUE;
    }
    return FALSE;
}

TEST(RunDialog, DialogThatCannotBeCreatedReportsMessage21) {
    OwnerWindow owner;
    BoxCatcher catcher;
    EXPECT_EQ(RunDialog(owner.Handle(), kMissingDialog, EndAtOnce, 0), -1);
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].text, "Failed to create dialog!");
    EXPECT_EQ(catcher.Boxes()[0].icon, static_cast<unsigned>(kIconError));
    EXPECT_EQ(catcher.Boxes()[0].owner, owner.Handle());
}

TEST(RunDialog, ReturnsTheDialogsResultWithoutMessage) {
    OwnerWindow owner;
    BoxCatcher catcher;
    EXPECT_EQ(RunDialog(owner.Handle(), IDD_ABOUT, EndAtOnce, 42), 42);
    EXPECT_TRUE(catcher.Boxes().empty());
}

std::string g_sheetCaption;

// Notes the sheet's caption and cancels the sheet as soon as it stands.
INT_PTR CALLBACK CancellingPage(HWND page, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        char caption[256] = "";
        GetWindowTextA(GetParent(page), caption, sizeof caption);
        g_sheetCaption = caption;
        PostMessageA(GetParent(page), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        return TRUE;
    }
    return FALSE;
}

TEST(RunPropertySheet, SetsTheCaptionFromTheStringTable) {
    OwnerWindow owner;
    BoxCatcher catcher;
    g_sheetCaption.clear();
    const PROPSHEETPAGEA page = MakePropertyPage(IDD_ABOUT, CancellingPage, 0);
    PROPSHEETHEADERA header = MakePropertySheet(owner.Handle(), &page, 1, PSH_NOAPPLYNOW);
    EXPECT_EQ(RunPropertySheet(header, kStrOptionsCaption), 0);
    EXPECT_EQ(g_sheetCaption, "Options");
    EXPECT_EQ(header.pszCaption, nullptr) << "the header must not keep the caption buffer";
    EXPECT_TRUE(catcher.Boxes().empty());
}

std::vector<WORD> g_commands;

INT_PTR CALLBACK CountingDialog(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND) {
        g_commands.push_back(LOWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

TEST(PumpMessages, DispatchesWaitingMessagesThroughTheDialog) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr,
                                     CountingDialog, 0);
    ASSERT_NE(dialog, nullptr);
    g_commands.clear();
    // Escape goes through the dialog's navigation and comes out as Cancel.
    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_OPEN_HOMEPAGE, BN_CLICKED), 0);
    PumpMessages(dialog);
    MSG left;
    EXPECT_FALSE(PeekMessageA(&left, nullptr, 0, 0, PM_NOREMOVE)) << "the queue is drained";
    EXPECT_EQ(g_commands, (std::vector<WORD>{IDCANCEL, IDC_ABOUT_OPEN_HOMEPAGE}));
    DestroyWindow(dialog);
}

TEST(PumpMessages, LeavesAQuitRequestForTheMainLoop) {
    PostQuitMessage(7);
    PumpMessages(nullptr);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

}  // namespace
}  // namespace vk::test
