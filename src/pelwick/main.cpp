// PELWICK: takes Volkarn's file-type associations away again. It takes no
// arguments and always ends with exit code 0; the outcome is in its boxes.
#include <windows.h>

#include "pelwick/unregister.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    pelwick::UnregisterAssociations(instance);
    return 0;
}
