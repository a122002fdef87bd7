// The About box from its real resource: its texts, its place over the owner,
// and what its two "..." buttons would hand to the shell.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/win32/box_catcher.h"
#include "win32/resources/dialog_ids.h"
#include "win32/settings/about.h"
#include "win32/settings/help.h"

namespace vk::win32 {
namespace {

using test::BoxCatcher;

std::string TextOf(HWND dialog, int id) {
    char text[512] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override {
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 200, 150, 600, 400, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialogProc,
                                    0);
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override {
        DestroyWindow(dialog);
        DestroyWindow(owner);
    }
    HWND owner = nullptr;
    HWND dialog = nullptr;
};

TEST_F(AboutBox, ShowsTheProgramAndOurAddresses) {
    char caption[64] = "";
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ(caption, "About...");
    EXPECT_EQ(TextOf(dialog, IDC_ABOUT_PRODUCT), "Volkarn");
    EXPECT_EQ(TextOf(dialog, IDC_ABOUT_VERSION), "Version 0.15 (Beta), 2015-12-14");
    EXPECT_FALSE(TextOf(dialog, IDC_ABOUT_PRODUCER).empty());
    EXPECT_EQ(TextOf(dialog, IDC_ABOUT_HOMEPAGE), "https://volkarn.org/");
    EXPECT_EQ(TextOf(dialog, IDC_ABOUT_EMAIL), "volkarn@volkarn.org");
    for (int field : {IDC_ABOUT_HOMEPAGE, IDC_ABOUT_EMAIL}) {
        EXPECT_NE(GetWindowLongA(GetDlgItem(dialog, field), GWL_STYLE) & ES_READONLY, 0) << field;
    }
    EXPECT_EQ(TextOf(dialog, IDCANCEL), "Close");
    EXPECT_EQ(TextOf(dialog, IDC_ABOUT_OPEN_HOMEPAGE), "...");
    EXPECT_EQ(TextOf(dialog, IDC_ABOUT_SEND_EMAIL), "...");
}

TEST_F(AboutBox, OpensCentredOverItsOwner) {
    RECT box;
    GetWindowRect(dialog, &box);
    const LONG width = box.right - box.left;
    const LONG height = box.bottom - box.top;
    EXPECT_EQ(box.left, 200 + (600 - width) / 2);
    EXPECT_EQ(box.top, 150 + (400 - height) / 2);
}

TEST_F(AboutBox, ButtonsHandTheFieldsToTheShell) {
    const struct {
        const char* name;
        int field;
        const char* text;
        std::string expected;
    } kCases[] = {
        {"homepage as written", IDC_ABOUT_HOMEPAGE, "https://volkarn.org/", "https://volkarn.org/"},
        {"e-mail behind mailto", IDC_ABOUT_EMAIL, "volkarn@volkarn.org", "mailto:volkarn@volkarn.org"},
        {"empty e-mail opens nothing", IDC_ABOUT_EMAIL, "", ""},
        {"empty homepage opens nothing", IDC_ABOUT_HOMEPAGE, "", ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        SetDlgItemTextA(dialog, c.field, c.text);
        EXPECT_EQ(AboutLinkTarget(dialog, c.field), c.expected);
    }
}

TEST(ShowAbout, RunsModallyOverTheOwnerAndCloses) {
    test::OwnerWindow owner;
    BoxCatcher catcher;  // closes the box like Enter would
    ShowAbout(owner.Handle());
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].caption, "About...");
    EXPECT_EQ(catcher.Boxes()[0].owner, owner.Handle());
}

}  // namespace
}  // namespace vk::win32
