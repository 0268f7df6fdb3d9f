// The library's entry callback: the catalogue is loaded on process attach and
// released on detach; thread notifications change nothing.
#include "lifecycle.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH: {
        // The UTF-16 name names the folder whatever its characters; the
        // 8-bit one holds '?' for those outside the ANSI code page.
        wchar_t wide[MODPATH_SIZE] = {};
        const DWORD length = GetModuleFileNameW(instance, wide, MODPATH_SIZE);
        // A name that fills the whole buffer was cut.
        bool unusable = length >= MODPATH_SIZE;
        char name[MODPATH_UTF8_SIZE] = {};
        if (length != 0 && !unusable) {
            // A name that is no valid UTF-16 cannot be written as UTF-8 either.
            unusable = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, -1, name,
                                           sizeof name, nullptr, nullptr) == 0;
        }
        Lifecycle_Attach(name, unusable);
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
