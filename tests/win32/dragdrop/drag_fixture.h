// Ground of the drag-and-drop tests: OLE started for the test, an image
// with host files added to it, a visible window registered as drop target
// whose dropped files go to a document of the test's choosing, and data
// objects built the way the shell builds them.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace vk::test {

// The list of the tests, a real list control standing for the main window's:
// every DropWindow's dropped files come into it, as the items of their
// entries, and dragging out takes its selection.
HWND TestList();

// A top-level window on screen; kDroppedFilesMessage goes to `*target`.
class DropWindow {
public:
    explicit DropWindow(ImageDocument* target, int left = 80, int top = 80);
    ~DropWindow();
    HWND Handle() const { return hwnd_; }
    POINT Center() const;
    ImageDocument* target;
    FileSystemOptions options;  // what the drops are added under
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
    // The list's items: their entry offsets and texts, in list order.
    static std::vector<uint32_t> ListEntries();
    static std::vector<std::string> ListTexts();
    // Selects exactly the items at `indices`, as a user's clicks would.
    static void Select(std::initializer_list<int> indices);
    // The selected items' entry offsets, as the main window reads them.
    static std::vector<uint32_t> Selected();
    // Writes a volume-label entry into a free root slot and lists it.
    void AddLabelItem(const char* label11);
    // The bytes of the image's entry at list item `index`, through an extraction.
    Bytes EntryBytes(const ImageDocument& from, uint32_t entryOffset);
    // The names of the files in `folder`, sorted.
    static std::vector<std::string> FolderFiles(const std::string& folder);
};

}  // namespace vk::test
