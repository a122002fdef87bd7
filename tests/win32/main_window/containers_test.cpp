// Images in zip and gzip files in the real window: the Choose file dialog
// for a zip holding two images, a file added to the one chosen and saved
// back into the zip, the other image's bytes kept; a .dsk.gz opened
// straight away.
#include <windows.h>

#include <zlib.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/common/bytes.h"
#include "engine/core/document.h"
#include "engine/core/new_image.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/table/volume.h"
#include "tests/win32/box_catcher.h"
#include "tests/win32/dialog_driver.h"
#include "tests/win32/main_window/window_fixture.h"
#include "win32/resources/command_ids.h"
#include "win32/resources/member_dialog_ids.h"
#include "win32/ui/app_state.h"
#include "win32/ui/document_view.h"

namespace vk::test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes EmptyDisk() {
    ImageDocument doc;
    EXPECT_TRUE(win32::Shown(nullptr, CreateEmptyImage(doc, 0xF9, 0)));
    return Bytes(doc.imageBuffer.data(), doc.imageBuffer.data() + doc.imageSize);
}

// A zip of stored members, written field by field as the format lays it out.
Bytes StoredZip(const std::vector<std::pair<std::string, Bytes>>& members) {
    Bytes zip;
    Bytes central;
    for (const auto& [name, data] : members) {
        const uint32_t crc = static_cast<uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
        uint8_t local[30] = {};
        Store32(local, 0x04034B50);
        Store16(local + 4, 10);
        Store32(local + 14, crc);
        Store32(local + 18, static_cast<uint32_t>(data.size()));
        Store32(local + 22, static_cast<uint32_t>(data.size()));
        Store16(local + 26, static_cast<uint32_t>(name.size()));
        uint8_t record[46] = {};
        Store32(record, 0x02014B50);
        Store16(record + 6, 10);
        std::memcpy(record + 16, local + 14, 12);
        Store16(record + 28, static_cast<uint32_t>(name.size()));
        Store32(record + 42, static_cast<uint32_t>(zip.size()));
        zip.insert(zip.end(), local, local + 30);
        zip.insert(zip.end(), name.begin(), name.end());
        zip.insert(zip.end(), data.begin(), data.end());
        central.insert(central.end(), record, record + 46);
        central.insert(central.end(), name.begin(), name.end());
    }
    uint8_t end[22] = {};
    Store32(end, 0x06054B50);
    Store16(end + 8, static_cast<uint32_t>(members.size()));
    Store16(end + 10, static_cast<uint32_t>(members.size()));
    Store32(end + 12, static_cast<uint32_t>(central.size()));
    Store32(end + 16, static_cast<uint32_t>(zip.size()));
    zip.insert(zip.end(), central.begin(), central.end());
    zip.insert(zip.end(), end, end + 22);
    return zip;
}

bool Holds(const std::string& path, const std::string& member, const char* name) {
    ImageDocument check;
    if (!win32::Shown(nullptr, OpenImage(check, path, OpenOptions{true, 0, member}))) return false;
    const bool found = FindShownEntry(VolumeOf(check), kRootDir, name) != 0;
    check.Discard();
    return found;
}

class ContainerWindow : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(StartWindow({}));
        hostFile = folder.File("NOTES.TXT");
        WriteAll(hostFile, Bytes(3000, 'n'));
    }
    std::string hostFile;
};

TEST_F(ContainerWindow, AZipWithTwoImagesAsksWhichAndSavesTheChosenOneBack) {
    const std::string zip = folder.File("GAMES.ZIP");
    WriteAll(zip, StoredZip({{"A.DSK", EmptyDisk()}, {"B.DSK", EmptyDisk()}}));
    BoxCatcher boxes(true);
    boxes.ChooseFile(zip);
    std::vector<std::string> listed;
    WithDialog(
        "Choose file",
        [&](HWND dialog) {
            HWND list = GetDlgItem(dialog, IDC_MEMBER_LIST);
            const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                char text[64] = "";
                SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
                listed.push_back(text);
            }
            SendMessageA(list, LB_SETCURSEL, 1, 0);
            SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        },
        [&] { Command(ID_FILE_OPEN); });
    EXPECT_EQ((std::vector<std::string>{"A.DSK", "B.DSK"}), listed);
    ASSERT_TRUE(win32::TheDocument().IsOpen());
    EXPECT_EQ("B.DSK", win32::TheDocument().container.member);
    EXPECT_EQ("GAMES.ZIP (B.DSK) - Volkarn", Title());

    boxes.ChooseFile(hostFile);
    Command(ID_EDIT_ADD_FILE);
    Command(ID_FILE_SAVE);
    EXPECT_FALSE(win32::TheDocument().modified);
    ASSERT_TRUE(win32::CloseDocument(win32::TheDocument(), false));
    EXPECT_TRUE(Holds(zip, "B.DSK", "NOTES.TXT"));
    EXPECT_FALSE(Holds(zip, "A.DSK", "NOTES.TXT"));
}

TEST_F(ContainerWindow, AGzippedImageOpensStraightAwayAndIsSavedBackIntoIt) {
    const std::string gz = folder.File("DISK.DSK.GZ");
    const Bytes disk = EmptyDisk();
    gzFile out = gzopen(gz.c_str(), "wb");
    ASSERT_NE(nullptr, out);
    gzwrite(out, disk.data(), static_cast<unsigned>(disk.size()));
    gzclose(out);
    BoxCatcher boxes(true);
    boxes.ChooseFile(gz);
    Command(ID_FILE_OPEN);
    ASSERT_TRUE(win32::TheDocument().IsOpen());
    boxes.ChooseFile(hostFile);
    Command(ID_EDIT_ADD_FILE);
    Command(ID_FILE_SAVE);
    ASSERT_TRUE(win32::CloseDocument(win32::TheDocument(), false));
    const Bytes saved = ReadAll(gz);
    ASSERT_GE(saved.size(), 2u);
    EXPECT_EQ(0x1F, saved[0]);
    EXPECT_EQ(0x8B, saved[1]);
    EXPECT_TRUE(Holds(gz, "", "NOTES.TXT"));
}

}  // namespace
}  // namespace vk::test
