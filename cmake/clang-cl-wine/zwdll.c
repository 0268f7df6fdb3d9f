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
#ifdef _WIN64
#pragma comment(linker, "/alternatename:DllMain=__zwcrt_default_dllmain")
#else /* x86: the decorated names of the two __stdcall functions */
#pragma comment(linker, "/alternatename:_DllMain@12=___zwcrt_default_dllmain@12")
#endif

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
