// VOLKARN.EXE -w image as a child process: the image opens, the media-error
// warning comes when it carries bad sectors, the Write to disk dialog shows,
// and once it is closed the program ends with exit code 1.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "tests/win32/associations/box_answerer.h"
#include "tests/win32/associations/child_process.h"
#include "engine/core/document.h"
#include "engine/core/new_image.h"
#include <gtest/gtest.h>
#include "win32/resources/disk_dialog_ids.h"

namespace vk::test {
namespace {

constexpr DWORD kEndsMilliseconds = 60000;
// The answerer reads the box text with plain line breaks.
constexpr char kMessage43[] =
    "WARNING: the selected disk-image contains informations about media-errors.\n"
    "These errors will NOT be written to the target media!";

// Watches for the Write to disk dialog of any process, notes its owner and
// cancels it, as a user would.
class WriteDialogCloser {
public:
    WriteDialogCloser() : thread_([this] { Run(); }) {}
    ~WriteDialogCloser() {
        stop_ = true;
        thread_.join();
    }
    bool Seen() const { return seen_; }
    // The dialog's owner was the main window, still hidden in its creation.
    bool OwnerHidden() const { return ownerHidden_; }

private:
    void Run() {
        while (!stop_) {
            HWND dialog = FindWindowA("#32770", "Write to disk");
            if (dialog != nullptr && IsWindowVisible(dialog)) {
                HWND owner = GetWindow(dialog, GW_OWNER);
                char ownerClass[64] = "";
                GetClassNameA(owner, ownerClass, sizeof ownerClass);
                ownerHidden_ = std::strcmp(ownerClass, "QuanbelVolkarnWndClass") == 0 && !IsWindowVisible(owner);
                seen_ = true;
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                Sleep(500);
            }
            Sleep(50);
        }
    }
    std::atomic<bool> stop_{false};
    std::atomic<bool> seen_{false};
    std::atomic<bool> ownerHidden_{false};
    std::thread thread_;
};

// The settings VOLKARN may store; the /R tests expect them untouched, so a
// run that created them removes them again.
constexpr char kSettingsKey[] = "Software\\Quanbel\\Volkarn";

bool SettingsExist() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::string ScratchImage(const char* name) {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    return std::string(temp) + name;
}

void WriteImage(const std::string& path) {
    ImageDocument doc;
    ASSERT_TRUE(CreateEmptyImage(doc, 0xF9, 0).Done());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(doc.imageBuffer.data()), doc.imageSize);
}

// A bad-sector file beside the image marking sector 0.
void WriteErrorFile(const std::string& path) {
    std::string bytes("DiskImage errors\r\n\x1A", 19);
    bytes.push_back('\0');
    bytes.push_back(static_cast<char>(0x80));
    bytes.append(179, '\0');
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(WriteSwitchProcess, OpensTheDialogAndEndsWithOne) {
    const bool settingsBefore = SettingsExist();
    const std::string image = ScratchImage("vkwsw.dsk");
    const std::string der = ScratchImage("vkwsw.der");
    WriteImage(image);
    DeleteFileA(der.c_str());
    const struct {
        const char* name;
        bool mediaErrors;
    } cases[] = {{"plain image", false}, {"image with a bad sector", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.mediaErrors) {
            WriteErrorFile(der);
        }
        BoxAnswerer boxes("Volkarn");
        WriteDialogCloser closer;
        const ChildRun run =
            RunChild(WindowsPath(VK_VOLKARN_EXE), "-w \"" + image + "\"", kEndsMilliseconds);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 1u);
        EXPECT_TRUE(closer.Seen());
        EXPECT_TRUE(closer.OwnerHidden());
        if (c.mediaErrors) {
            ASSERT_EQ(boxes.Texts().size(), 1u);
            EXPECT_EQ(boxes.Texts()[0], kMessage43);
        } else {
            EXPECT_TRUE(boxes.Texts().empty()) << boxes.Texts().front();
        }
    }
    DeleteFileA(image.c_str());
    DeleteFileA(der.c_str());
    if (!settingsBefore) {
        RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }
}

}  // namespace
}  // namespace vk::test
