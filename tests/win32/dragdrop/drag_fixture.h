// Ground of the drag-and-drop tests: OLE started for the test, an image
// with host files added to it, a visible window registered as drop target
// whose dropped files go to a document of the test's choosing, and data
// objects built the way the shell builds them.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace vk::test {

// A top-level window on screen; kDroppedFilesMessage goes to `*target`.
class DropWindow {
public:
    explicit DropWindow(ImageDocument* target, int left = 80, int top = 80);
    ~DropWindow();
    HWND Handle() const { return hwnd_; }
    POINT Center() const;
    ImageDocument* target;
    // Called for kTestCallMessage while the window's thread pumps (inside a
    // drag loop, for one).
    void (*onCall)(DropWindow& self) = nullptr;
    static constexpr UINT kTestCallMessage = WM_USER + 7;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
};

// The shell's own data object for `paths` (all in one folder), through the
// desktop folder's GetUIObjectOf; null when the shell could not make one.
IDataObject* ShellDataObject(const std::vector<std::string>& paths);

// Lets the window system deliver what is queued.
void Pump();

class DragDropTest : public EngineTest {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // A host file of `size` patterned bytes; its path.
    std::string HostFile(const std::string& name, size_t size, uint8_t seed = 1);
    static Bytes Pattern(size_t size, uint8_t seed);
    // Adds host files to `doc` as the user would; the list gets their items.
    void AddToImage(const std::vector<std::string>& paths);
    // Writes a volume-label entry into a free root slot and lists it.
    void AddLabelItem(const char* label11);
    // The bytes of the image's entry at list item `index`, through an extraction.
    Bytes EntryBytes(const ImageDocument& from, uint32_t entryOffset);
    // The names of the files in `folder`, sorted.
    static std::vector<std::string> FolderFiles(const std::string& folder);
};

}  // namespace vk::test
