// The file properties sheet and its page "General" over entries of a real
// image: texts, check boxes, icon, and what Apply changes.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "engine/fat/dir/dir_entry.h"
#include "win32/resources/sheets_ids.h"
#include "tests/win32/sheets/sheet_fixture.h"
#include "win32/sheets/file_properties_page.h"

namespace vk::win32 {
namespace {

using test::ControlText;
using test::ModelessSheet;

// 2015-12-14 13:45:30
constexpr uint16_t kDate = PackDosDate(2015, 12, 14);
constexpr uint16_t kTime = PackDosTime(13, 45, 30);

class FilePropertiesTest : public test::SheetTest {
protected:
    void SetUp() override {
        SheetTest::SetUp();
        iniPath = folder.File("VOLKARN.INI");
        std::ofstream ini(iniPath);
        ini << "[Extensions]\nBIN=Binary file (BLOAD)\n";
    }

    // Opens the sheet on `entry` put into slot 0 of a fresh 720 KB image.
    HWND OpenOn(const test::EntrySpec& entry, const char* itemText) {
        if (!doc.IsOpen()) {
            OpenFreshImage();
        }
        request.doc = &doc;
        request.entryOffset = PutEntry(0, entry);
        request.typeNamesPath = iniPath;
        sheet = std::make_unique<ModelessSheet>(OpenFilePropertiesSheet(Owner(), itemText, request, PSH_MODELESS));
        return sheet->Page(0);
    }
    uint8_t Attr() const { return doc.Area()[request.entryOffset + kDirAttr]; }

    std::string iniPath;
    FilePropertiesRequest request;
    std::unique_ptr<ModelessSheet> sheet;
};

TEST_F(FilePropertiesTest, PageTextsForEachKindOfEntry) {
    ASSERT_EQ(GetUserDefaultLCID(), 0x0409u) << "the test runs under en_US";
    const struct {
        const char* name;
        test::EntrySpec entry;
        const char* file;
        const char* type;
        const char* size;
        const char* label;
    } cases[] = {
        {"directory", {"SUBDIR     ", 0x10, 0, kDate, kTime}, "SUBDIR", "Directory", "", "Folder:"},
        {"1536 bytes on 1024-byte clusters", {"DATA    BIN", 0x20, 1536, kDate, kTime}, "DATA.BIN",
         "Binary file (BLOAD)", "1.50 KB (1,536 Byte), 2,048 Byte allocated", "File:"},
        {"unknown extension", {"DATA    XYZ", 0x20, 0, kDate, kTime}, "DATA.XYZ", "XYZ file",
         "0.00 KB (0 Byte), 0 Byte allocated", "File:"},
        {"no extension", {"NOTES      ", 0x20, 10, kDate, kTime}, "NOTES", "",
         "0.01 KB (10 Byte), 1,024 Byte allocated", "File:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND page = OpenOn(c.entry, c.file);
        EXPECT_NE(sheet->Caption().find(c.file), std::string::npos) << sheet->Caption();
        EXPECT_EQ(sheet->TabText(0), "General");
        EXPECT_EQ(ControlText(page, IDC_FILE_NAME_LABEL), c.label);
        EXPECT_EQ(ControlText(page, IDC_FILE_NAME), c.file);
        EXPECT_EQ(ControlText(page, IDC_FILE_TYPE), c.type);
        EXPECT_EQ(ControlText(page, IDC_FILE_LOCATION), "\\");
        EXPECT_EQ(ControlText(page, IDC_FILE_SIZE), c.size);
        const std::string changed = ControlText(page, IDC_FILE_CHANGED);
        EXPECT_NE(changed.find("December 14, 2015"), std::string::npos) << "the long date form: " << changed;
        EXPECT_NE(SendDlgItemMessageA(page, IDC_FILE_ICON, STM_GETICON, 0, 0), 0) << "an icon is shown";
        EXPECT_TRUE(sheet->HelpEnabled());
        sheet.reset();
    }
}

TEST_F(FilePropertiesTest, CheckBoxesShowTheFourBits) {
    const struct {
        const char* name;
        uint8_t attr;
        UINT readOnly, hidden, archive, system;
    } cases[] = {
        {"read-only archived file", 0x21, BST_CHECKED, BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED},
        {"hidden system file", 0x06, BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED, BST_CHECKED},
        {"plain directory", 0x10, BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND page = OpenOn({"FILE    TXT", c.attr}, "FILE.TXT");
        EXPECT_EQ(IsDlgButtonChecked(page, IDC_FILE_READ_ONLY), c.readOnly);
        EXPECT_EQ(IsDlgButtonChecked(page, IDC_FILE_HIDDEN), c.hidden);
        EXPECT_EQ(IsDlgButtonChecked(page, IDC_FILE_ARCHIVE), c.archive);
        EXPECT_EQ(IsDlgButtonChecked(page, IDC_FILE_SYSTEM), c.system);
        sheet.reset();
    }
}

TEST_F(FilePropertiesTest, AnImageTheEngineKeepsReadOnlyOffersNoAttributeChange) {
    OpenFreshImage();
    doc.changeBlock = ChangeBlock::kFat32;
    HWND page = OpenOn({"SECRET  SYS", 0x06}, "SECRET.SYS");
    for (int box : {IDC_FILE_READ_ONLY, IDC_FILE_HIDDEN, IDC_FILE_ARCHIVE, IDC_FILE_SYSTEM}) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, box))) << box;
    }
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_FILE_HIDDEN), static_cast<UINT>(BST_CHECKED)) << "the bits still show";
    sheet->Ok();
    EXPECT_EQ(Attr(), 0x06);
    EXPECT_FALSE(doc.modified);
}

TEST_F(FilePropertiesTest, ClearingHiddenKeepsSystemAndSetsModified) {
    HWND page = OpenOn({"SECRET  SYS", 0x06}, "SECRET.SYS");
    EXPECT_FALSE(sheet->ApplyEnabled());
    test::Click(page, IDC_FILE_HIDDEN);
    EXPECT_TRUE(sheet->ApplyEnabled()) << "a tick marks the page changed";
    sheet->Ok();
    EXPECT_TRUE(sheet->Ended());
    EXPECT_EQ(Attr(), 0x04);
    EXPECT_TRUE(doc.modified);
    EXPECT_TRUE(request.applied);
}

TEST_F(FilePropertiesTest, OkWithoutChangeKeepsModified) {
    HWND page = OpenOn({"READ    ME ", 0x21}, "READ.ME");
    // Ticking and clearing again is no change either.
    test::Click(page, IDC_FILE_SYSTEM);
    test::Click(page, IDC_FILE_SYSTEM);
    sheet->Ok();
    EXPECT_TRUE(sheet->Ended());
    EXPECT_EQ(Attr(), 0x21);
    EXPECT_FALSE(doc.modified);
    EXPECT_FALSE(request.applied);
}

TEST_F(FilePropertiesTest, ApplyKeepsTheBitsThePageDoesNotShow) {
    // Directory and the two top bits stay whatever the boxes say.
    HWND page = OpenOn({"ODD        ", 0xD0}, "ODD");
    test::Click(page, IDC_FILE_READ_ONLY);
    test::Click(page, IDC_FILE_ARCHIVE);
    sheet->Ok();
    EXPECT_EQ(Attr(), 0xF1);
    EXPECT_TRUE(doc.modified);
}

TEST_F(FilePropertiesTest, CancelChangesNothing) {
    HWND page = OpenOn({"SECRET  SYS", 0x06}, "SECRET.SYS");
    test::Click(page, IDC_FILE_HIDDEN);
    sheet->Cancel();
    EXPECT_TRUE(sheet->Ended());
    EXPECT_EQ(Attr(), 0x06);
    EXPECT_FALSE(doc.modified);
}

}  // namespace
}  // namespace vk::win32
