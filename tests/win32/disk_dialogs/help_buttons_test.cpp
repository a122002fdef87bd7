// The Help button of each disk dialog asks for help: with the help control
// missing, each press ends in message 9 over the dialog that asked.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/win32/disk_dialogs/disk_dialog_fixture.h"
#include "win32/disk_dialogs/disk_dialogs.h"
#include "win32/resources/disk_dialog_ids.h"
#include "win32/settings/help_control.h"

namespace vk::win32 {
namespace {

constexpr char kMissingServerKey[] = "Software\\VolkarnDiskDialogsHelpTest\\InprocServer32";

class HelpButtonTest : public test::DiskDialogTest {
protected:
    void SetUp() override {
        DiskDialogTest::SetUp();
        ResetHelpControl({HKEY_CURRENT_USER, kMissingServerKey, "volkarn_no_such_help.ocx"});
    }
    void TearDown() override {
        ResetHelpControl(SystemHelpControl());
        DiskDialogTest::TearDown();
    }
};

TEST_F(HelpButtonTest, EveryDiskDialogAsksForHelp) {
    const struct {
        const char* name;
        UINT resource;
        DLGPROC procedure;
    } dialogs[] = {
        {"New disk-image", IDD_NEW_IMAGE, NewImageDialogProc},
        {"Write to disk", IDD_WRITE_TO_DISK, WriteToDiskDialogProc},
        {"Custom disk-format", IDD_CUSTOM_FORMAT, CustomFormatDialogProc},
    };
    for (const auto& d : dialogs) {
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(d.resource), MainWindow(),
                                         d.procedure, 0);
        ASSERT_NE(dialog, nullptr) << d.name;
        const size_t before = boxes.Boxes().size();
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_DISK_DIALOG_HELP, BN_CLICKED), 0);
        ASSERT_EQ(boxes.Boxes().size(), before + 1) << d.name;
        EXPECT_EQ(boxes.Boxes().back().text, "Oops: failed to display help!") << d.name;
        EXPECT_EQ(boxes.Boxes().back().owner, dialog) << d.name;
        EXPECT_NE(IsWindow(dialog), FALSE) << d.name << " stays open";
        DestroyWindow(dialog);
    }
}

}  // namespace
}  // namespace vk::win32
