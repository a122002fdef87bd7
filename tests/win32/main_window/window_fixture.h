// The real main window of VOLKARN in the test process: images written to a
// scratch folder, the window created on them as the command line names
// them, and the small probes the tests read it through.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include "win32/ui/command_line.h"

namespace vk::test {

// One root-directory entry to put into a test image.
struct TestEntry {
    const char* name11;   // the 11 packed name bytes
    uint8_t attr = 0x20;
    uint16_t date = 0;
    uint16_t time = 0;
    uint32_t size = 0;
};

// A 720 KB image file holding `entries` in its root directory (no data).
void WriteImageFile(const std::string& path, const std::vector<TestEntry>& entries);

// A scratch folder of its own, removed with its files.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Removes what the window left in the queue, the quit message included, so
// that no later modal loop ends at once.
void DrainMessages();

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the main window as start-up does with `line`; false when its
    // creation failed.
    bool StartWindow(const win32::CommandLine& line);
    HWND Window() const { return window_; }
    HWND List() const;
    std::string Title() const;
    std::string StatusText() const;
    // The text of a part of the status bar; empty for a part it lacks.
    std::string StatusPart(int part) const;
    int ItemCount() const;
    std::string ItemText(int item, int column) const;
    void Select(int item, bool selected);
    DWORD ViewBits() const;
    // Sends a command as the menu does.
    void Command(UINT id);
    // The program's accelerators, for PressKey.
    void UseProgramAccelerators();
    // Sends the key through the program's loop to `target` (the list without
    // one); Alt keys come as system keys.
    void PressKey(BYTE key, bool control, bool alt, bool shift, HWND target = nullptr);
    // The commands that reached the window since the probe was installed.
    void RecordCommands();
    const std::vector<UINT>& Commands() const;

    ScratchFolder folder;

private:
    HWND window_ = nullptr;
};

}  // namespace vk::test
