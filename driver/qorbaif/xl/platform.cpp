// The calls in force: the platform's own (platform_win32.cpp or
// platform_posix.cpp), unless a test has put others in their place.
#include "platform.h"

// Defined by the platform's own file.
extern const PlatformCalls PLATFORM_DEFAULTS;

namespace {

PlatformCalls g_replaced;
const PlatformCalls *g_current = nullptr; // null: the platform's own

} // namespace

const PlatformCalls *Platform() {
    return g_current != nullptr ? g_current : &PLATFORM_DEFAULTS;
}

const PlatformCalls *Platform_Defaults() {
    return &PLATFORM_DEFAULTS;
}

void Platform_SetCalls(const PlatformCalls *calls) {
    if (calls == nullptr) {
        g_current = nullptr;
        return;
    }
    g_replaced = *calls;
    g_current = &g_replaced;
}
