// The page "Volume" of the disk-image properties sheet: what it shows of a
// real image and what its Apply writes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/common/bytes.h"
#include "engine/core/boot_sector.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/directory.h"
#include "win32/resources/sheets_ids.h"
#include "tests/win32/sheets/sheet_fixture.h"
#include "win32/sheets/image_properties.h"
#include "win32/ui/document_view.h"
#include "tests/support/box_flags.h"

namespace vk::win32 {
namespace {

using test::ControlText;
using test::ModelessSheet;

class VolumePageTest : public test::SheetTest {
protected:
    INT_PTR Open() { return OpenImagePropertiesSheet(Owner(), doc, false, PSH_MODELESS); }
    std::vector<uint8_t> Image() const {
        return std::vector<uint8_t>(doc.imageBuffer.data(), doc.imageBuffer.data() + doc.imageSize);
    }
    uint32_t Label() const { return FindVolumeLabel(VolumeOf(doc)); }
    std::string LabelName() const {
        const uint32_t at = Label();
        return at == 0 ? std::string() : std::string(reinterpret_cast<const char*>(doc.Area() + at), 11);
    }
};

uint16_t TodayPacked() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return PackDosDate(now.wYear, now.wMonth, now.wDay);
}

TEST_F(VolumePageTest, FreshImageShowsOemTextAndFiguresWithTheUsersGrouping) {
    ASSERT_EQ(GetUserDefaultLCID(), 0x0409u) << "the test runs under en_US";
    OpenFreshImage();
    std::memcpy(doc.Area() + kBsOemName, "VKTEST\0X", 8);
    ModelessSheet sheet(Open());
    HWND page = sheet.Page(0);
    EXPECT_EQ(ControlText(page, IDC_VOLUME_OEM), "VKTEST") << "up to the first zero byte";
    EXPECT_EQ(ControlText(page, IDC_VOLUME_LABEL), "");
    EXPECT_EQ(ControlText(page, IDC_VOLUME_USED), "0");
    EXPECT_EQ(ControlText(page, IDC_VOLUME_FREE), "730,112") << "713 clusters of 1024 bytes";
    EXPECT_EQ(ControlText(page, IDC_VOLUME_TOTAL), "737,280") << "1440 sectors of 512 bytes";
    EXPECT_EQ(SendDlgItemMessageA(page, IDC_VOLUME_LABEL, EM_GETLIMITTEXT, 0, 0), 11);
    EXPECT_FALSE(sheet.ApplyEnabled()) << "filling the field is no change";
}

TEST_F(VolumePageTest, EmptyFieldOnAnImageWithoutLabelChangesNothing) {
    OpenFreshImage();
    const std::vector<uint8_t> before = Image();
    ModelessSheet sheet(Open());
    sheet.Page(0);
    sheet.Ok();
    EXPECT_TRUE(sheet.Ended());
    EXPECT_EQ(Image(), before);
    EXPECT_FALSE(doc.modified);
}

TEST_F(VolumePageTest, AnImageTheEngineKeepsReadOnlyShowsItsLabelWithoutOfferingAChange) {
    OpenFreshImage();
    doc.changeBlock = ChangeBlock::kFat32;
    const std::vector<uint8_t> before = Image();
    ModelessSheet sheet(Open());
    HWND page = sheet.Page(0);
    EXPECT_NE(GetWindowLongA(GetDlgItem(page, IDC_VOLUME_LABEL), GWL_STYLE) & ES_READONLY, 0);
    sheet.Ok();
    EXPECT_TRUE(sheet.Ended());
    EXPECT_TRUE(boxes.Boxes().empty()) << "OK without a change refuses nothing";
    EXPECT_EQ(Image(), before);
    EXPECT_FALSE(doc.modified);
}

TEST_F(VolumePageTest, TypedLabelIsStoredAsTypedWithTodaysStamp) {
    OpenFreshImage();
    ModelessSheet sheet(Open());
    HWND page = sheet.Page(0);
    test::TypeText(page, IDC_VOLUME_LABEL, "my disk");
    EXPECT_TRUE(sheet.ApplyEnabled());
    sheet.Apply();
    ASSERT_NE(Label(), 0u);
    const uint8_t* entry = doc.Area() + Label();
    EXPECT_EQ(LabelName(), "my disk    ");
    EXPECT_EQ(entry[kDirAttr], kAttrLabel);
    EXPECT_EQ(Load16(entry + kDirDate), TodayPacked());
    EXPECT_EQ(Load32(entry + kDirSize), 0u);
    EXPECT_EQ(Load16(entry + kDirFirstCluster), 0u);
    EXPECT_TRUE(doc.modified);
}

TEST_F(VolumePageTest, UnchangedLabelsWriteNothingAndKeepModified) {
    const struct {
        const char* name;
        const char* stored;
        const char* shown;
    } cases[] = {
        {"plain label", "VOLKARN    ", "VOLKARN"},
        {"blank inside the name", "MY DISK 12 ", "MY DISK 12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        doc.modified = false;
        win32::CloseDocument(doc, false);
        OpenFreshImage(0xF9, "unchanged.dsk");
        test::EntrySpec label{c.stored, 0x08};
        PutEntry(0, label);
        const std::vector<uint8_t> before = Image();
        ModelessSheet sheet(Open());
        HWND page = sheet.Page(0);
        EXPECT_EQ(ControlText(page, IDC_VOLUME_LABEL), c.shown);
        sheet.Ok();
        EXPECT_TRUE(sheet.Ended());
        EXPECT_EQ(Image(), before);
        EXPECT_FALSE(doc.modified);
    }
}

TEST_F(VolumePageTest, ClearingTheFieldMarksTheLabelDeletedAndKeepsItsBytes) {
    OpenFreshImage();
    // Behind two files, with the scan's end marker after it.
    PutEntry(0, test::EntrySpec{"ONE     TXT"});
    PutEntry(1, test::EntrySpec{"TWO     TXT"});
    test::EntrySpec label{"OLD LABEL  ", kAttrLabel, 0, 0x4A21, 0x6000};
    const uint32_t at = PutEntry(2, label);
    const std::vector<uint8_t> entryBefore(doc.Area() + at, doc.Area() + at + kDirEntrySize);
    ModelessSheet sheet(Open());
    HWND page = sheet.Page(0);
    test::TypeText(page, IDC_VOLUME_LABEL, "");
    sheet.Ok();
    EXPECT_TRUE(sheet.Ended());
    EXPECT_EQ(doc.Area()[at], kEntryDeleted);
    EXPECT_TRUE(std::equal(entryBefore.begin() + 1, entryBefore.end(), doc.Area() + at + 1));
    EXPECT_EQ(Label(), 0u);
    EXPECT_TRUE(doc.modified);
}

TEST_F(VolumePageTest, FullRootDirectoryGivesMessage31AndKeepsTheSheetOpen) {
    OpenFreshImage();
    const uint32_t slots = doc.GetLayout().rootEntries;
    for (uint32_t slot = 0; slot < slots; ++slot) {
        char name[12];
        std::snprintf(name, sizeof name, "F%07uTXT", slot);
        PutEntry(static_cast<int>(slot), test::EntrySpec{name});
    }
    const std::vector<uint8_t> before = Image();
    ModelessSheet sheet(Open());
    HWND page = sheet.Page(0);
    test::TypeText(page, IDC_VOLUME_LABEL, "FULL");
    sheet.Ok();
    EXPECT_FALSE(sheet.Ended()) << "the sheet stays open on the page";
    EXPECT_EQ(PropSheet_GetCurrentPageHwnd(sheet.Handle()), page);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Error: cannot set volume-label!\r\nRoot-directory is full.");
    EXPECT_EQ(boxes.Boxes()[0].icon, static_cast<unsigned>(test::kIconError));
    EXPECT_EQ(Image(), before);
    EXPECT_FALSE(doc.modified);
}

}  // namespace
}  // namespace vk::win32
