// Static constructors run before main and DllMain, and destructors after:
// the runtime's startup code must do it (the clang-cl build brings its own,
// cmake/clang-cl-wine/). The DLL's state comes from static_init_dll.cpp.
#include <windows.h>

#include <cstdio>

extern "C" __declspec(dllimport) int StaticInit_DllState();

namespace {

int g_state = 0;

struct Probe {
    // Depends on a call at run time, so that the compiler cannot fold it.
    Probe() {
        g_state = GetCurrentProcessId() != 0 ? 1 : 2;
    }
    ~Probe() {
        std::printf("exe destructor ran\n");
    }
};
Probe g_probe;

} // namespace

int main() {
    std::printf("exe constructor: %d, dll constructor: %d\n", g_state, StaticInit_DllState());
    std::fflush(stdout);
    return g_state == 1 && StaticInit_DllState() == 1 ? 0 : 1;
}
