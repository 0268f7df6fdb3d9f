// Static constructors run before main and DllMain, and destructors after:
// the runtime's startup code must do it (the clang-cl build brings its own,
// cmake/clang-cl-wine/). The DLL's state comes from static_init_dll.cpp.
// Printed with puts: no variadic C runtime call (ARM64 Wine's C runtime
// does not take Windows ARM64's variadic arguments).
#include <windows.h>

#include <cstdio>
#include <string>

extern "C" __declspec(dllimport) int StaticInit_DllState();

namespace {

int g_state = 0;

struct Probe {
    // Depends on a call at run time, so that the compiler cannot fold it.
    Probe() {
        g_state = GetCurrentProcessId() != 0 ? 1 : 2;
    }
    ~Probe() {
        std::puts("exe destructor ran");
    }
};
Probe g_probe;

// The states are 0, 1 or 2.
char Digit(int state) {
    return static_cast<char>('0' + state);
}

} // namespace

int main() {
    const std::string line = std::string("exe constructor: ") + Digit(g_state) +
                             ", dll constructor: " + Digit(StaticInit_DllState());
    std::puts(line.c_str());
    return g_state == 1 && StaticInit_DllState() == 1 ? 0 : 1;
}
