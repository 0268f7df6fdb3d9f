// The DLL half of static_init.cpp: a static object constructed on attach.
#include <windows.h>

namespace {

int g_state = 0;

struct Probe {
    Probe() {
        g_state = GetCurrentProcessId() != 0 ? 1 : 2;
    }
};
Probe g_probe;

} // namespace

extern "C" __declspec(dllexport) int StaticInit_DllState() {
    return g_state;
}
