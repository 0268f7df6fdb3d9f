// The library's entry callback: the catalogue is loaded on process attach and
// released on detach; thread notifications change nothing.
#include "errmsg.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH: {
        char name[MODPATH_UTF8_SIZE] = {};
        const bool whole = Platform_ModuleFileName(instance, name, sizeof name);
        Lifecycle_Attach(name, !whole);
        break;
    }
    case DLL_PROCESS_DETACH:
        // When the process is ending, other threads were stopped wherever they
        // were, perhaps inside the heap; freeing could hang, and the system
        // takes the memory back anyway.
        if (reserved == nullptr) {
            Lifecycle_Detach();
        }
        break;
    default:
        break;
    }
    return TRUE;
}
