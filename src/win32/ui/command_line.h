// The command line of VOLKARN: five switches and up to two file names, read
// once at start-up and kept for the life of the process.
#pragma once

#include <string>
#include <string_view>

namespace vk::win32 {

struct CommandLine {
    bool addSwitch = false;       // /A: add the host file to the image
    bool closeSwitch = false;     // /C: save and close the image, then quit
    bool forceSwitch = false;     // /F: no replace or delete questions
    bool registerSwitch = false;  // /R: register the associations, no window
    bool writeSwitch = false;     // /W: write the image to a floppy disk, then quit
    std::string imagePath;        // the first file name
    std::string hostFileArgument; // the second file name
};

// Reads the runtime's argument vector (argv[0], the program, is skipped).
// A switch is '/' or '-' and a letter in either case; the rest of such an
// argument and unknown letters are ignored, so "-write" is /W and "/x" or a
// lone "/" nothing. Names beyond the second are ignored. Names are kept
// whole: a path cut at 259 characters could name a different file.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// The directory of `modulePath` with its trailing separator: everything up
// to the last ':' or '\'. Empty when there is neither.
std::string ProgramDirectoryOf(std::string_view modulePath);

// The process's one command line and program directory.
CommandLine& TheCommandLine();
std::string& ProgramDirectory();

}  // namespace vk::win32
