// New and Write to disk end to end against drive A:, which the run maps to a
// 720 KB image file made by mkfs.fat and filled by mcopy: the copy becomes
// an untitled document whose files come out as mcopy put them in, the write
// puts the open image onto the drive's file, and formatting (which Wine
// cannot do) is reported without a sector written.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/document.h"
#include "engine/core/new_image.h"
#include "engine/core/layout.h"
#include "tests/win32/disk_dialogs/disk_dialog_fixture.h"
#include "win32/disk_dialogs/disk_dialogs.h"
#include "engine/fat/ops/add_file.h"
#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/extract.h"
#include "win32/resources/command_ids.h"
#include "win32/resources/disk_dialog_ids.h"
#include "win32/settings/settings.h"
#include "tests/win32/sheets/sheet_fixture.h"
#include "win32/ui/app_state.h"
#include "win32/ui/commands.h"
#include "win32/ui/file_options.h"
#include "win32/ui/write_to_disk.h"
#include "win32/ui/document_view.h"
#include "win32/ports/prompt_owner.h"
#include "tests/support/box_flags.h"

namespace vk::win32 {
namespace {

using test::ControlText;
using test::DriveBacking;
using test::DriveFiles;
using test::ReadFileBytes;

constexpr DWORD kJobGiveUpMs = 120000;
constexpr uint32_t k720Bytes = 1440 * 512;

class DriveATest : public test::DiskDialogTest {
protected:
    void SetUp() override {
        DiskDialogTest::SetUp();
        if (DriveBacking().empty()) {
            GTEST_SKIP() << "drive A: is not mapped in this run";
        }
        // Without this every case below would wait for a dialog that cannot work.
        ASSERT_EQ(GetDriveTypeA("A:\\"), static_cast<UINT>(DRIVE_REMOVABLE)) << "Wine does not see drive A:";
        original = ReadFileBytes(DriveBacking());
        ASSERT_EQ(original.size(), k720Bytes);
    }
    void TearDown() override {
        if (!original.empty()) {
            test::WriteFileBytes(DriveBacking(), original);  // the next case finds the disk as made
        }
        DiskDialogTest::TearDown();
    }

    // File `name11` of the open document, extracted, as bytes.
    std::vector<uint8_t> Extracted(const char* name11) {
        const ImageDocument& doc = TheDocument();
        const Layout layout = doc.GetLayout();
        const std::string out = folder.File("out.bin");
        DeleteFileA(out.c_str());
        for (uint32_t i = 0; i < layout.rootEntries; ++i) {
            const uint32_t offset = static_cast<uint32_t>(layout.rootStart) + i * kDirEntrySize;
            if (std::memcmp(doc.Area() + offset, name11, kDirFullNameLength) == 0) {
                const Result extracted = ExtractEntry(doc, offset, kReplaceSilently, out);
                Report(MainWindow(), extracted);
                EXPECT_TRUE(extracted.Done());
                return ReadFileBytes(out);
            }
        }
        ADD_FAILURE() << name11 << " not in the image";
        return {};
    }

    // Runs New, sets the dialog up with `setUp` and presses OK.
    void NewWith(const std::function<void(HWND)>& setUp) {
        test::WithDialog("New disk-image", [&](HWND dialog) {
            setUp(dialog);
            test::PostClick(dialog, IDOK);
        }, [&] { ExecuteCommand(ID_FILE_NEW, MainWindow()); }, kJobGiveUpMs);
    }

    std::vector<uint8_t> original;
    test::ScratchFolder folder;
};

TEST_F(DriveATest, DriveListNamesTheRemovableDriveOnDriveA) {
    NewWith([](HWND dialog) {
        const std::vector<std::string> drives = test::ComboRows(dialog, IDC_DRIVE_LIST);
        EXPECT_FALSE(drives.empty());
        EXPECT_EQ(drives.empty() ? "" : drives[0].substr(0, 2), "A:");
        EXPECT_EQ(test::ComboSelection(dialog, IDC_DRIVE_LIST), 0);
        EXPECT_NE(IsWindowEnabled(GetDlgItem(dialog, IDC_NEW_COPY_FROM_DISK)), FALSE);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_DRIVE_LIST))) << "until the copy is chosen";
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST_F(DriveATest, CopyOfTheDiskBecomesAnUntitledModifiedDocument) {
    NewWith([](HWND dialog) {
        test::Click(dialog, IDC_NEW_COPY_FROM_DISK);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_NEW_CHOOSE_FORMAT), static_cast<UINT>(BST_UNCHECKED));
    });
    const ImageDocument& doc = TheDocument();
    ASSERT_TRUE(doc.IsOpen());
    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes().front().text;
    EXPECT_EQ(doc.fileName, "Untitled");
    EXPECT_TRUE(doc.modified);
    EXPECT_FALSE(doc.imageFile.IsOpen());
    EXPECT_EQ(doc.dataOffset, 0u);
    ASSERT_EQ(doc.imageSize, k720Bytes);
    EXPECT_EQ(0, std::memcmp(doc.imageBuffer.data(), original.data(), k720Bytes));
    EXPECT_EQ(doc.geometry.totalSectors, 1440u);
    EXPECT_EQ(doc.errorList.size(), 20u + 180u);
    EXPECT_EQ(Title(), "Untitled - Volkarn");
    EXPECT_EQ(ListItemCount(), 2);
    EXPECT_EQ(Extracted("A       BIN"), ReadFileBytes(DriveFiles() + "\\A.BIN"));
    EXPECT_EQ(Extracted("B       BIN"), ReadFileBytes(DriveFiles() + "\\B.BIN"));
}

TEST_F(DriveATest, ForcedFormatReadsThatRowWhateverTheBootSectorSays) {
    NewWith([](HWND dialog) {
        test::Click(dialog, IDC_NEW_COPY_FROM_DISK);
        test::Click(dialog, IDC_NEW_CHOOSE_FORMAT);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_NEW_COPY_FROM_DISK), static_cast<UINT>(BST_CHECKED));
        const int count = static_cast<int>(SendDlgItemMessageA(dialog, IDC_NEW_FORMAT_LIST, CB_GETCOUNT, 0, 0));
        for (int row = 0; row < count; ++row) {
            if (SendDlgItemMessageA(dialog, IDC_NEW_FORMAT_LIST, CB_GETITEMDATA, static_cast<WPARAM>(row), 0) == 0xF8) {
                SendDlgItemMessageA(dialog, IDC_NEW_FORMAT_LIST, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
            }
        }
    });
    const ImageDocument& doc = TheDocument();
    ASSERT_TRUE(doc.IsOpen());
    ASSERT_EQ(doc.imageSize, 720u * 512u);
    EXPECT_TRUE(doc.geometry == FormatRow(0xF8));
    EXPECT_EQ(0, std::memcmp(doc.imageBuffer.data(), original.data(), doc.imageSize));
    EXPECT_TRUE(doc.modified);
}

// An image unlike the disk: a 720 KB MS-DOS image with one file.
void OpenImageToWrite(HWND owner, const std::string& hostFile) {
    ImageDocument& doc = TheDocument();
    ASSERT_TRUE(win32::Shown(owner, CreateEmptyImage(doc, 0xF9, 2)));
    std::vector<uint8_t> data(5000);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 13 + 7);
    }
    test::WriteFileBytes(hostFile, data);
    const Result added = AddHostFile(doc, hostFile, CurrentFileOptions());
    Report(owner, added);
    ASSERT_TRUE(added.Done());
}

TEST_F(DriveATest, WriteToDiskPutsTheImageOntoTheDrive) {
    for (const bool fast : {false, true}) {
        SCOPED_TRACE(fast ? "fast write" : "one sector per write");
        TheSettings().fastWrite = fast;
        OpenImageToWrite(MainWindow(), folder.File("DATA.BIN"));
        const ImageDocument& doc = TheDocument();
        test::WithDialog("Write to disk", [](HWND dialog) {
            EXPECT_EQ(test::ComboRows(dialog, IDC_DRIVE_LIST).size(), 1u);
            test::PostClick(dialog, IDOK);
        }, [&] { EXPECT_TRUE(ConfirmWriteToDisk(MainWindow())); }, kJobGiveUpMs);
        EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes().front().text;
        const std::vector<uint8_t> disk = ReadFileBytes(DriveBacking());
        ASSERT_EQ(disk.size(), doc.imageSize);
        EXPECT_EQ(0, std::memcmp(disk.data(), doc.imageBuffer.data(), disk.size()));
        EXPECT_TRUE(doc.modified) << "the document is not changed by the write";
        TheDocument().modified = false;
        win32::CloseDocument(TheDocument(), true);
        test::WriteFileBytes(DriveBacking(), original);
    }
}

TEST_F(DriveATest, FormatReportsTheSystemErrorWithTheDriveAndWritesNothing) {
    OpenImageToWrite(MainWindow(), folder.File("DATA.BIN"));
    bool written = true;
    test::WithDialog("Write to disk", [](HWND dialog) {
        test::Click(dialog, IDC_WRITE_FORMAT_DISK);
        // The job fails at the first track, so OK may run inside this call.
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_NE(IsWindowVisible(dialog), FALSE) << "a failed format leaves the dialog open";
        EXPECT_NE(IsWindowEnabled(dialog), FALSE);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }, [&] { written = ConfirmWriteToDisk(MainWindow()); }, kJobGiveUpMs);
    EXPECT_FALSE(written);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text.substr(0, 4), "A:\r\n") << boxes.Boxes()[0].text;
    EXPECT_GT(boxes.Boxes()[0].text.size(), 5u) << "the system's text follows the drive";
    EXPECT_EQ(boxes.Boxes()[0].icon, static_cast<unsigned>(test::kIconError));
    EXPECT_EQ(ReadFileBytes(DriveBacking()), original);
}

}  // namespace
}  // namespace vk::win32
