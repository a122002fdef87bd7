// The string-table filters and the common file dialogs, driven through the
// real dialog.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/win32/box_catcher.h"
#include "win32/common/dialog_helpers.h"
#include "win32/common/file_dialog.h"
#include "engine/ports/prompts.h"
#include "win32/ports/win32_prompts.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "tests/support/box_flags.h"

namespace vk::test {
namespace {

namespace fs = std::filesystem;

// The texts of a double-zero-terminated list, and whether the list ended
// within `size` characters.
std::vector<std::string> SplitList(const char* list, int size, bool& terminated) {
    std::vector<std::string> texts;
    terminated = false;
    int i = 0;
    while (i < size) {
        if (list[i] == '\0') {
            terminated = true;
            break;
        }
        const int start = i;
        while (i < size && list[i] != '\0') {
            ++i;
        }
        if (i == size) {
            break;
        }
        texts.emplace_back(list + start, static_cast<size_t>(i - start));
        ++i;
    }
    return texts;
}

TEST(FilterString, DiskImageFilterBecomesEightTextsAndAClosingZero) {
    char buffer[128];
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    EXPECT_EQ(LoadFilterString(kStrDiskImageFilter, buffer, sizeof buffer),
              static_cast<int>(LoadText(kStrDiskImageFilter).size()));
    bool terminated = false;
    const std::vector<std::string> texts = SplitList(buffer, sizeof buffer, terminated);
    EXPECT_TRUE(terminated);
    EXPECT_EQ(texts, (std::vector<std::string>{"All disk-images", "*.dsk;*.flp", "Disk images", "*.dsk",
                                               "Floppy-disk images", "*.flp", "All files", "*.*"}));
}

TEST(FilterString, FilterCutShortByTheBufferStillEndsTheList) {
    char buffer[20];
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    LoadFilterString(kStrDiskImageFilter, buffer, sizeof buffer);
    bool terminated = false;
    const std::vector<std::string> texts = SplitList(buffer, sizeof buffer, terminated);
    EXPECT_TRUE(terminated);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0], "All disk-images");
}

class FileDialogs : public ::testing::Test {
protected:
    FileDialogs() {
        root = fs::temp_directory_path() / ("vkdlg-" + std::to_string(GetTickCount64()));
        fs::create_directories(root);
    }
    ~FileDialogs() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    std::string Path(const char* name) const { return (root / name).string(); }
    std::string MakeFile(const char* name) const {
        std::ofstream(Path(name)) << "image";
        return Path(name);
    }

    OwnerWindow owner;
    fs::path root;
};

// The port's save dialog while `owner` holds the prompt owner.
bool AskSavePathOver(HWND owner, std::string& path) {
    const ScopedPromptOwner boxes(owner);
    return AskSaveImagePath(path);
}

TEST_F(FileDialogs, SaveDialogAddsTheDefaultExtensionAndHidesReadOnly) {
    BoxCatcher catcher;
    catcher.ChooseFile(Path("newimage"));
    std::string path;
    ASSERT_TRUE(AskSavePathOver(owner.Handle(), path));
    EXPECT_EQ(path, Path("newimage.dsk"));
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    const CaughtBox& dialog = catcher.Boxes()[0];
    EXPECT_TRUE(dialog.fileDialog);
    EXPECT_EQ(dialog.owner, owner.Handle());
    EXPECT_EQ(dialog.fileType, "All disk-images");
    EXPECT_FALSE(dialog.readOnlyShown);
}

// Save as opens where the image is, with its name; an untitled image is
// proposed as "Untitled.dsk" in the folder of the last image.
TEST_F(FileDialogs, SaveDialogStartsWithTheProposedFolderAndName) {
    const std::string other = (root / "other").string();
    fs::create_directories(other);
    const struct {
        const char* what;
        std::string proposal;
        std::string lastFolder;
        std::string folder;
        const char* name;
    } kCases[] = {
        {"the image's own", Path("GAME.DSK"), other, root.string(), "GAME.DSK"},
        {"untitled", "", other, other, "Untitled.dsk"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        LastImageFolder() = c.lastFolder;
        BoxCatcher catcher;  // cancelled
        std::string path = c.proposal;
        EXPECT_FALSE(AskSavePathOver(owner.Handle(), path));
        ASSERT_EQ(catcher.Boxes().size(), 1u);
        EXPECT_EQ(catcher.Boxes()[0].fileName, c.name);
        EXPECT_EQ(fs::path(catcher.Boxes()[0].folder), fs::path(c.folder));
    }
}

TEST_F(FileDialogs, CancelledSaveDialogChoosesNothing) {
    BoxCatcher catcher;  // nothing queued: the dialog is cancelled
    std::string path = "unchanged";
    EXPECT_FALSE(AskSavePathOver(owner.Handle(), path));
    EXPECT_EQ(path, "unchanged");
    EXPECT_EQ(catcher.Boxes().size(), 1u);
}

TEST_F(FileDialogs, SavingOverAnExistingFileAsksFirst) {
    const std::string existing = MakeFile("old.dsk");
    {
        BoxCatcher catcher;
        catcher.ChooseFile(existing).Answer(IDYES);
        std::string path;
        EXPECT_TRUE(AskSavePathOver(owner.Handle(), path));
        EXPECT_EQ(path, existing);
        ASSERT_EQ(catcher.Boxes().size(), 2u);
        EXPECT_FALSE(catcher.Boxes()[1].fileDialog);
        EXPECT_EQ(catcher.Boxes()[1].buttons, static_cast<unsigned>(kBoxYesNo)) << catcher.Boxes()[1].text;
    }
    {
        // No to the question goes back to the dialog, which is then cancelled.
        BoxCatcher catcher;
        catcher.ChooseFile(existing).Answer(IDNO);
        std::string path;
        EXPECT_FALSE(AskSavePathOver(owner.Handle(), path));
        EXPECT_EQ(catcher.Boxes().size(), 2u);
    }
}

TEST_F(FileDialogs, OpenDialogReportsTheReadOnlyCheckBox) {
    const std::string existing = MakeFile("disk.flp");
    for (bool tick : {false, true}) {
        SCOPED_TRACE(tick ? "ticked" : "not ticked");
        BoxCatcher catcher;
        catcher.ChooseFile(existing, tick);
        char path[MAX_PATH] = "";
        bool readOnly = !tick;
        ASSERT_TRUE(ShowFileDialog(owner.Handle(), kStrDiskImageFilter, 0, path, sizeof path, OFN_FILEMUSTEXIST,
                                   FileDialogKind::kOpen, &readOnly));
        EXPECT_EQ(std::string(path), existing);
        EXPECT_EQ(readOnly, tick);
        ASSERT_EQ(catcher.Boxes().size(), 1u);
        EXPECT_TRUE(catcher.Boxes()[0].readOnlyShown);
    }
}

}  // namespace
}  // namespace vk::test
