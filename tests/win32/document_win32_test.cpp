// The document's failures that come from Windows file sharing and access
// rights, on real files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include <windows.h>

#include "engine/strings/string_ids.h"
#include "tests/support/image_builder.h"
#include "tests/support/test_files.h"
#include "tests/support/win_codes.h"

namespace vk::test {
namespace {

// A handle of another program on a file, closed when the test step ends.
class ForeignHandle {
public:
    ForeignHandle(const std::string& path, DWORD access, DWORD share)
        : handle_(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~ForeignHandle() {
        if (IsOpen()) {
            CloseHandle(handle_);
        }
    }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

// What a plain open of `path` with `access` and read sharing gives.
DWORD TryOpen(const std::string& path, DWORD access) {
    HANDLE h = CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    CloseHandle(h);
    return ERROR_SUCCESS;
}

class DocumentOnWindows : public EngineTest {
protected:
    std::string WriteImage(const std::string& name) {
        const std::string path = dir.Path(name);
        WriteFile(path, MakeImage(0xF9));
        return path;
    }
};

TEST_F(DocumentOnWindows, FileHeldByAnotherProgramIsRefusedWithoutReadOnlyRetry) {
    const struct {
        const char* name;
        DWORD access;
        DWORD share;
        DWORD readOnlyOpen;  // what a read-only retry would have given
    } kHolders[] = {
        {"a writer sharing read and write", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, ERROR_SHARING_VIOLATION},
        {"a reader refusing writers", GENERIC_READ, FILE_SHARE_READ, ERROR_SUCCESS},
    };
    const std::string previous = WriteImage("previous.dsk");
    const std::string held = WriteImage("held.dsk");
    for (const auto& h : kHolders) {
        SCOPED_TRACE(h.name);
        ASSERT_TRUE(test::Open(doc, TestOwner(), previous));
        ForeignHandle other(held, h.access, h.share);
        ASSERT_TRUE(other.IsOpen());
        ASSERT_EQ(TryOpen(held, GENERIC_READ), h.readOnlyOpen);

        script.SystemError(test::win_code::kSharingViolation, held);
        EXPECT_FALSE(test::Open(doc, TestOwner(), held));
        EXPECT_FALSE(doc.IsOpen());
        EXPECT_EQ(script.Pending(), 0u);
    }
}

TEST_F(DocumentOnWindows, FolderIsRefusedWithTheDeniedAccessOfTheFirstAttempt) {
    // Read-write is denied, and so is the read-only retry.
    script.SystemError(test::win_code::kAccessDenied, dir.Root());
    EXPECT_FALSE(test::Open(doc, TestOwner(), dir.Root()));
    EXPECT_FALSE(doc.IsOpen());
}

TEST_F(DocumentOnWindows, ImageOpenedReadOnlyCannotBeWrittenInPlace) {
    const std::string path = WriteImage("a.dsk");
    const Bytes original = ReadFile(path);
    ASSERT_TRUE(test::Open(doc, TestOwner(), path, true));
    EXPECT_TRUE(doc.readOnly);
    doc.Area()[doc.GetLayout().rootStart] = 'X';
    doc.modified = true;

    script.SystemError(test::win_code::kAccessDenied, path);
    EXPECT_FALSE(test::Shown(SaveImage(doc), test::TestOwner()));
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(ReadFile(path), original);
}

TEST_F(DocumentOnWindows, WriteProtectedFileOpensReadOnlyAndSavesUnderANewName) {
    const std::string path = WriteImage("protected.dsk");
    const Bytes original = ReadFile(path);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    if (TryOpen(path, GENERIC_READ | GENERIC_WRITE) == ERROR_SUCCESS) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        GTEST_SKIP() << "this host grants write access to read-only files (Wine run by root does)";
    }

    script.Message(kMsgOpenedReadOnly, kIconWarning);
    ASSERT_TRUE(test::Open(doc, TestOwner(), path));
    EXPECT_TRUE(doc.readOnly);
    doc.Area()[doc.GetLayout().rootStart] = 'X';
    doc.modified = true;

    const std::string copy = dir.Path("copy.dsk");
    ASSERT_TRUE(test::Shown(SaveImageAsPath(doc, copy), TestOwner()));
    ASSERT_TRUE(test::Shown(SaveImage(doc), test::TestOwner()));
    EXPECT_EQ(ReadFile(copy), ImageBytes(doc));
    EXPECT_EQ(ReadFile(path), original);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The build makes this file immutable on the host, which denies write access
// to every process, root's too.
TEST_F(DocumentOnWindows, ImmutableFileOpensReadOnlyWithMessage53) {
    const char* path = std::getenv("VOLKARN_PROTECTED_IMAGE");
    if (path == nullptr) {
        GTEST_SKIP() << "VOLKARN_PROTECTED_IMAGE is not set (the ctest fixture sets it)";
    }
    const Bytes original = ReadFile(path);
    ASSERT_FALSE(original.empty());
    ASSERT_EQ(TryOpen(path, GENERIC_READ | GENERIC_WRITE), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    script.Message(kMsgOpenedReadOnly, kIconWarning);
    ASSERT_TRUE(test::Open(doc, TestOwner(), path));
    EXPECT_TRUE(doc.readOnly);
    EXPECT_EQ(doc.geometry.totalSectors, 1440u);
    doc.modified = true;
    const std::string copy = dir.Path("saved.dsk");
    ASSERT_TRUE(test::Shown(SaveImageAsPath(doc, copy), TestOwner()));
    ASSERT_TRUE(test::Shown(SaveImage(doc), test::TestOwner()));
    EXPECT_EQ(ReadFile(copy), ImageBytes(doc));
    EXPECT_EQ(ReadFile(path), original);
}

TEST_F(DocumentOnWindows, SaveAsOntoAFileHeldOpenKeepsTheDocumentsOwnFile) {
    const std::string path = WriteImage("a.dsk");
    const std::string target = WriteImage("target.dsk");
    ASSERT_TRUE(test::Open(doc, TestOwner(), path));
    ForeignHandle other(target, GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(other.IsOpen());

    script.SystemError(test::win_code::kSharingViolation, target);
    EXPECT_FALSE(test::Shown(SaveImageAsPath(doc, target), TestOwner()));
    EXPECT_EQ(doc.fileName, path);
    doc.modified = true;
    EXPECT_TRUE(test::Shown(SaveImage(doc), test::TestOwner()));
    EXPECT_EQ(ReadFile(path), ImageBytes(doc));
}

// A killed save leaves its copy of the image (.NAME.XXXXXX) closed; a live
// one holds it open. The next save removes only the first kind, and nothing
// else that starts with the image's name.
TEST_F(DocumentOnWindows, SaveRemovesTheCopiesOfKilledSavesOnly) {
    const std::string path = WriteImage("a.dsk");
    const struct {
        const char* name;
        bool held;
        bool removed;
    } kCopies[] = {
        {".a.dsk.Dead01", false, true},
        {".a.dsk.Live01", true, false},
        {".a.dsk.notours", false, false},
        {".b.dsk.Dead02", false, false},
    };
    std::vector<std::unique_ptr<ForeignHandle>> holders;
    for (const auto& copy : kCopies) {
        WriteFile(dir.Path(copy.name), {1, 2, 3});
        if (copy.held) {
            holders.push_back(std::make_unique<ForeignHandle>(dir.Path(copy.name), GENERIC_WRITE, FILE_SHARE_DELETE));
            ASSERT_TRUE(holders.back()->IsOpen());
        }
    }
    ASSERT_TRUE(test::Open(doc, TestOwner(), path));
    doc.modified = true;
    ASSERT_TRUE(test::Shown(SaveImage(doc), test::TestOwner()));
    for (const auto& copy : kCopies) {
        EXPECT_EQ(GetFileAttributesA(dir.Path(copy.name).c_str()) == INVALID_FILE_ATTRIBUTES, copy.removed)
            << copy.name;
    }
}

}  // namespace
}  // namespace vk::test
