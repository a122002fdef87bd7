// What the disk-dialog tests share: the real main window (hidden) as the
// owner, so that New and Write to disk run as the menu runs them, a driver
// for modal dialogs that may run a long disk job, and the drive A: that the
// Wine run maps to an image file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/win32/box_catcher.h"
#include "tests/win32/dialog_driver.h"
#include <gtest/gtest.h>

namespace vk::test {

class DiskDialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND MainWindow() const { return window_; }
    std::string Title() const;
    int ListItemCount() const;

    // Answers every message box (OK, or Cancel where there is one) unless a
    // test queues other answers; leaves the dialogs to the test.
    BoxCatcher boxes{true};

private:
    HWND window_ = nullptr;
};

// Presses a button through the dialog's queue, so that a long job it starts
// runs in the dialog's own loop rather than inside the caller.
void PostClick(HWND dialog, int control);

// The image file behind drive A: and the folder of the files put on it; empty
// when the run has no drive A: mapped.
std::string DriveBacking();
std::string DriveFiles();

std::vector<uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace vk::test
