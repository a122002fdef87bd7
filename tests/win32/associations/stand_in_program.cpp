// Stands in for VOLKARN where the shell starts the program an association
// names: writes its command line to the file VK_STAND_IN_RECORD names and
// ends at once, without a window.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char record[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA("VK_STAND_IN_RECORD", record, sizeof record);
    if (length == 0 || length >= sizeof record) {
        return 2;
    }
    HANDLE file = CreateFileA(record, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 3;
    }
    const char* line = GetCommandLineA();
    DWORD written = 0;
    const BOOL ok = WriteFile(file, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 4;
}
