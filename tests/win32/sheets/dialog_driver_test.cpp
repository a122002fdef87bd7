// The modal-dialog driver's own rules, on the Add sector dialog: a dialog
// the action leaves open fails the test and is cancelled, so that the run
// goes on; a dialog that never shows fails the test; drivers nest.
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include <windows.h>

#include "win32/resources/sheets_ids.h"
#include "tests/win32/sheets/sheet_fixture.h"
#include "win32/sheets/image_properties.h"

namespace vk::win32 {
namespace {

constexpr DWORD kShortGiveUpMs = 300;

class DialogDriverTest : public test::SheetTest {};

TEST_F(DialogDriverTest, DialogLeftOpenFailsAndIsCancelled) {
    uint32_t sector = 0;
    bool answered = true;
    int acts = 0;
    EXPECT_NONFATAL_FAILURE(test::WithDialog("Add sector", [&](HWND) { ++acts; },
                                             [&] { answered = AskSectorNumber(Owner(), 720, sector); },
                                             kShortGiveUpMs),
                            "dialog \"Add sector\" was left open");
    EXPECT_FALSE(answered) << "cancelled";
    EXPECT_EQ(acts, 1) << "the action runs once";
}

TEST_F(DialogDriverTest, DialogThatNeverShowsFails) {
    EXPECT_NONFATAL_FAILURE(test::WithDialog("Add sector", [](HWND) {}, [] {}), "dialog \"Add sector\" never showed");
}

TEST_F(DialogDriverTest, DriverInsideAnActionDrivesTheInnerDialog) {
    uint32_t outer = 0;
    uint32_t inner = 0;
    bool innerAnswered = false;
    test::WithDialog("Add sector", [&](HWND dialog) {
        // A second Add sector over the first: the inner driver must find the
        // new one, not the one its outer driver holds.
        test::WithDialog("Add sector", [dialog](HWND second) {
            EXPECT_NE(second, dialog);
            test::TypeText(second, IDC_ADD_SECTOR_NUMBER, "7");
            PostMessageA(second, WM_COMMAND, IDOK, 0);
        }, [&] { innerAnswered = AskSectorNumber(dialog, 720, inner); });
        test::TypeText(dialog, IDC_ADD_SECTOR_NUMBER, "9");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }, [&] { EXPECT_TRUE(AskSectorNumber(Owner(), 720, outer)); });
    EXPECT_TRUE(innerAnswered);
    EXPECT_EQ(inner, 7u);
    EXPECT_EQ(outer, 9u);
}

}  // namespace
}  // namespace vk::win32
