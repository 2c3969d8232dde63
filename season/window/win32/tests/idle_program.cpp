// Does nothing for two minutes, then ends: the end-to-end tests start it under the
// simulator's program name, and end it earlier themselves.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Sleep(120000);
    return 0;
}
