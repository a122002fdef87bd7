// What the sheet and dialog tests share: a scratch image opened as a real
// document, property sheets run modeless so that a test can reach their
// pages and press their buttons, and helpers that work on dialog controls.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/win32/box_catcher.h"
#include "tests/win32/dialog_driver.h"
#include "engine/core/document.h"
#include <gtest/gtest.h>

namespace vk::test {

// A property sheet opened with PSH_MODELESS, destroyed with its owner.
class ModelessSheet {
public:
    explicit ModelessSheet(INT_PTR handle) : hwnd_(reinterpret_cast<HWND>(handle)) {}
    ~ModelessSheet();
    ModelessSheet(const ModelessSheet&) = delete;
    ModelessSheet& operator=(const ModelessSheet&) = delete;

    HWND Handle() const { return hwnd_; }
    int PageCount() const;
    std::string TabText(int index) const;
    std::string Caption() const;
    // Shows page `index` (creating it) and returns its window.
    HWND Page(int index) const;
    void Apply() const { PressButton(PSBTN_APPLYNOW); }
    void Ok() const { PressButton(PSBTN_OK); }
    void Cancel() const { PressButton(PSBTN_CANCEL); }
    void Help() const { PressButton(PSBTN_HELP); }
    bool ApplyEnabled() const;
    bool HelpEnabled() const;
    // OK or Cancel ended the sheet (a modeless sheet stays until destroyed).
    bool Ended() const;

private:
    void PressButton(int button) const;
    HWND hwnd_;
};

// A scratch folder of its own under the temporary directory.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// One root-directory entry written straight into an image.
struct EntrySpec {
    const char* name11;
    uint8_t attr = 0x20;
    uint32_t size = 0;
    uint16_t date = 0;
    uint16_t time = 0;
};

class SheetTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A fresh image of format `code`, saved and opened again as `doc` so
    // that it comes with its (empty) bad-sector list.
    void OpenFreshImage(uint32_t code = 0xF9, const char* name = "test.dsk");
    // Writes `entry` into root-directory slot `slot`; returns its offset.
    uint32_t PutEntry(int slot, const EntrySpec& entry);
    uint32_t SlotOffset(int slot) const;
    std::string ImagePath() const { return imagePath_; }

    HWND Owner() const { return owner.Handle(); }

    OwnerWindow owner;
    // Answers every message box (OK, or Cancel where there is one) and
    // leaves the sheets and dialogs to the test.
    BoxCatcher boxes{true};
    ScratchFolder folder;
    ImageDocument doc;

private:
    std::string imagePath_;
};

// Creates a page or dialog template as a plain dialog with a procedure that
// does nothing, for the tests that call the named functions themselves.
HWND CreateBareDialog(UINT templateId, HWND parent);

// The rows of a report-view list (column 0).
std::vector<std::string> ListRows(HWND list);
// Selects row `row` alone (or nothing with -1) as a click would.
void SelectRow(HWND list, int row);
std::string ControlText(HWND dialog, int control);
std::vector<std::string> ComboRows(HWND dialog, int control);
int ComboSelection(HWND dialog, int control);
// Picks `row` as the user would, with the change notification.
void PickComboRow(HWND dialog, int control, int row);
// Clicks a button or check box.
void Click(HWND dialog, int control);
// Types `text` into an edit field (EN_CHANGE follows).
void TypeText(HWND dialog, int control, const char* text);

}  // namespace vk::test
