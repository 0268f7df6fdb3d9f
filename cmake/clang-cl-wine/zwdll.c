/* A DLL's entry: static initialisers before DllMain on attach, atexit
 * functions (static destructors) after it on detach. */
#include <windows.h>

#include "zwcrt.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

BOOL WINAPI _DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        __zwcrt_init_cookie();
        if (!__zwcrt_run_initialisers()) {
            return FALSE;
        }
    }
    const BOOL result = DllMain(instance, reason, reserved);
    if (reason == DLL_PROCESS_DETACH || (reason == DLL_PROCESS_ATTACH && !result)) {
        __zwcrt_run_atexit();
    }
    return result;
}
