// Driver-side modules that do not load: one whose initialisation fails, one
// whose initialisation crashes, one whose initialisation never returns, one
// that imports zwu_helper.dll (the tests leave that helper where the loader
// must not look). Each exports VOLQUAD_FixSetting only.
#include <windows.h>

#include <cstdint>

#if defined(ZWU_NEEDS_HELPER)
extern "C" __declspec(dllimport) int32_t ZwuHelper_Value();

extern "C" int32_t WINAPI VOLQUAD_FixSetting(const char *, intptr_t) {
    return ZwuHelper_Value();
}
#else
extern "C" int32_t WINAPI VOLQUAD_FixSetting(const char *, intptr_t) {
    return 0;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
#if defined(ZWU_HANG)
    Sleep(INFINITE);
#elif defined(ZWU_CRASH)
    RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);
#endif
    return FALSE;
}
#endif
