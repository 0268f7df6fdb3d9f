// A helper DLL that a driver-side test module imports, as real ones import
// helpers that lie beside them. Its attach tells the host where it was loaded
// from, even when the module that imports it then fails to load.
#include "zwu_probe.h"

#include <windows.h>

namespace {

HMODULE g_self = nullptr;

} // namespace

extern "C" void ZwuHelper_Locate(char *path, uint32_t size) {
    GetModuleFileNameA(g_self, path, size);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
        char path[MAX_PATH] = {};
        GetModuleFileNameA(instance, path, MAX_PATH);
        SetEnvironmentVariableA(ZWU_HELPER_LOADED_VARIABLE, path);
    }
    return TRUE;
}
