// The library's entry callback: the catalogue is loaded on process attach and
// released on detach; thread notifications change nothing.
#include "lifecycle.h"

#include <windows.h>

namespace {

// GetModuleFileNameA answers in the code page of the file APIs.
bool IsFileApiLeadByte(unsigned char byte) {
    return IsDBCSLeadByteEx(AreFileApisANSI() ? CP_ACP : CP_OEMCP, byte) != FALSE;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH: {
        char name[MODPATH_SIZE] = {};
        const DWORD length = GetModuleFileNameA(instance, name, sizeof name);
        if (length == 0) {
            name[0] = '\0';
        }
        // A name that fills the whole buffer was cut.
        Lifecycle_Attach(name, length >= sizeof name, IsFileApiLeadByte);
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
