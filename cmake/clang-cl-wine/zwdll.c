/* A DLL's entry: static initialisers before DllMain on attach, atexit
 * functions (static destructors) after it on detach. */
#include <windows.h>

#include "zwcrt.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

/* A DLL without a DllMain of its own gets this one, as with Visual Studio's
 * runtime: the linker takes it only when DllMain is not defined elsewhere. */
BOOL WINAPI __zwcrt_default_dllmain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
#pragma comment(linker, "/alternatename:DllMain=__zwcrt_default_dllmain")

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
