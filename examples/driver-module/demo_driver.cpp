// Stands in for the printer driver's own file in the demonstration; the
// spooler only needs it to exist, and ZEDWIC_U.DLL is found beside it.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
