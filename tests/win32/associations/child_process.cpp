#include "tests/win32/associations/child_process.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

namespace vk::test {
namespace {

constexpr char kMainWindowClass[] = "QuanbelVolkarnWndClass";
constexpr DWORD kPollMilliseconds = 20;

struct WindowSearch {
    DWORD processId;
    bool found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (processId == search->processId && lstrcmpA(name, kMainWindowClass) == 0) {
        search->found = true;
    }
    return TRUE;
}

}  // namespace

std::string WindowsPath(const std::string& buildPath) {
    std::string path = buildPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path.rfind('\\', 0) == 0 ? "Z:" + path : path;
}

std::vector<std::string> SplitCommandLine(const std::string& command) {
    std::vector<std::string> arguments;
    const std::wstring wide(command.begin(), command.end());
    int count = 0;
    LPWSTR* parts = CommandLineToArgvW(wide.c_str(), &count);
    for (int i = 0; parts != nullptr && i < count; ++i) {
        const std::wstring part(parts[i]);
        arguments.emplace_back(part.begin(), part.end());
    }
    LocalFree(parts);
    return arguments;
}

ChildRun RunChild(const std::string& program, const std::string& arguments, DWORD timeoutMilliseconds) {
    ChildRun run;
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) {
        commandLine += " " + arguments;
    }
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return run;
    }
    run.started = true;
    // Watch for the main window while the child runs: /R must end without one.
    WindowSearch search = {process.dwProcessId, false};
    const DWORD start = GetTickCount();
    for (;;) {
        EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
        if (WaitForSingleObject(process.hProcess, kPollMilliseconds) == WAIT_OBJECT_0) {
            run.finished = true;
            break;
        }
        if (GetTickCount() - start > timeoutMilliseconds) {
            TerminateProcess(process.hProcess, 99);
            WaitForSingleObject(process.hProcess, INFINITE);
            break;
        }
    }
    run.hadMainWindow = search.found;
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

PretendedVersion::PretendedVersion(const std::string& programFile, const char* wineVersion)
    : key_("Software\\Wine\\AppDefaults\\" + programFile) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(wineVersion),
                       static_cast<DWORD>(lstrlenA(wineVersion) + 1));
        RegCloseKey(key);
    }
}

PretendedVersion::~PretendedVersion() {
    RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str());
}

BlankFolder::BlankFolder() {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    path_ = std::string(temp) + "Volkarn test " + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path_.c_str(), nullptr);
}

BlankFolder::~BlankFolder() {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path_ + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileA((path_ + "\\" + data.cFileName).c_str());
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path_.c_str());
}

}  // namespace vk::test
