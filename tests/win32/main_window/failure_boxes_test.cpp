// Every box the real main window shows when adding, deleting, renaming or
// opening goes wrong: caption, text, buttons, icon and default button, row by
// row against the table in failure_boxes.inc. With VOLKARN_RECORD_BOXES naming a
// file, the boxes seen are written there in the table's own form instead, to
// be read and taken into the table by hand.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include "engine/common/bytes.h"
#include "engine/core/boot_sector.h"
#include "engine/core/document.h"
#include "tests/support/box_flags.h"
#include "tests/win32/box_catcher.h"
#include "tests/win32/main_window/window_fixture.h"
#include "win32/dragdrop/dragdrop.h"
#include "win32/resources/command_ids.h"
#include "win32/ui/app_state.h"

namespace vk::test {
namespace {

// How the scratch folder is written in the table's texts.
constexpr char kFolderMark[] = "<folder>\\";

struct ExpectedBox {
    const char* caption;
    const char* text;
    unsigned buttons;
    unsigned icon;
    int defaultButton;
};

struct ExpectedRow {
    const char* name;
    std::vector<ExpectedBox> boxes;
};

const ExpectedRow kExpected[] = {
#include "tests/win32/main_window/failure_boxes.inc"
};

// 720 KB: one boot sector, two FATs of three sectors, seven root sectors.
constexpr uint32_t kSecondFat = 4 * kSectorSize;
constexpr int kRootSlots = 112;
constexpr uint32_t kOverFreeSpace = 800 * 1024;

// An image with a comment header in front: its mark, its kind, a zero
// compression field, and the comment's text at 40, zero-terminated.
constexpr uint8_t kCommentMark = 0xAA;
constexpr uint32_t kCommentKindAt = 1;
constexpr uint32_t kCommentCompressionAt = 6;
constexpr uint32_t kCommentTextAt = 40;

using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const std::string& path) {
    Bytes bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        bytes.resize(GetFileSize(file, nullptr));
        DWORD read = 0;
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        bytes.resize(read);
        CloseHandle(file);
    }
    return bytes;
}

void WriteAll(const std::string& path, const Bytes& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// A file of `size` bytes that holds none: a sparse file where the host has them.
void WriteEmptyFile(const std::string& path, uint64_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        switch (c) {
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                char octal[8];
                std::snprintf(octal, sizeof octal, "\\%03o", c);
                out += octal;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out;
}

std::string ButtonsName(unsigned buttons) {
    switch (buttons) {
    case kBoxOk: return "kBoxOk";
    case kBoxAbortRetryIgnore: return "kBoxAbortRetryIgnore";
    case kBoxYesNoCancel: return "kBoxYesNoCancel";
    case kBoxYesNo: return "kBoxYesNo";
    case kBoxYesAllNoCancel: return "kBoxYesAllNoCancel";
    default: return std::to_string(buttons);
    }
}

std::string IconName(unsigned icon) {
    switch (icon) {
    case kIconError: return "kIconError";
    case kIconQuestion: return "kIconQuestion";
    case kIconWarning: return "kIconWarning";
    case kIconInformation: return "kIconInformation";
    default: return std::to_string(icon);
    }
}

std::string ButtonName(int id) {
    switch (id) {
    case kIdOk: return "kIdOk";
    case kIdCancel: return "kIdCancel";
    case kIdAbort: return "kIdAbort";
    case kIdRetry: return "kIdRetry";
    case kIdIgnore: return "kIdIgnore";
    case kIdYes: return "kIdYes";
    case kIdNo: return "kIdNo";
    case kIdYesToAll: return "kIdYesToAll";
    default: return std::to_string(id);
    }
}

class FailureBoxes;

struct Row {
    const char* name;
    std::vector<int> answers;  // the buttons pressed, box by box; the rest are cancelled
    void (*run)(FailureBoxes&);
};

class FailureBoxes : public MainWindowTest {
public:
    // Runs `row` on a window of its own and returns the message boxes it showed.
    std::vector<CaughtBox> Run(const Row& row) {
        row_ = &row;
        std::vector<CaughtBox> shown;
        {
            BoxCatcher catcher;
            catcher_ = &catcher;
            row.run(*this);
            for (const CaughtBox& box : catcher.Boxes()) {
                if (!box.fileDialog) {
                    shown.push_back(box);
                }
            }
            catcher_ = nullptr;
        }
        for (HANDLE held : held_) {
            CloseHandle(held);
        }
        held_.clear();
        TearDown();
        SetUp();
        return shown;
    }

    std::string Path(const std::string& name) const { return folder.File(name); }
    std::string FolderPrefix() const { return folder.File(""); }

    // A 720 KB image named `name` holding `entries`, with `patches` laid
    // over its bytes and cut to `length` bytes when that is not 0.
    std::string Image(const std::string& name, const std::vector<TestEntry>& entries,
                      const std::vector<std::pair<uint32_t, Bytes>>& patches = {}, size_t length = 0) {
        const std::string path = Path(name);
        WriteImageFile(path, entries);
        Bytes bytes = ReadAll(path);
        for (const auto& p : patches) {
            std::copy(p.second.begin(), p.second.end(), bytes.begin() + p.first);
        }
        if (length != 0) {
            bytes.resize(length);
        }
        WriteAll(path, bytes);
        return path;
    }

    std::string HostFile(const std::string& name, size_t size) {
        const std::string path = Path(name);
        WriteAll(path, Bytes(size, 'x'));
        return path;
    }

    // Another program holds `path` open and shares it with no one.
    void Hold(const std::string& path) {
        held_.push_back(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    }

    // The window on `image` as the command line names it; its boxes get the
    // row's answers when `answered`.
    void Start(const std::string& image, bool answered = false) {
        if (answered) {
            QueueAnswers();
        }
        win32::CommandLine line;
        line.imagePath = image;
        ASSERT_TRUE(StartWindow(line));
    }

    void StartWith(const win32::CommandLine& line) {
        QueueAnswers();
        StartWindow(line);
    }

    void OpenByCommand(const std::string& image) {
        catcher_->ChooseFile(image);
        QueueAnswers();
        Command(ID_FILE_OPEN);
    }

    // The files dropped on the window, as its drop target hands them on.
    void Drop(const std::vector<std::string>& paths) {
        size_t size = sizeof(DROPFILES) + 1;
        for (const std::string& p : paths) {
            size += p.size() + 1;
        }
        HGLOBAL block = GlobalAlloc(GHND, size);
        auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
        drop->pFiles = sizeof(DROPFILES);
        char* name = reinterpret_cast<char*>(drop + 1);
        for (const std::string& p : paths) {
            std::memcpy(name, p.c_str(), p.size());
            name += p.size() + 1;
        }
        GlobalUnlock(block);
        QueueAnswers();
        SendMessageA(Window(), win32::kDroppedFilesMessage, reinterpret_cast<WPARAM>(block), 0);
        GlobalFree(block);
    }

    void Delete(const std::vector<int>& items) {
        for (int item : items) {
            Select(item, true);
        }
        QueueAnswers();
        Command(ID_EDIT_DELETE);
    }

    // Types `text` into the label editor of `item` and presses Enter; an
    // editor that does not open leaves the text untyped.
    void Rename(int item, const std::string& text) {
        Select(item, true);
        QueueAnswers();
        Command(ID_EDIT_RENAME);
        HWND edit = reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETEDITCONTROL, 0, 0));
        if (edit != nullptr) {
            SetWindowTextA(edit, text.c_str());
            SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
        }
    }

private:
    void QueueAnswers() {
        for (int answer : row_->answers) {
            catcher_->Answer(answer);
        }
    }

    const Row* row_ = nullptr;
    BoxCatcher* catcher_ = nullptr;
    std::vector<HANDLE> held_;
};

Bytes Le16(uint16_t value) { return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)}; }

const TestEntry kFolderAndFile[] = {{"DIR        ", 0x10}, {"OLD     TXT"}};
const TestEntry kThreeEntries[] = {{"ONE     TXT"}, {"DIR        ", 0x10}, {"TWO     TXT"}};
const TestEntry kTwoFiles[] = {{"FILE1   TXT"}, {"FILE2   TXT"}};

std::vector<TestEntry> Entries(const TestEntry* first, size_t count) { return {first, first + count}; }
template <size_t N>
std::vector<TestEntry> Entries(const TestEntry (&entries)[N]) {
    return Entries(entries, N);
}

// A FAT32 boot sector: no 16-bit FAT size or root count, a 32-bit FAT size.
std::vector<std::pair<uint32_t, Bytes>> Fat32Bpb() {
    return {{kBpbSectorsPerFat, Le16(0)}, {kBpbRootEntries, Le16(0)}, {kBpb32SectorsPerFat, {1, 0, 0, 0}}};
}

std::string AddImage(FailureBoxes& t) { return t.Image("ADD.DSK", Entries(kFolderAndFile)); }

const Row kRows[] = {
    // Adding, by drop and by the command line's /A.
    {"add: a missing host file", {}, [](FailureBoxes& t) {
         t.Start(AddImage(t));
         t.Drop({t.Path("MISSING.TXT")});
     }},
    {"add: a device", {}, [](FailureBoxes& t) {
         t.Start(AddImage(t));
         t.Drop({"NUL"});
     }},
    {"add: a file over a folder", {}, [](FailureBoxes& t) {
         t.Start(AddImage(t));
         t.Drop({t.HostFile("DIR", 10)});
     }},
    {"add: the first of two fails and the second is not tried", {}, [](FailureBoxes& t) {
         t.Start(AddImage(t));
         t.Drop({t.HostFile("DIR", 10), t.HostFile("NEXT.TXT", 10)});
     }},
    {"add: a file larger than the free space", {}, [](FailureBoxes& t) {
         t.Start(AddImage(t));
         t.Drop({t.HostFile("BIG.BIN", kOverFreeSpace)});
     }},
    {"add: into a full root directory", {}, [](FailureBoxes& t) {
         std::vector<TestEntry> full;
         static char names[kRootSlots][12];
         for (int i = 0; i < kRootSlots; ++i) {
             std::snprintf(names[i], sizeof names[i], "F%-7dTXT", i);
             full.push_back({names[i]});
         }
         t.Start(t.Image("FULL.DSK", full));
         t.Drop({t.HostFile("NEW.TXT", 10)});
     }},
    {"add: over a file of that name, answered No", {kIdNo}, [](FailureBoxes& t) {
         t.Start(AddImage(t));
         t.Drop({t.HostFile("OLD.TXT", 10)});
     }},
    {"add: a host file another program holds", {}, [](FailureBoxes& t) {
         t.Start(AddImage(t));
         const std::string held = t.HostFile("HELD.TXT", 10);
         t.Hold(held);
         t.Drop({held});
     }},
    {"add: to a FAT32 image", {}, [](FailureBoxes& t) {
         t.Start(t.Image("FAT32.DSK", Entries(kFolderAndFile), Fat32Bpb()));
         t.Drop({t.HostFile("NEW.TXT", 10)});
     }},
    {"add: /A without a host file", {}, [](FailureBoxes& t) {
         win32::CommandLine line;
         line.imagePath = AddImage(t);
         line.addSwitch = true;
         t.StartWith(line);
     }},
    {"add: /A with a missing host file", {}, [](FailureBoxes& t) {
         win32::CommandLine line;
         line.imagePath = AddImage(t);
         line.addSwitch = true;
         line.hostFileArgument = t.Path("MISSING.TXT");
         t.StartWith(line);
     }},

    // Deleting the selection.
    {"delete: a folder", {}, [](FailureBoxes& t) {
         t.Start(t.Image("DEL.DSK", Entries(kThreeEntries)));
         t.Delete({1});
     }},
    {"delete: a file, answered Cancel", {kIdCancel}, [](FailureBoxes& t) {
         t.Start(t.Image("DEL.DSK", Entries(kThreeEntries)));
         t.Delete({0});
     }},
    {"delete: a file, answered No", {kIdNo}, [](FailureBoxes& t) {
         t.Start(t.Image("DEL.DSK", Entries(kThreeEntries)));
         t.Delete({0});
     }},
    {"delete: a folder between two files, Yes to all", {kIdYesToAll}, [](FailureBoxes& t) {
         t.Start(t.Image("DEL.DSK", Entries(kThreeEntries)));
         t.Delete({0, 1, 2});
     }},
    {"delete: on a FAT32 image", {}, [](FailureBoxes& t) {
         t.Start(t.Image("FAT32.DSK", Entries(kThreeEntries), Fat32Bpb()));
         t.Delete({0});
     }},

    // Renaming in the label editor.
    {"rename: a name too long", {}, [](FailureBoxes& t) {
         t.Start(t.Image("REN.DSK", Entries(kTwoFiles)));
         t.Rename(0, "ABCDEFGHI.TXT");
     }},
    {"rename: an extension too long", {}, [](FailureBoxes& t) {
         t.Start(t.Image("REN.DSK", Entries(kTwoFiles)));
         t.Rename(0, "A.TEXT");
     }},
    {"rename: a character no name takes", {}, [](FailureBoxes& t) {
         t.Start(t.Image("REN.DSK", Entries(kTwoFiles)));
         t.Rename(0, "A*B");
     }},
    {"rename: the name of another file", {}, [](FailureBoxes& t) {
         t.Start(t.Image("REN.DSK", Entries(kTwoFiles)));
         t.Rename(0, "file2.txt");
     }},
    {"rename: on a FAT32 image", {}, [](FailureBoxes& t) {
         t.Start(t.Image("FAT32.DSK", Entries(kTwoFiles), Fat32Bpb()));
         t.Rename(0, "NEW.TXT");
     }},

    // Opening, from the command line and by the Open command.
    {"open: a missing file", {}, [](FailureBoxes& t) { t.Start(t.Path("MISSING.DSK"), true); }},
    {"open: a folder", {}, [](FailureBoxes& t) {
         const std::string path = t.Path("FOLDER.DSK");
         CreateDirectoryA(path.c_str(), nullptr);
         t.Start(path, true);
     }},
    {"open: a file too small, by the Open command", {}, [](FailureBoxes& t) {
         t.Start("");
         t.OpenByCommand(t.HostFile("SMALL.DSK", 100));
     }},
    {"open: a file too large", {}, [](FailureBoxes& t) {
         const std::string path = t.Path("HUGE.DSK");
         WriteEmptyFile(path, 0x100000000ull);
         t.Start(path, true);
     }},
    {"open: a file another program holds", {}, [](FailureBoxes& t) {
         const std::string path = t.Image("HELD.DSK", {});
         t.Hold(path);
         t.Start(path, true);
     }},
    {"open: a write-protected file", {}, [](FailureBoxes& t) {
         const char* protectedImage = std::getenv("VOLKARN_PROTECTED_IMAGE");
         std::string path;
         if (protectedImage != nullptr) {
             path = protectedImage;
         } else {
             path = t.Image("PROTECT.DSK", {});
             SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
         }
         t.Start(path, true);
     }},
    {"open: a compressed image", {}, [](FailureBoxes& t) {
         Bytes bytes(2 * kSectorSize, 0);
         bytes[0] = kCommentMark;
         bytes[kCommentKindAt] = 'Y';
         bytes[kCommentCompressionAt] = 1;
         WriteAll(t.Path("PACKED.DSK"), bytes);
         t.Start(t.Path("PACKED.DSK"), true);
     }},
    {"open: a comment without its end", {}, [](FailureBoxes& t) {
         Bytes bytes(2 * kSectorSize, 'c');
         bytes[0] = kCommentMark;
         bytes[kCommentKindAt] = 'Z';
         bytes[kCommentCompressionAt] = 0;
         bytes[kCommentCompressionAt + 1] = 0;
         WriteAll(t.Path("NOEND.DSK"), bytes);
         t.Start(t.Path("NOEND.DSK"), true);
     }},
    {"open: an image with a comment", {}, [](FailureBoxes& t) {
         const Bytes image = ReadAll(t.Image("PLAIN.DSK", {}));
         const char comment[] = "A disk of notes";
         Bytes bytes(kCommentTextAt + sizeof comment + image.size(), 0);
         bytes[0] = kCommentMark;
         bytes[kCommentKindAt] = 'Y';
         std::copy(comment, comment + sizeof comment, bytes.begin() + kCommentTextAt);
         std::copy(image.begin(), image.end(), bytes.begin() + kCommentTextAt + sizeof comment);
         WriteAll(t.Path("COMMENT.DSK"), bytes);
         t.Start(t.Path("COMMENT.DSK"), true);
     }},
    {"open: a FAT32 image", {}, [](FailureBoxes& t) {
         t.Start(t.Image("FAT32.DSK", {}, Fat32Bpb()), true);
     }},
    // FAT16 is written, but not through a FAT of a floppy's size.
    {"open: a FAT16 boot sector whose FAT is too small", {}, [](FailureBoxes& t) {
         t.Start(t.Image("FAT16.DSK", {}, {{kBpbSectorsPerCluster, {1}}, {kBpbTotalSectors, Le16(20000)}}), true);
     }},
    {"open: an image shorter than its FATs and root", {}, [](FailureBoxes& t) {
         t.Start(t.Image("SHORT.DSK", {}, {}, 8 * kSectorSize), true);
     }},
    {"open: a boot sector of no disk", {}, [](FailureBoxes& t) {
         t.Start(t.Image("INVALID.DSK", {}, {{kBpbBytesPerSector, Le16(0)}}), true);
     }},
    {"open: a hard disk's boot sector", {}, [](FailureBoxes& t) {
         t.Start(t.Image("HARD.DSK", {}, {{kBpbBytesPerSector, Le16(0)}, {kBpbMediaByte, {0xF0}}}), true);
     }},
    {"open: a hard disk's partition sector", {}, [](FailureBoxes& t) {
         t.Start(t.Image("MBR.DSK", {}, {{kBpbBytesPerSector, Le16(0)}, {kBpbMediaByte, {0x00}}}), true);
     }},
    {"open: a boot sector without a cluster size", {}, [](FailureBoxes& t) {
         t.Start(t.Image("NOBPB.DSK", {}, {{kBpbSectorsPerCluster, {0}}}), true);
     }},
    {"open: a second FAT that differs, answered No", {kIdNo}, [](FailureBoxes& t) {
         t.Start(t.Image("BACKUP.DSK", {}, {{kSecondFat + 3, {0x12}}}), true);
     }},
    {"open: another image while this one is changed, answered Cancel", {kIdCancel}, [](FailureBoxes& t) {
         t.Start(t.Image("FIRST.DSK", {}));
         win32::TheDocument().modified = true;
         t.OpenByCommand(t.Image("SECOND.DSK", {}));
     }},
};

const ExpectedRow* FindExpected(const std::string& name) {
    for (const ExpectedRow& row : kExpected) {
        if (name == row.name) {
            return &row;
        }
    }
    return nullptr;
}

std::string TableRow(const char* name, const std::vector<CaughtBox>& boxes) {
    std::string out = std::string("{\"") + Escaped(name) + "\", {\n";
    for (const CaughtBox& box : boxes) {
        out += "    {\"" + Escaped(box.caption) + "\",\n     \"" + Escaped(box.text) + "\",\n     " +
               ButtonsName(box.buttons) + ", " + IconName(box.icon) + ", " + ButtonName(box.defaultButton) + "},\n";
    }
    return out + "}},\n";
}

TEST_F(FailureBoxes, EachFailureShowsItsBoxes) {
    const char* record = std::getenv("VOLKARN_RECORD_BOXES");
    std::string table;
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        std::vector<CaughtBox> boxes = Run(row);
        const std::string prefix = FolderPrefix();
        for (CaughtBox& box : boxes) {
            for (size_t at; (at = box.text.find(prefix)) != std::string::npos;) {
                box.text.replace(at, prefix.size(), kFolderMark);
            }
        }
        if (record != nullptr) {
            table += TableRow(row.name, boxes);
            continue;
        }
        const ExpectedRow* expected = FindExpected(row.name);
        if (expected == nullptr) {
            ADD_FAILURE() << "no expected boxes";
            continue;
        }
        EXPECT_EQ(expected->boxes.size(), boxes.size());
        for (size_t i = 0; i < std::min(expected->boxes.size(), boxes.size()); ++i) {
            const ExpectedBox& want = expected->boxes[i];
            const CaughtBox& got = boxes[i];
            EXPECT_EQ(want.caption, got.caption) << "box " << i;
            EXPECT_EQ(want.text, got.text) << "box " << i;
            EXPECT_EQ(ButtonsName(want.buttons), ButtonsName(got.buttons)) << "box " << i;
            EXPECT_EQ(IconName(want.icon), IconName(got.icon)) << "box " << i;
            EXPECT_EQ(ButtonName(want.defaultButton), ButtonName(got.defaultButton)) << "box " << i;
        }
    }
    if (record != nullptr) {
        FILE* out = std::fopen(record, "wb");
        ASSERT_NE(nullptr, out) << record;
        std::fputs(table.c_str(), out);
        std::fclose(out);
    }
    EXPECT_EQ(std::size(kRows), std::size(kExpected)) << "rows the table holds and no test runs";
}

}  // namespace
}  // namespace vk::test
