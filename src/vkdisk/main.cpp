// vkdisk: list, change and create FAT12 floppy images from the command line.
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "version/version.h"
#include "vkdisk/commands.h"
#include "vkdisk/console_ports.h"
#include "vkdisk/options.h"
#ifndef _WIN32
#include "posix/temp_files.h"
#endif

namespace {

struct Command {
    const char* name;
    int (*run)(const vk::cli::Args&);
    const char* summary;
};

const Command kCommands[] = {
    {"new", vk::cli::CmdNew, "create an empty image"},
    {"info", vk::cli::CmdInfo, "show an image's geometry, boot sector and bad sectors"},
    {"add", vk::cli::CmdAdd, "copy host files into the image"},
    {"get", vk::cli::CmdGet, "extract files from the image"},
    {"ls", vk::cli::CmdLs, "list a directory, or the whole tree"},
    {"rm", vk::cli::CmdRm, "delete files"},
    {"ren", vk::cli::CmdRen, "rename an entry"},
    {"mkdir", vk::cli::CmdMkdir, "make folders"},
    {"rmdir", vk::cli::CmdRmdir, "remove folders, or whole trees"},
    {"label", vk::cli::CmdLabel, "show, set or remove the volume label"},
    {"attr", vk::cli::CmdAttr, "show or change attributes"},
    {"read", vk::cli::CmdRead, "read a disk into a new image"},
    {"write", vk::cli::CmdWrite, "write an image onto a disk"},
    {"check", vk::cli::CmdCheck, "check images, and mend them with --fix"},
    {"undelete", vk::cli::CmdUndelete, "list or recover deleted files and folders"},
    {"catalog", vk::cli::CmdCatalog, "describe every image of a collection"},
    {"find", vk::cli::CmdFind, "find images holding a file, by name or SHA-1"},
    {"list", vk::cli::CmdList, "print a file as text, an MSX-BASIC program as its listing"},
};

void PrintUsage(FILE* out) {
    std::fprintf(out, "usage: vkdisk COMMAND [ARGS...]\n       vkdisk --version\n\ncommands:\n");
    for (const Command& c : kCommands) {
        std::fprintf(out, "  %-8s %s\n", c.name, c.summary);
    }
    std::fprintf(out, "\n'vkdisk COMMAND --help' describes a command.\n");
}

}  // namespace

int main(int argc, char** argv) {
    // Numbers and dates follow the user's locale; character handling stays "C".
    std::setlocale(LC_NUMERIC, "");
    std::setlocale(LC_TIME, "");
#ifdef SIGXFSZ
    // A write beyond the file-size limit is an error to report, not a reason
    // to die with a half-written file beside the image.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
#ifndef _WIN32
    // Killed by a terminal or a service manager mid-write, no copy is left beside the target.
    vk::RemoveTempOnSignals();
#endif
    if (argc < 2) {
        PrintUsage(stderr);
        return vk::cli::kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(stdout);
        return vk::cli::kExitOk;
    }
    if (name == "--version") {
        std::printf("vkdisk %s\n", VK_VERSION_STRING);
        return vk::cli::kExitOk;
    }
    for (const Command& c : kCommands) {
        if (name == c.name) {
            return c.run(vk::cli::Args(argv + 2, argv + argc));
        }
    }
    std::fprintf(stderr, "vkdisk: unknown command '%s'\n", name.c_str());
    PrintUsage(stderr);
    return vk::cli::kExitUsage;
}
