// The progress windows of the disk jobs and the Write to disk dialog in a
// prefix without a removable drive; the media-error warning before it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "engine/core/document.h"
#include "engine/core/new_image.h"
#include "engine/core/media_errors.h"
#include "tests/win32/disk_dialogs/disk_dialog_fixture.h"
#include "win32/disk_dialogs/disk_dialogs.h"
#include "engine/drive/disk_job.h"
#include "engine/ports/progress.h"
#include "win32/ports/prompt_owner.h"
#include "win32/resources/command_ids.h"
#include "win32/resources/disk_dialog_ids.h"
#include "tests/win32/sheets/sheet_fixture.h"
#include "win32/ui/app_state.h"
#include "win32/ui/commands.h"
#include "win32/ui/write_to_disk.h"
#include "win32/ui/document_view.h"
#include "tests/support/box_flags.h"

namespace vk::win32 {
namespace {

using test::ControlText;

bool Enabled(HWND dialog, int control) { return IsWindowEnabled(GetDlgItem(dialog, control)) != FALSE; }

std::string WindowText(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The text of the group box, the one "Button" child without an id.
std::string GroupText(HWND window) {
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) {
            return WindowText(child);
        }
    }
    return "";
}

using ProgressTest = test::DiskDialogTest;

TEST_F(ProgressTest, WindowsOfBothJobs) {
    const struct {
        DiskJob job;
        ProgressHeader header;
        const char* caption;
        const char* group;
        const char* capacity;
    } cases[] = {
        {DiskJob::kReading, {0, 737280}, "Reading disk", "Disk", "Drive A:, capacity is 720 KBytes"},
        {DiskJob::kReading, {1, 0}, "Reading disk", "Disk", "Drive B:, capacity is 0 KBytes"},
        {DiskJob::kWriting, {0, 1474560 + 1023}, "Write to disk", "Drive", "Drive A:, capacity is 1440 KBytes"},
    };
    const ScopedPromptOwner jobDialog(MainWindow());
    for (const auto& c : cases) {
        HWND progress = static_cast<HWND>(OpenProgress(c.job, c.header));
        ASSERT_NE(progress, nullptr);
        EXPECT_EQ(WindowText(progress), c.caption);
        EXPECT_EQ(GroupText(progress), c.group);
        EXPECT_EQ(ControlText(progress, IDC_PROGRESS_CAPACITY), c.capacity);
        EXPECT_EQ(ControlText(progress, IDC_PROGRESS_PERCENT), "0");
        EXPECT_EQ(SendDlgItemMessageA(progress, IDC_PROGRESS_BAR, PBM_GETRANGE, FALSE, 0), 100);
        EXPECT_NE(IsWindowVisible(progress), FALSE);
        EXPECT_FALSE(IsWindowEnabled(MainWindow())) << "the job's dialog waits";
        EXPECT_EQ(PromptOwner(), progress) << "the job's boxes belong to the progress window";
        CloseProgress(progress);
        EXPECT_EQ(PromptOwner(), MainWindow());
        EXPECT_FALSE(IsWindow(progress));
        EXPECT_NE(IsWindowEnabled(MainWindow()), FALSE);
    }
}

TEST_F(ProgressTest, UpdatesShowTheTruncatedPercentAndCancelStopsTheJob) {
    const ScopedPromptOwner jobDialog(MainWindow());
    HWND progress = static_cast<HWND>(OpenProgress(DiskJob::kReading, {0, 737280}));
    ASSERT_NE(progress, nullptr);
    const struct {
        uint32_t current, total;
        const char* shown;
        int bar;
    } updates[] = {{1, 1440, "0", 0}, {720, 1440, "50", 50}, {1439, 1440, "99", 99}, {3, 0, "0", 0}};
    for (const auto& u : updates) {
        UpdateProgress(progress, u.current, u.total);
        EXPECT_EQ(ControlText(progress, IDC_PROGRESS_PERCENT), u.shown) << u.current << "/" << u.total;
        EXPECT_EQ(SendDlgItemMessageA(progress, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0), u.bar);
    }
    SetCancelRequested(false);
    // A click waiting in the queue reaches the window through the next update.
    test::PostClick(progress, IDCANCEL);
    UpdateProgress(progress, 721, 1440);
    EXPECT_TRUE(CancelRequested());
    EXPECT_FALSE(Enabled(progress, IDCANCEL));
    CloseProgress(progress);
    SetCancelRequested(false);
    UpdateProgress(nullptr, 1, 2);  // no window: nothing happens
}

using WriteToDiskTest = test::DiskDialogTest;

TEST_F(WriteToDiskTest, WithoutRemovableDriveOnlyCancelIsPossible) {
    ASSERT_TRUE(win32::Shown(MainWindow(), CreateEmptyImage(TheDocument(), 0xF9, 0)));
    bool written = true;
    test::WithDialog("Write to disk", [](HWND dialog) {
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_DRIVE_LIST, CB_GETCOUNT, 0, 0), 0) << "this run maps no drive";
        EXPECT_FALSE(Enabled(dialog, IDC_DRIVE_LIST));
        EXPECT_FALSE(Enabled(dialog, IDC_WRITE_FORMAT_DISK));
        EXPECT_FALSE(Enabled(dialog, IDOK));
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_WRITE_FORMAT_DISK), static_cast<UINT>(BST_UNCHECKED));
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDCANCEL));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }, [&] { written = ConfirmWriteToDisk(MainWindow()); });
    EXPECT_FALSE(written);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(WriteToDiskTest, MediaErrorsAreWarnedAboutBeforeTheDialog) {
    ImageDocument& doc = TheDocument();
    ASSERT_TRUE(win32::Shown(MainWindow(), CreateEmptyImage(doc, 0xF9, 0)));
    ASSERT_TRUE(CreateErrorList(doc.geometry.totalSectors, doc.errorList));
    MarkBadSector(doc.errorList, 5);
    test::WithDialog("Write to disk", [this](HWND dialog) {
        // The warning was answered before the dialog came up.
        EXPECT_EQ(boxes.Boxes().size(), 1u);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }, [&] { ExecuteCommand(ID_FILE_WRITE_TO_DISK, MainWindow()); });
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text,
              "WARNING: the selected disk-image contains informations about media-errors.\r\n"
              "These errors will NOT be written to the target media!");
    EXPECT_EQ(boxes.Boxes()[0].icon, static_cast<unsigned>(test::kIconWarning));
}

TEST_F(WriteToDiskTest, NoImageWritesNothingAndSaysNothing) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_WRITE_TO_DISK), MainWindow(),
                                     WriteToDiskDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(OnWriteToDiskOk(dialog, TheDocument(), 0));
    EXPECT_TRUE(boxes.Boxes().empty());
    DestroyWindow(dialog);
}

}  // namespace
}  // namespace vk::win32
