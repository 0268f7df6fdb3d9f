// A driver-side module that imports ZEDWIC_W.dll, as one that shows the
// library's texts does; no copy lies beside it: in a host the library is
// loaded already, so the import resolves. Returns the length of code 0's
// text, which the test's catalogue makes non-zero.
#include <windows.h>

#include <cstdint>
#include <cstring>

// Declared here: the public header declares the settings functions as
// imports, and this module defines one of them. WINAPI: the library's
// convention and that of the functions it calls (__stdcall on x86).
extern "C" __declspec(dllimport) const char *WINAPI VOLQUAD_GetErrorMsg(int32_t code);

extern "C" int32_t WINAPI VOLQUAD_FixSetting(const char *, intptr_t) {
    return static_cast<int32_t>(strlen(VOLQUAD_GetErrorMsg(0)));
}
