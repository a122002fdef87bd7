// PELWICK: takes Volkarn's file-type associations away again.
#include <windows.h>

#include "string_ids.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    char caption[80];
    char text[512];
    LoadStringA(instance, IDS_CAPTION, caption, sizeof caption);
    LoadStringA(instance, IDS_MSG_NOT_REGISTERED, text, sizeof text);
    MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONINFORMATION);
    return 0;
}
