// Reading the command line and the Add file dialog's answer: pure functions.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include "win32/ui/command_line.h"
#include "win32/ui/commands.h"

namespace vk::test {
namespace {

using win32::CommandLine;

struct ParseCase {
    const char* title;
    std::vector<const char*> args;  // after the program name
    CommandLine expected;
};

CommandLine Line(bool a, bool c, bool f, bool r, bool w, std::string image = {}, std::string host = {}) {
    CommandLine line;
    line.addSwitch = a;
    line.closeSwitch = c;
    line.forceSwitch = f;
    line.registerSwitch = r;
    line.writeSwitch = w;
    line.imagePath = std::move(image);
    line.hostFileArgument = std::move(host);
    return line;
}

TEST(CommandLineParse, SwitchesAndNamesInAnyOrder) {
    const std::string longName(300, 'x');
    const ParseCase kCases[] = {
        {"nothing", {}, Line(false, false, false, false, false)},
        {"image alone", {"C:\\a b\\disk.dsk"}, Line(false, false, false, false, false, "C:\\a b\\disk.dsk")},
        {"add and close", {"disk.dsk", "/a", "host.txt", "/c"},
         Line(true, true, false, false, false, "disk.dsk", "host.txt")},
        {"dashes and upper case", {"-A", "-C", "-F", "-W", "-R"}, Line(true, true, true, true, true)},
        {"switch letters only count", {"-write", "/register", "/Force"}, Line(false, false, true, true, true)},
        {"unknown switch and lone slash ignored", {"/x", "/", "-", "disk.dsk"},
         Line(false, false, false, false, false, "disk.dsk")},
        {"third name ignored", {"one.dsk", "two.txt", "three.txt"},
         Line(false, false, false, false, false, "one.dsk", "two.txt")},
        {"switches between names", {"/w", "one.dsk", "/f", "two.txt"},
         Line(false, false, true, false, true, "one.dsk", "two.txt")},
        {"long name kept whole", {longName.c_str()}, Line(false, false, false, false, false, longName)},
    };
    for (const ParseCase& c : kCases) {
        std::vector<const char*> argv = {"VOLKARN.EXE"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const CommandLine got = win32::ParseCommandLine(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(c.expected.addSwitch, got.addSwitch) << c.title;
        EXPECT_EQ(c.expected.closeSwitch, got.closeSwitch) << c.title;
        EXPECT_EQ(c.expected.forceSwitch, got.forceSwitch) << c.title;
        EXPECT_EQ(c.expected.registerSwitch, got.registerSwitch) << c.title;
        EXPECT_EQ(c.expected.writeSwitch, got.writeSwitch) << c.title;
        EXPECT_EQ(c.expected.imagePath, got.imagePath) << c.title;
        EXPECT_EQ(c.expected.hostFileArgument, got.hostFileArgument) << c.title;
    }
}

TEST(CommandLineParse, ProgramDirectoryEndsAfterTheLastSeparator) {
    const struct {
        const char* module;
        const char* directory;
    } kCases[] = {
        {"C:\\Program Files\\Volkarn\\VOLKARN.EXE", "C:\\Program Files\\Volkarn\\"},
        {"C:VOLKARN.EXE", "C:"},
        {"Z:\\VOLKARN.EXE", "Z:\\"},
        {"VOLKARN.EXE", ""},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(c.directory, win32::ProgramDirectoryOf(c.module)) << c.module;
    }
}

TEST(AddFileDialogAnswer, OnePathOrFolderAndNames) {
    const struct {
        const char* title;
        std::string buffer;
        std::vector<std::string> paths;
    } kCases[] = {
        {"one file", std::string("C:\\dir\\a.txt\0\0", 14), {"C:\\dir\\a.txt"}},
        {"several files", std::string("C:\\dir\0a.txt\0b.bin\0\0", 20), {"C:\\dir\\a.txt", "C:\\dir\\b.bin"}},
        {"several in a drive root", std::string("C:\\\0a\0b\0\0", 9), {"C:\\a", "C:\\b"}},
        {"empty answer", std::string("\0\0", 2), {}},
        {"unterminated answer", std::string("C:\\x", 4), {}},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(c.paths, win32::SelectedPaths(c.buffer.data(), c.buffer.size())) << c.title;
    }
}

}  // namespace
}  // namespace vk::test
