// Driver-side modules that do not load: one whose initialisation fails, one
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
    return reason == DLL_PROCESS_ATTACH ? FALSE : TRUE;
}
#endif
